#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "io/Result.h"

namespace morvane {

// A catalog's plural rule, as its header writes it in C:
//   "nplurals=3; plural=(n%10==1 && n%100!=11 ? 0 : n%10>=2 && n%10<=4 && (n%100<10 || n%100>=20) ? 1 : 2);"
// Numbers, n, ( ), ! and the binary operators * / % + - < <= > >= == != && ||
// and ? : with C's precedence. A form number the rule gives outside
// 0 .. nplurals-1, and a division by zero, give form 0.
class PluralRule {
public:
    // English: "nplurals=2; plural=(n != 1);".
    PluralRule();
    ~PluralRule();
    PluralRule(PluralRule&&) noexcept;
    PluralRule& operator=(PluralRule&&) noexcept;

    // The rule of a header line's value; a failure names what is wrong.
    static Result<PluralRule> Parse(std::string_view text);

    int Forms() const { return forms_; }
    // The form for a number: 0 .. Forms() - 1.
    int FormOf(std::uint64_t n) const;

    struct Node;

private:
    int forms_ = 2;
    std::unique_ptr<Node> rule_;
};

}  // namespace morvane
