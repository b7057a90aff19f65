// The name rule followed by the full-name step, as OK applies them to every entry: any
// pattern and any source give a name in the pattern's folder whose own part comes from the
// mask and the source's name alone, and the full-name step either leaves it as it is or
// makes it absolute, never anything else.
//
// Input: byte 0 picks the separator (even: Windows rules, odd: POSIX rules); then the
// pattern, a NUL, and the source.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "links/batch.h"
#include "support/memory_fs.h"

namespace {

[[noreturn]] void Broken(const char* what) {
    std::fprintf(stderr, "fuzz_link_name: %s\n", what);
    std::abort();
}

bool IsAbsolute(const std::string& path, char sep) {
    if (sep == '/') return !path.empty() && path[0] == '/';
    return (path.size() >= 3 && path[1] == ':' && path[2] == '\\') ||
           (path.size() >= 2 && path[0] == '\\' && path[1] == '\\');
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    const char sep = data[0] % 2 == 0 ? '\\' : '/';
    const std::string_view input(reinterpret_cast<const char*>(data + 1), size - 1);
    const std::size_t nul = input.find('\0');
    if (nul == std::string_view::npos) return 0;
    const std::string pattern(input.substr(0, nul));
    const std::string source(input.substr(nul + 1));

    const std::string name = velmora::ComposeLinkName(pattern, source, sep);
    const std::size_t k = pattern.rfind(sep);
    if (pattern.size() < 4 || k == std::string::npos) {
        if (name != pattern) Broken("a short or folderless pattern was changed");
    } else {
        if (name.compare(0, k + 1, pattern, 0, k + 1) != 0) Broken("the pattern's folder is not kept");
        const std::string_view own = std::string_view(name).substr(k + 1);
        const std::string_view mask = std::string_view(pattern).substr(k + 1);
        const std::size_t cut = source.rfind(sep);
        const std::string_view sourceName =
            cut == std::string::npos ? std::string_view(source) : std::string_view(source).substr(cut + 1);
        if (own.find(sep) != std::string_view::npos) Broken("the link's own name holds a separator");
        if (own.size() > 2 * mask.size() + sourceName.size()) Broken("the link's own name is too long");
        if (mask == "*.*") {
            // The everyday mask gives the source's name (with a dot when it has none, which
            // the full-name step then drops).
            const bool dotted = sourceName.find('.') != std::string_view::npos;
            if (own != (dotted ? std::string(sourceName) : std::string(sourceName) + "."))
                Broken("*.* does not give the source's own name");
        }
    }

    velmora::test::MemoryFileSystem fs(sep);
    if (sep == '\\') {
        fs.AddFolder("C:\\Docs\\Photos");
        fs.AddFolder("D:\\Links");
        fs.SetCurrent("C:\\Program");
    } else {
        fs.AddFolder("/docs/photos");
        fs.AddFolder("/links");
        fs.SetCurrent("/program");
    }
    const std::string full = velmora::MakeFullLinkName(fs, name, source);
    if (full != name && !IsAbsolute(full, sep)) Broken("the full name is neither the name nor absolute");
    return 0;
}
