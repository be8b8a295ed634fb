// The message catalog reader and the plural rule on arbitrary bytes: they
// must end, read nothing outside the bytes, and give a form number the
// rule allows for every count.

#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "i18n/Catalog.h"
#include "i18n/PluralRule.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const morvane::Result<morvane::Catalog> catalog = morvane::Catalog::FromMo(bytes);
    if (catalog) {
        for (std::uint64_t n : {0ull, 1ull, 2ull, 5ull, 11ull, 21ull, 1000001ull})
            if (catalog->Rule().FormOf(n) < 0 || catalog->Rule().FormOf(n) >= catalog->Rule().Forms()) std::abort();
        (void)catalog->Find("", "Open");
        (void)catalog->FindForm("{count} file", 3);
    } else if (catalog.Cause().empty()) {
        std::abort();  // a failure always says why
    }
    const morvane::Result<morvane::PluralRule> rule = morvane::PluralRule::Parse(bytes);
    if (rule)
        for (std::uint64_t n = 0; n < 30; ++n)
            if (rule->FormOf(n) < 0 || rule->FormOf(n) >= rule->Forms()) std::abort();
    return 0;
}
