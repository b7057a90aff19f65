#include "text/plural.h"

#include <algorithm>

#include "text/safe_format.h"

namespace velmora {

std::size_t PluralFormIndex(std::size_t forms, std::uint64_t n) {
    if (forms <= 1) return 0;
    if (forms == 2) return n == 1 ? 0 : 1;
    const std::uint64_t last = n % 10;
    const std::uint64_t lastTwo = n % 100;
    if (last == 1 && lastTwo != 11) return 0;
    if (last >= 2 && last <= 4 && (lastTwo < 12 || lastTwo > 14)) return 1;
    return 2;
}

std::string_view PluralForm(std::string_view text, std::uint64_t n) {
    const std::size_t forms =
        static_cast<std::size_t>(std::count(text.begin(), text.end(), '|')) + 1;
    std::size_t index = PluralFormIndex(forms, n);
    std::size_t from = 0;
    for (; index > 0; --index) from = text.find('|', from) + 1;
    const std::size_t to = text.find('|', from);
    return text.substr(from, to == std::string_view::npos ? std::string_view::npos : to - from);
}

std::string PluralText(const TextCatalog& texts, TextId id, std::uint64_t n) {
    const std::string text = texts.Text(id);
    return SafeFormat(PluralForm(text, n), PluralForm(BuiltinText(id), n),
                      {static_cast<std::int64_t>(n)});
}

}  // namespace velmora
