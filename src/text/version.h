// The version string shown in the titles, made from the product version P1.P2.P3.P4.
#pragma once

#include <string>

namespace velmora {

// "P1.P2", then P3 when P3 or P4 is not zero, then P4 when it is not zero, with no
// separators after the first: 1.1.0.0 -> "1.1", 1.2.3.0 -> "1.23", 1.2.0.4 -> "1.204".
std::string FormatVersion(unsigned p1, unsigned p2, unsigned p3, unsigned p4);

// The program's own version (the project version, text/version_number.h) in that form.
std::string ProgramVersion();

}  // namespace velmora
