#include "i18n/PluralRule.h"

#include <cctype>
#include <vector>

namespace morvane {

// One operation of the rule: a number, n, or an operator and its operands.
struct PluralRule::Node {
    enum class Kind { Number, N, Not, Binary, Choice } kind = Kind::Number;
    std::string op;  // for Binary: "*", "<=", "&&" ...
    std::uint64_t value = 0;
    std::unique_ptr<Node> a, b, c;
};

namespace {

using Node = PluralRule::Node;

// The deepest nesting and the most operations a rule may have; real rules
// need a handful. Both keep evaluating it from going deep into the stack.
constexpr int kDeepestRule = 64;
constexpr int kLargestRule = 500;

std::uint64_t Evaluate(const Node& node, std::uint64_t n) {
    switch (node.kind) {
        case Node::Kind::Number: return node.value;
        case Node::Kind::N: return n;
        case Node::Kind::Not: return Evaluate(*node.a, n) == 0 ? 1 : 0;
        case Node::Kind::Choice: return Evaluate(*node.a, n) != 0 ? Evaluate(*node.b, n) : Evaluate(*node.c, n);
        case Node::Kind::Binary: break;
    }
    const std::string& op = node.op;
    if (op == "&&") return Evaluate(*node.a, n) != 0 && Evaluate(*node.b, n) != 0;
    if (op == "||") return Evaluate(*node.a, n) != 0 || Evaluate(*node.b, n) != 0;
    const std::uint64_t x = Evaluate(*node.a, n);
    const std::uint64_t y = Evaluate(*node.b, n);
    if (op == "*") return x * y;
    if (op == "/") return y == 0 ? 0 : x / y;
    if (op == "%") return y == 0 ? 0 : x % y;
    if (op == "+") return x + y;
    if (op == "-") return x - y;
    if (op == "<") return x < y;
    if (op == "<=") return x <= y;
    if (op == ">") return x > y;
    if (op == ">=") return x >= y;
    if (op == "==") return x == y;
    return x != y;  // "!="
}

// A recursive-descent reader of the rule's expression.
class Parser {
public:
    explicit Parser(std::string_view text) : text_(text) {}

    Result<std::unique_ptr<Node>> Whole() {
        std::unique_ptr<Node> node = Choice(0);
        Skip();
        if (!error_.empty()) return Failure{error_};
        if (at_ < text_.size()) return Failure{"unexpected \"" + std::string(text_.substr(at_, 1)) + "\""};
        return node;
    }

private:
    // The binary operators by precedence, lowest first.
    static const std::vector<std::vector<std::string>>& Levels() {
        static const std::vector<std::vector<std::string>> levels = {
            {"||"}, {"&&"}, {"==", "!="}, {"<=", ">=", "<", ">"}, {"+", "-"}, {"*", "/", "%"}};
        return levels;
    }

    void Skip() {
        while (at_ < text_.size() && std::isspace(static_cast<unsigned char>(text_[at_]))) ++at_;
    }
    bool Take(std::string_view token) {
        Skip();
        if (text_.substr(at_, token.size()) != token) return false;
        // "<" is not the start of "<=", nor "!" of "!=".
        if (token.size() == 1 && at_ + 1 < text_.size() && text_[at_ + 1] == '=' &&
            (token == "<" || token == ">" || token == "!" || token == "="))
            return false;
        at_ += token.size();
        return true;
    }
    std::unique_ptr<Node> NewNode(Node::Kind kind) {
        if (++nodes_ > kLargestRule) return Fail("the rule is too long");
        auto node = std::make_unique<Node>();
        node->kind = kind;
        return node;
    }
    std::unique_ptr<Node> Fail(const std::string& why) {
        if (error_.empty()) error_ = why;
        return nullptr;
    }

    std::unique_ptr<Node> Choice(int depth) {
        if (depth > kDeepestRule) return Fail("the rule is nested too deeply");
        std::unique_ptr<Node> condition = Binary(0, depth);
        if (!condition || !Take("?")) return condition;
        std::unique_ptr<Node> node = NewNode(Node::Kind::Choice);
        if (!node) return nullptr;
        node->a = std::move(condition);
        node->b = Choice(depth + 1);
        if (!node->b) return nullptr;
        if (!Take(":")) return Fail("\"?\" without \":\"");
        node->c = Choice(depth + 1);
        if (!node->c) return nullptr;
        return node;
    }

    std::unique_ptr<Node> Binary(std::size_t level, int depth) {
        if (level == Levels().size()) return Unary(depth);
        std::unique_ptr<Node> left = Binary(level + 1, depth);
        while (left) {
            const std::string* found = nullptr;
            for (const std::string& op : Levels()[level])
                if (Take(op)) {
                    found = &op;
                    break;
                }
            if (found == nullptr) break;
            std::unique_ptr<Node> node = NewNode(Node::Kind::Binary);
            if (!node) return nullptr;
            node->op = *found;
            node->a = std::move(left);
            node->b = Binary(level + 1, depth);
            if (!node->b) return nullptr;
            left = std::move(node);
        }
        return left;
    }

    std::unique_ptr<Node> Unary(int depth) {
        if (depth > kDeepestRule) return Fail("the rule is nested too deeply");
        if (Take("!")) {
            std::unique_ptr<Node> node = NewNode(Node::Kind::Not);
            if (!node) return nullptr;
            node->a = Unary(depth + 1);
            if (!node->a) return nullptr;
            return node;
        }
        if (Take("(")) {
            std::unique_ptr<Node> inner = Choice(depth + 1);
            if (!inner) return nullptr;
            if (!Take(")")) return Fail("\"(\" without \")\"");
            return inner;
        }
        Skip();
        if (at_ < text_.size() && text_[at_] == 'n') {
            ++at_;
            std::unique_ptr<Node> node = NewNode(Node::Kind::N);
            if (!node) return nullptr;
            return node;
        }
        if (at_ < text_.size() && std::isdigit(static_cast<unsigned char>(text_[at_]))) {
            std::unique_ptr<Node> node = NewNode(Node::Kind::Number);
            if (!node) return nullptr;
            while (at_ < text_.size() && std::isdigit(static_cast<unsigned char>(text_[at_]))) {
                if (node->value > 1'000'000'000) return Fail("a number in the rule is too large");
                node->value = node->value * 10 + static_cast<std::uint64_t>(text_[at_++] - '0');
            }
            return node;
        }
        return Fail(at_ < text_.size() ? "unexpected \"" + std::string(text_.substr(at_, 1)) + "\""
                                       : "the rule ends too early");
    }

    std::string_view text_;
    std::size_t at_ = 0;
    int nodes_ = 0;
    std::string error_;
};

// The value of "name=value;" in the header line, without spaces around it.
std::optional<std::string_view> Field(std::string_view text, std::string_view name) {
    for (std::size_t at = text.find(name); at != std::string_view::npos; at = text.find(name, at + 1)) {
        if (at > 0 && std::isalpha(static_cast<unsigned char>(text[at - 1]))) continue;
        std::size_t value = at + name.size();
        while (value < text.size() && text[value] == ' ') ++value;
        if (value >= text.size() || text[value] != '=') continue;
        ++value;
        const std::size_t end = text.find(';', value);
        return text.substr(value, end == std::string_view::npos ? std::string_view::npos : end - value);
    }
    return std::nullopt;
}

}  // namespace

PluralRule::PluralRule() {
    Result<std::unique_ptr<Node>> english = Parser("n != 1").Whole();
    rule_ = std::move(*english);
}
PluralRule::~PluralRule() = default;
PluralRule::PluralRule(PluralRule&&) noexcept = default;
PluralRule& PluralRule::operator=(PluralRule&&) noexcept = default;

Result<PluralRule> PluralRule::Parse(std::string_view text) {
    const std::optional<std::string_view> forms = Field(text, "nplurals");
    const std::optional<std::string_view> plural = Field(text, "plural");
    if (!forms || !plural) return Failure{"no \"nplurals=\" and \"plural=\" in the plural rule"};
    int count = 0;
    std::size_t digits = 0;
    for (char c : *forms) {
        if (c == ' ') continue;
        if (!std::isdigit(static_cast<unsigned char>(c)) || ++digits > 2) return Failure{"a bad \"nplurals=\""};
        count = count * 10 + (c - '0');
    }
    if (count < 1) return Failure{"a bad \"nplurals=\""};
    Result<std::unique_ptr<Node>> rule = Parser(*plural).Whole();
    if (!rule) return Failure{"a bad \"plural=\": " + rule.Cause()};
    PluralRule parsed;
    parsed.forms_ = count;
    parsed.rule_ = std::move(*rule);
    return parsed;
}

int PluralRule::FormOf(std::uint64_t n) const {
    const std::uint64_t form = Evaluate(*rule_, n);
    return form < static_cast<std::uint64_t>(forms_) ? static_cast<int>(form) : 0;
}

}  // namespace morvane
