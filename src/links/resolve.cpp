#include "links/resolve.h"

#include "platform/path.h"

namespace velmora {

// The system's full-path step resolves "." and "..", reads '/' as '\\' and drops the dots
// and blanks that end the last element; the link's name is then the last real element.
NormalEntry NormaliseEntry(IFileSystem& fs, const std::string& given) {
    const char sep = fs.Separator();
    const std::string plain = path::WithoutLongPrefix(given, sep);
    if (!path::IsFullPath(plain, sep)) {
        return {{}, txt::kNotFullPath};
    }
    std::optional<std::string> full = fs.FullPath(plain);
    if (!full) {
        return {{}, 0, err::kInvalidName};
    }
    std::string name = std::move(*full);
    // A separator at the end is no element (a drive's root keeps its own).
    while (name.size() > 1 && name.back() == sep && name[name.size() - 2] != ':') {
        name.pop_back();
    }
    if (path::FileName(name, sep).empty()) {
        return {{}, txt::kRootEntry};
    }
    return {std::move(name)};
}

std::optional<std::string> CompleteTarget(IFileSystem& fs, const std::string& target,
                                          std::size_t entries) {
    const char sep = fs.Separator();
    if (!target.empty() && target.back() == sep) {
        return target + "*.*";
    }
    if (fs.SetCurrentFolder(target)) {
        return target + sep + "*.*";
    }
    if (entries > 1) {
        const std::size_t lastSep = target.rfind(sep);
        const std::size_t from = lastSep == std::string::npos ? 0 : lastSep;
        if (target.find('*', from) == std::string::npos) {
            return std::nullopt;  // one plain name cannot take several links
        }
    }
    return target;
}

std::string MakeFullLinkName(IFileSystem& fs, const std::string& name, const std::string& source) {
    if (source.size() < 4) {
        return name;
    }
    const char sep = fs.Separator();
    const std::size_t k = source.rfind(sep, source.size() - 2);
    if (k == std::string::npos) {
        return name;
    }
    // A relative pattern is resolved against the source's own folder, which becomes the
    // current folder (a side effect the batch has always had). Should that fail (a folder
    // that is gone, or too long to be made current), a relative name is still resolved
    // against the source's folder, never against whatever folder happened to be current.
    const std::string folder = source.substr(0, k + 1);
    const bool changed = fs.SetCurrentFolder(folder);
    std::optional<std::string> full =
        fs.FullPath(changed || !path::IsPlainRelative(name, sep) ? name : folder + name);
    if (full) {
        return std::move(*full);
    }
    return name;
}

}  // namespace velmora
