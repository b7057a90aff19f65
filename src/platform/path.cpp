#include "platform/path.h"

#include <vector>

namespace velmora::path {

namespace {

bool IsAsciiLetter(char ch) { return (ch >= 'A' && ch <= 'Z') || (ch >= 'a' && ch <= 'z'); }

bool IsLongPrefix(std::string_view path) {
    return path.size() >= 4 && path[0] == '\\' && path[1] == '\\' &&
           (path[2] == '?' || path[2] == '.') && path[3] == '\\';
}

bool StartsWithUnc(std::string_view rest) {
    return rest.size() >= 4 && (rest[0] == 'U' || rest[0] == 'u') &&
           (rest[1] == 'N' || rest[1] == 'n') && (rest[2] == 'C' || rest[2] == 'c') &&
           rest[3] == '\\';
}

// The length of the part of a full path that ".." never climbs out of: "X:\", "/",
// "\\server\share\", "\\?\X:\", "\\?\UNC\server\share\"; 0 when the path is not full.
std::size_t RootLength(std::string_view path, char sep) {
    if (sep != '\\') {
        return !path.empty() && path[0] == '/' ? 1 : 0;
    }
    std::size_t start = 0;
    bool network = false;
    if (IsLongPrefix(path)) {
        start = 4;
        if (StartsWithUnc(path.substr(4))) {
            start = 8;
            network = true;
        }
    } else if (path.size() >= 2 && IsSeparator(path[0], sep) && IsSeparator(path[1], sep)) {
        start = 2;
        network = true;
    }
    if (!network) {
        return HasDriveRoot(path.substr(start)) ? start + 3 : 0;
    }
    // Server and share: two elements, each ended by a separator (or the path's end).
    std::size_t at = start;
    for (int element = 0; element < 2; ++element) {
        const std::size_t from = at;
        while (at < path.size() && !IsSeparator(path[at], sep)) ++at;
        if (at == from) return 0;
        if (at < path.size()) ++at;
    }
    return at;
}

}  // namespace

bool IsSeparator(char ch, char sep) { return ch == sep || (sep == '\\' && ch == '/'); }

bool HasDrive(std::string_view path) {
    return path.size() >= 2 && IsAsciiLetter(path[0]) && path[1] == ':';
}

bool HasDriveRoot(std::string_view path) {
    return path.size() >= 3 && HasDrive(path) && IsSeparator(path[2], '\\');
}

bool IsFullPath(std::string_view path, char sep) {
    if (sep != '\\') {
        return !path.empty() && path[0] == sep;
    }
    return HasDriveRoot(path) ||
           (path.size() >= 2 && IsSeparator(path[0], sep) && IsSeparator(path[1], sep));
}

bool IsPlainRelative(std::string_view path, char sep) {
    if (path.empty() || IsSeparator(path[0], sep)) {
        return false;
    }
    return sep != '\\' || !HasDrive(path);
}

bool IsRoot(std::string_view path, char sep) {
    const std::size_t root = RootLength(path, sep);
    return root > 0 && WithoutEndSeparators(path, sep).size() <= root;
}

std::string WithoutLongPrefix(std::string_view path, char sep) {
    if (sep != '\\' || !IsLongPrefix(path)) {
        return std::string(path);
    }
    const std::string_view rest = path.substr(4);
    if (HasDriveRoot(rest)) {
        return std::string(rest);
    }
    if (!StartsWithUnc(rest)) {
        return std::string(path);
    }
    // Built by appending: GCC 12 warns falsely (-Wrestrict) on "\\" + std::string(...).
    std::string share(1, '\\');
    share += rest.substr(3);
    return share;
}

std::string_view FileName(std::string_view path, char sep) {
    std::size_t at = path.size();
    while (at > 0 && !IsSeparator(path[at - 1], sep)) --at;
    return path.substr(at);
}

std::string_view ParentPath(std::string_view path, char sep) {
    std::size_t cut = path.size();
    while (cut > 0 && !IsSeparator(path[cut - 1], sep)) --cut;
    if (cut == 0) {
        return {};
    }
    --cut;  // the separator itself
    const bool keepSeparator = cut == 0 || (cut == 2 && path[1] == ':');
    return path.substr(0, keepSeparator ? cut + 1 : cut);
}

std::string_view FolderPart(std::string_view path, char sep) {
    return path.substr(0, path.size() - FileName(path, sep).size());
}

std::string_view WithoutEndSeparators(std::string_view path, char sep) {
    while (!path.empty() && IsSeparator(path.back(), sep)) path.remove_suffix(1);
    return path;
}

std::string_view RootOf(std::string_view path) {
    if (HasDrive(path)) return path.substr(0, 2);
    if (path.size() < 2 || !IsSeparator(path[0], '\\') || !IsSeparator(path[1], '\\')) return {};
    const std::size_t server = path.find_first_of("\\/", 2);
    if (server == std::string_view::npos) return path;
    return path.substr(0, path.find_first_of("\\/", server + 1));
}

std::string_view Stem(std::string_view name) {
    const std::size_t dot = name.rfind('.');
    return dot == std::string_view::npos || dot == 0 ? name : name.substr(0, dot);
}

std::string LexicallyNormal(std::string_view path, char sep) {
    const std::size_t rootLength = RootLength(path, sep);
    if (rootLength == 0) {
        return {};
    }
    std::string out(path.substr(0, rootLength));
    for (char& ch : out) {
        if (IsSeparator(ch, sep)) ch = sep;
    }
    if (!IsSeparator(out.back(), sep)) out += sep;  // "\\server\share" alone
    const std::size_t base = out.size();
    std::vector<std::size_t> ends;  // where `out` is cut back to when an element goes again
    std::size_t at = rootLength;
    while (at < path.size()) {
        std::size_t end = at;
        while (end < path.size() && !IsSeparator(path[end], sep)) ++end;
        const std::string_view element = path.substr(at, end - at);
        at = end + 1;
        if (element.empty() || element == ".") {
            continue;
        }
        if (element == "..") {
            if (ends.empty()) return {};  // above the root
            out.resize(ends.back());
            ends.pop_back();
            continue;
        }
        if (!IsSeparator(out.back(), sep)) out += sep;
        ends.push_back(out.size() - (out.size() > base ? 1 : 0));
        out += element;
    }
    return out;
}

}  // namespace velmora::path
