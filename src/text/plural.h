// Texts that change with a number ("1 minute", "5 minutes"). Such a text holds its forms
// separated by "|": one form is used for every number; two forms follow English (the first
// for 1, the second for any other number); three follow Russian and its neighbours (the
// first for 1, 21, 31 ..., the second for 2-4, 22-24 ..., the third for 0, 5-20, 25-30 ...).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "text/texts.h"

namespace velmora {

// Which of `forms` forms goes with `n`.
std::size_t PluralFormIndex(std::size_t forms, std::uint64_t n);

// The form of `text` that goes with `n` (the last form when the text has fewer).
std::string_view PluralForm(std::string_view text, std::uint64_t n);

// Text `id` in the form that goes with `n`, formatted with its one %d. A language text
// whose chosen form does not fit falls back to the built-in text's form.
std::string PluralText(const TextCatalog& texts, TextId id, std::uint64_t n);

}  // namespace velmora
