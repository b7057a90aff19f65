// printf-style formatting of texts that may come from a language file. A text is used as a
// format only when its conversions match those of the built-in text (same kinds, same order,
// "%%" allowed anywhere); otherwise the built-in text is the format. No argument that was
// not passed is ever read; %n, "*" widths and unknown conversions never match.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <variant>

namespace velmora {

using FormatArg = std::variant<std::int64_t, std::string_view>;

// Formats `format` with `args` when its conversions match `builtin`'s, else formats
// `builtin`. The built-in text's conversions must match `args` (a programming error
// otherwise; the result then holds the text with its conversions left unfilled).
std::string SafeFormat(std::string_view format, std::string_view builtin,
                       std::initializer_list<FormatArg> args);

// True when `format` has exactly the conversions of `builtin`.
bool ConversionsMatch(std::string_view format, std::string_view builtin);

// A name as an argument for a label that reads "&" as the mark of its access key: every "&"
// doubled, so that the label shows the name as it is ("Tom & Jerry.txt").
std::string WithLiteralAmpersands(std::string_view name);

}  // namespace velmora
