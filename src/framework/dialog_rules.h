// The pure rules of the dialog framework (portable).
#pragma once

#include <optional>
#include <string_view>

namespace velmora {

// The text of a number field as the data exchange reads it: optional blanks, an optional sign,
// decimal digits, optional blanks, and a value that fits a signed 32-bit integer.
// " -17 " -> -17; "12abc", "1 2", "2147483648" -> nothing.
std::optional<int> ParseDialogInt(std::string_view text);

}  // namespace velmora
