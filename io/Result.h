#pragma once

#include <optional>
#include <string>
#include <utility>

namespace morvane {

// Why something failed, in plain words for a message ("not found", "disk
// full"). The engine's one way to say a failure: every call that can fail
// returns a Result, so the cause always travels with the failure.
struct Failure {
    std::string cause;
};

// Either a value or the Failure that kept it from being made.
//   Result<OpcodeTable> table = LoadOpcodeFile(path, game);
//   if (!table) err << path << ": " << table.Cause();
template <class T>
class [[nodiscard]] Result {
public:
    Result(T value) : value_(std::move(value)) {}                    // NOLINT: a value is a success
    Result(Failure failure) : failure_(std::move(failure.cause)) {}  // NOLINT: and a Failure a failure

    bool Ok() const { return value_.has_value(); }
    explicit operator bool() const { return Ok(); }

    // The value; only for a success.
    T& Value() & { return *value_; }
    const T& Value() const& { return *value_; }
    T&& Value() && { return std::move(*value_); }
    T* operator->() { return &*value_; }
    const T* operator->() const { return &*value_; }
    T& operator*() & { return *value_; }
    const T& operator*() const& { return *value_; }

    // The cause; empty for a success.
    const std::string& Cause() const { return failure_; }

private:
    std::optional<T> value_;
    std::string failure_;
};

// A success that carries no value, or a Failure.
template <>
class [[nodiscard]] Result<void> {
public:
    Result() = default;
    Result(Failure failure) : failed_(true), failure_(std::move(failure.cause)) {}  // NOLINT

    bool Ok() const { return !failed_; }
    explicit operator bool() const { return Ok(); }
    const std::string& Cause() const { return failure_; }

private:
    bool failed_ = false;
    std::string failure_;
};

using Status = Result<void>;

}  // namespace morvane
