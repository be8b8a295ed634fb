#include "cli/JsonText.h"

namespace morvane::cli {

std::string OneLine(const Json& value) {
    if (value.is_object()) {
        std::string text = "{";
        for (auto member = value.begin(); member != value.end(); ++member)
            text +=
                (member == value.begin() ? "" : ", ") + OneLine(Json(member.key())) + ": " + OneLine(member.value());
        return text + "}";
    }
    if (value.is_array()) {
        std::string text = "[";
        for (std::size_t i = 0; i < value.size(); ++i) text += (i ? ", " : "") + OneLine(value[i]);
        return text + "]";
    }
    return value.dump(-1, ' ', false, Json::error_handler_t::replace);
}

}  // namespace morvane::cli
