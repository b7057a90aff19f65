#include "text/version.h"

#include "text/version_number.h"

namespace velmora {

std::string FormatVersion(unsigned p1, unsigned p2, unsigned p3, unsigned p4) {
    std::string version = std::to_string(p1) + "." + std::to_string(p2);
    if (p3 != 0 || p4 != 0) version += std::to_string(p3);
    if (p4 != 0) version += std::to_string(p4);
    return version;
}

std::string ProgramVersion() {
    return FormatVersion(VELMORA_VERSION_MAJOR, VELMORA_VERSION_MINOR, VELMORA_VERSION_PATCH,
                         VELMORA_VERSION_TWEAK);
}

}  // namespace velmora
