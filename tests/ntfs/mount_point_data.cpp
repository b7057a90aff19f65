// Prints, in hex, the mount-point reparse data the program builds for a folder entry given as
// the one argument: the entry is made a full, normal name as the batch makes it (Windows'
// path rules, on the in-memory file system), so a script can hand the data to a real NTFS
// volume.
#include <cstdio>
#include <string>

#include "links/resolve.h"
#include "links/reparse.h"
#include "support/memory_fs.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s SOURCE-FOLDER\n", argv[0]);
        return 2;
    }
    velmora::test::MemoryFileSystem fs('\\');
    const velmora::NormalEntry entry = velmora::NormaliseEntry(fs, argv[1]);
    if (entry.name.empty()) {
        std::fprintf(stderr, "no full, normal name for %s\n", argv[1]);
        return 1;
    }
    const std::vector<std::uint8_t> data =
        velmora::BuildMountPointBuffer(velmora::MountPointSubstituteName(entry.name));
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
