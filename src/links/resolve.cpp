#include "links/resolve.h"

#include "platform/path.h"

namespace velmora {

// A full entry keeps its names exactly: only "." and ".." elements and '/' are resolved here,
// by the program itself, since the system's full-path step would also drop the dots and
// blanks that end an element and so name a neighbour ("b.txt " is not "b.txt").
NormalEntry NormaliseEntry(IFileSystem& fs, const std::string& given) {
    const char sep = fs.Separator();
    if (path::IsRoot(given, sep)) {
        return {{}, txt::kRootEntry};
    }
    const std::string plain = path::WithoutLongPrefix(given, sep);
    if (!path::IsFullPath(plain, sep)) {
        return {{}, txt::kNotFullPath};
    }
    std::string name = path::LexicallyNormal(plain, sep);
    if (name.empty()) {
        return {{}, 0, err::kInvalidName};  // ".." above the root
    }
    if (path::IsRoot(name, sep)) {
        return {{}, txt::kRootEntry};
    }
    name.resize(path::WithoutEndSeparators(name, sep).size());
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

namespace {

// The dots and blanks that end the last element of `name` are the system's to drop, as far
// as the source's own name does not end with them too: "*.*" on "README" gives "README." and
// so "README", while "b.txt " keeps its blank.
std::string WithSourceEnding(std::string name, std::string_view source, char sep) {
    const auto ending = [](std::string_view text) {
        const std::size_t keep = text.find_last_not_of(". ");
        return text.size() - (keep == std::string_view::npos ? 0 : keep + 1);
    };
    const std::size_t sourceEnding = ending(path::FileName(source, sep));
    const std::size_t nameEnding = ending(path::FileName(name, sep));
    if (nameEnding > sourceEnding) {
        name.resize(name.size() - (nameEnding - sourceEnding));
    }
    return name;
}

}  // namespace

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
    std::string full = changed || !path::IsPlainRelative(name, sep) ? name : folder + name;
    if (!path::IsFullPath(full, sep)) {
        full = fs.FullPath(full).value_or(std::string());
    }
    std::string exact = path::LexicallyNormal(full, sep);
    return exact.empty() ? name : WithSourceEnding(std::move(exact), source, sep);
}

}  // namespace velmora
