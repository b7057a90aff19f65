// Prints, in hex, the mount-point reparse data the program builds for a source folder given
// as the one argument, so a script can hand it to a real NTFS volume.
#include <cstdio>
#include <string>

#include "links/reparse.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s SOURCE-FOLDER\n", argv[0]);
        return 2;
    }
    const std::vector<std::uint8_t> data =
        velmora::BuildMountPointBuffer(velmora::MountPointSubstituteName(argv[1]));
    if (data.empty()) {
        std::fprintf(stderr, "name too long for a mount point\n");
        return 1;
    }
    for (const std::uint8_t byte : data) {
        std::printf("%02x", byte);
    }
    std::printf("\n");
    return 0;
}
