#include "support/memory_fs.h"

#include <algorithm>
#include <cctype>
#include <set>
#include <stdexcept>

namespace velmora::test {

namespace {
constexpr int kFolder = 0;
constexpr int kFile = 1;
constexpr int kJunction = 2;
constexpr int kMaxJunctionHops = 32;

struct FileData {
    std::string contents;
    int links = 0;
    std::uint64_t id = 0;
};
}  // namespace

struct MemoryFileSystem::Node {
    int kind = kFolder;
    int volume = 0;  // a drive's number (1 for A:), 0 for the root above the drives
    std::uint64_t id = 0;
    std::string name;                                       // as it was created
    std::map<std::string, std::unique_ptr<Node>> children;  // by Key(name)
    std::shared_ptr<FileData> file;
    std::string target;  // junction: absolute target
    std::vector<std::uint8_t> data;
};

const char* FsOpName(FsOp op) {
    switch (op) {
        case FsOp::Any:
            return "Any";
        case FsOp::CreateHardLink:
            return "CreateHardLink";
        case FsOp::CreateFolder:
            return "CreateFolder";
        case FsOp::RemoveFolder:
            return "RemoveFolder";
        case FsOp::SetMountPoint:
            return "SetMountPoint";
        case FsOp::SetCurrentFolder:
            return "SetCurrentFolder";
        case FsOp::FullPath:
            return "FullPath";
        case FsOp::ListFolder:
            return "ListFolder";
        case FsOp::FolderIdentity:
            return "FolderIdentity";
        case FsOp::Inspect:
            return "Inspect";
        case FsOp::FinalPath:
            return "FinalPath";
        case FsOp::VolumeOf:
            return "VolumeOf";
    }
    return "?";
}

MemoryFileSystem::MemoryFileSystem(char separator)
    : m_sep(separator), m_windows(separator == '\\'), m_root(std::make_unique<Node>()) {
    m_root->id = NewId(0);
    if (!m_windows) {
        m_root->volume = 1;  // POSIX: one volume from the root down
    }
}

// Torn down level by level: a tree thousands of folders deep must not recurse.
MemoryFileSystem::~MemoryFileSystem() {
    std::vector<std::unique_ptr<Node>> pending;
    pending.push_back(std::move(m_root));
    while (!pending.empty()) {
        std::unique_ptr<Node> node = std::move(pending.back());
        pending.pop_back();
        for (auto& [key, child] : node->children) {
            pending.push_back(std::move(child));
        }
    }
}

// Windows compares names ignoring case in every script; the tests' names use Latin and
// Cyrillic letters, whose case is folded here (UTF-8: U+0400..U+042F to U+0430..U+045F).
std::string MemoryFileSystem::Key(const std::string& name) const {
    if (!m_windows) {
        return name;
    }
    std::string key = name;
    for (std::size_t i = 0; i < key.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(key[i]);
        if (c >= 'A' && c <= 'Z') {
            key[i] = static_cast<char>(c - 'A' + 'a');
        } else if ((c == 0xD0 || c == 0xD1) && i + 1 < key.size()) {
            const unsigned code =
                ((c & 0x1Fu) << 6) | (static_cast<unsigned char>(key[i + 1]) & 0x3Fu);
            unsigned lower = code;
            if (code >= 0x400 && code <= 0x40F) lower = code + 0x50;
            if (code >= 0x410 && code <= 0x42F) lower = code + 0x20;
            key[i] = static_cast<char>(0xC0 | (lower >> 6));
            key[i + 1] = static_cast<char>(0x80 | (lower & 0x3F));
            ++i;
        }
    }
    return key;
}

int MemoryFileSystem::VolumeOfDrive(const std::string& drive) const {
    std::string key = Key(drive);
    if (const auto shared = m_sharedVolumes.find(key); shared != m_sharedVolumes.end()) {
        key = shared->second;
    }
    return key.size() == 2 && key[1] == ':' ? key[0] - 'a' + 1 : 27;  // 27: network shares
}

std::uint64_t MemoryFileSystem::NewId(int volume) { return ++m_nextIds[volume]; }

void MemoryFileSystem::ShareVolume(const std::string& drive, const std::string& withDrive) {
    if (m_root->children.count(Key(drive)) != 0) {
        throw std::logic_error("ShareVolume: the drive has entries already");
    }
    m_sharedVolumes[Key(drive)] = Key(withDrive);
}

void MemoryFileSystem::SetNoHardLinks(const std::string& drive) {
    m_noHardLinks.push_back(Key(drive));
}

std::optional<std::string> MemoryFileSystem::Absolute(const std::string& given,
                                                      bool fullPath) const {
    if (given.empty()) {
        return std::nullopt;
    }
    std::string name = given;
    bool exact = false;  // a full name, used as it stands (no dot or blank dropped)
    if (m_windows) {
        if (name.size() > 4 && name.compare(0, 4, "\\\\?\\") == 0) {
            name.erase(0, 4);
        }
        std::replace(name.begin(), name.end(), '/', m_sep);  // Windows reads '/' as '\'
        const bool full = (name.size() >= 3 && name[1] == ':' && name[2] == m_sep) ||
                          (name.size() > 2 && name[0] == m_sep && name[1] == m_sep);
        exact = full && !fullPath;
    }
    std::string joined;
    std::string head;  // Windows: the drive ("C:") or the share ("\\server\share")
    if (m_windows && name.size() > 2 && name[0] == m_sep && name[1] == m_sep) {
        const std::size_t server = name.find(m_sep, 2);
        const std::size_t share =
            server == std::string::npos ? server : name.find(m_sep, server + 1);
        head = name.substr(0, share);
        joined = name;
    } else if (m_windows) {
        const bool hasDrive = name.size() >= 2 && name[1] == ':' &&
                              std::isalpha(static_cast<unsigned char>(name[0])) != 0;
        const std::string currentDrive = m_current.size() >= 2 ? m_current.substr(0, 2) : "C:";
        if (hasDrive && name.size() >= 3 && name[2] == m_sep) {
            joined = name;
        } else if (hasDrive) {
            const bool sameDrive = Key(name.substr(0, 2)) == Key(currentDrive);
            joined = (sameDrive && !m_current.empty() ? m_current : name.substr(0, 2)) + m_sep +
                     name.substr(2);
        } else if (name[0] == m_sep) {
            joined = currentDrive + name;
        } else {
            if (m_current.empty()) {
                return std::nullopt;
            }
            joined = m_current + m_sep + name;
        }
    } else {
        if (name[0] == m_sep) {
            joined = name;
        } else {
            if (m_current.empty()) {
                return std::nullopt;
            }
            joined = m_current + m_sep + name;
        }
    }
    if (m_windows && head.empty()) {
        head =
            std::string(1, static_cast<char>(std::toupper(static_cast<unsigned char>(joined[0])))) +
            ":";
    }
    std::vector<std::string> parts;
    std::size_t start = head.size();
    while (start <= joined.size()) {
        std::size_t end = joined.find(m_sep, start);
        if (end == std::string::npos) {
            end = joined.size();
        }
        std::string part = joined.substr(start, end - start);
        if (part == "..") {
            if (!parts.empty()) {
                parts.pop_back();
            }
        } else if (!part.empty() && part != ".") {
            parts.push_back(std::move(part));
        }
        start = end + 1;
    }
    if (m_windows && !exact) {
        // Windows' path rules: an element ending in one dot loses it ("Photos.\a" is
        // "Photos\a"), and the last element loses all its trailing dots and blanks.
        for (std::string& part : parts) {
            if (part.size() > 1 && part.back() == '.' && part[part.size() - 2] != '.') {
                part.pop_back();
            }
        }
    }
    if (((m_windows && !exact) || fullPath) && !parts.empty()) {
        // The POSIX back end's full-path step drops them from the last element too, but its
        // other calls take names as they stand.
        std::string& last = parts.back();
        while (!last.empty() && (last.back() == '.' || last.back() == ' ')) {
            last.pop_back();
        }
        if (last.empty()) {
            parts.pop_back();
        }
    }
    std::string result = head;
    if (parts.empty()) {
        return head.size() > 2 ? result : result + m_sep;  // a share's root has no separator
    }
    for (const std::string& part : parts) {
        result += m_sep;
        result += part;
    }
    return result;
}

std::vector<std::string> MemoryFileSystem::Split(const std::string& absolute) const {
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (start <= absolute.size()) {
        std::size_t end = absolute.find(m_sep, start);
        if (end == std::string::npos) {
            end = absolute.size();
        }
        if (end > start || parts.empty()) {
            parts.push_back(absolute.substr(start, end - start));
        }
        start = end + 1;
    }
    return parts;  // Windows: drive first ("C:"); POSIX: "" (the root) first
}

MemoryFileSystem::Node* MemoryFileSystem::Resolve(Node* node, int hops) const {
    while (node != nullptr && node->kind == kJunction) {
        if (++hops > kMaxJunctionHops) {
            return nullptr;
        }
        const std::vector<std::string> parts = Split(node->target);
        Node* cur = m_root.get();
        for (std::size_t i = 0; i < parts.size() && cur != nullptr; ++i) {
            auto it = cur->children.find(Key(parts[i]));
            cur = it == cur->children.end() ? nullptr : it->second.get();
            if (cur != nullptr && i + 1 < parts.size()) {
                cur = Resolve(cur, hops);
            }
        }
        node = cur;
    }
    return node;
}

MemoryFileSystem::Lookup MemoryFileSystem::Find(const std::string& path, bool followLast) const {
    Lookup result;
    const std::optional<std::string> absolute = Absolute(path);
    if (!absolute) {
        result.error = path.empty() ? err::kPathNotFound : err::kInvalidName;
        return result;
    }
    // The system's limit on a full name: 32,767 UTF-16 units for the NT form "\??\X:\..."
    // on Windows (long names on), PATH_MAX with its terminator on Linux.
    if (absolute->size() > (m_windows ? 32767u - 4u : 4095u)) {
        result.error = err::kFilenameExcedRange;
        return result;
    }
    const std::vector<std::string> parts = Split(*absolute);
    Node* cur = m_root.get();
    for (std::size_t i = 0; i < parts.size(); ++i) {
        auto it = cur->children.find(Key(parts[i]));
        Node* child = it == cur->children.end() ? nullptr : it->second.get();
        if (i + 1 == parts.size()) {
            result.parent = cur;
            result.name = parts[i];
            result.node = followLast ? Resolve(child, 0) : child;
            return result;
        }
        child = Resolve(child, 0);
        if (child == nullptr || child->kind != kFolder) {
            result.error = err::kPathNotFound;
            return result;
        }
        cur = child;
    }
    result.error = err::kPathNotFound;
    return result;
}

MemoryFileSystem::Node* MemoryFileSystem::Make(const std::string& path, int kind) {
    const std::optional<std::string> absolute = Absolute(path);
    if (!absolute) {
        return nullptr;
    }
    const std::vector<std::string> parts = Split(*absolute);
    Node* cur = m_root.get();
    for (std::size_t i = 0; i < parts.size(); ++i) {
        std::unique_ptr<Node>& slot = cur->children[Key(parts[i])];
        if (!slot) {
            slot = std::make_unique<Node>();
            slot->volume = cur == m_root.get() && m_windows ? VolumeOfDrive(parts[i]) : cur->volume;
            slot->id = NewId(slot->volume);
            slot->name = parts[i];
            slot->kind = i + 1 == parts.size() ? kind : kFolder;
        }
        cur = slot.get();
    }
    return cur;
}

void MemoryFileSystem::AddFolder(const std::string& path) { Make(path, kFolder); }

void MemoryFileSystem::AddFile(const std::string& path, const std::string& contents) {
    Node* node = Make(path, kFile);
    if (node != nullptr && !node->file) {
        node->file = std::make_shared<FileData>();
        node->file->links = 1;
        node->file->id = node->id;
    }
    if (node != nullptr && node->file) {
        node->file->contents = contents;
    }
}

void MemoryFileSystem::AddJunction(const std::string& path, const std::string& target) {
    Node* node = Make(path, kJunction);
    if (node != nullptr) {
        node->target = Absolute(target).value_or(target);
    }
}

bool MemoryFileSystem::Exists(const std::string& path) const {
    return Find(path, false).node != nullptr;
}

bool MemoryFileSystem::IsFolder(const std::string& path) const {
    const Node* node = Find(path, false).node;
    return node != nullptr && node->kind == kFolder;
}

bool MemoryFileSystem::IsFile(const std::string& path) const {
    const Node* node = Find(path, false).node;
    return node != nullptr && node->kind == kFile;
}

bool MemoryFileSystem::IsJunction(const std::string& path) const {
    const Node* node = Find(path, false).node;
    return node != nullptr && node->kind == kJunction;
}

std::optional<std::string> MemoryFileSystem::JunctionTarget(const std::string& path) const {
    const Node* node = Find(path, false).node;
    if (node == nullptr || node->kind != kJunction) {
        return std::nullopt;
    }
    return node->target;
}

std::vector<std::uint8_t> MemoryFileSystem::JunctionData(const std::string& path) const {
    const Node* node = Find(path, false).node;
    return node != nullptr ? node->data : std::vector<std::uint8_t>{};
}

std::optional<std::string> MemoryFileSystem::Contents(const std::string& path) const {
    const Node* node = Find(path, true).node;
    if (node == nullptr || node->kind != kFile) {
        return std::nullopt;
    }
    return node->file->contents;
}

int MemoryFileSystem::LinkCount(const std::string& path) const {
    const Node* node = Find(path, true).node;
    return node != nullptr && node->kind == kFile ? node->file->links : 0;
}

bool MemoryFileSystem::SameFile(const std::string& a, const std::string& b) const {
    const Node* first = Find(a, true).node;
    const Node* second = Find(b, true).node;
    return first != nullptr && second != nullptr && first->kind == kFile && second->kind == kFile &&
           first->file == second->file;
}

void MemoryFileSystem::DescribeInto(const Node& folder, const std::string& prefix,
                                    std::vector<std::string>& lines) const {
    // Iterative: test trees may be very deep.
    std::vector<std::pair<const Node*, std::string>> pending{{&folder, prefix}};
    while (!pending.empty()) {
        auto [node, base] = pending.back();
        pending.pop_back();
        for (const auto& [key, child] : node->children) {
            const std::string rel = base.empty() ? child->name : base + m_sep + child->name;
            switch (child->kind) {
                case kFolder:
                    lines.push_back(rel + "|folder");
                    pending.emplace_back(child.get(), rel);
                    break;
                case kFile:
                    lines.push_back(rel + "|file|" + child->file->contents + "|#" +
                                    std::to_string(child->file->id));
                    break;
                default:
                    lines.push_back(rel + "|junction|" + child->target);
                    break;
            }
        }
    }
}

std::string MemoryFileSystem::Describe(const std::string& root) const {
    const Node* node = Find(root, true).node;
    if (node == nullptr || node->kind != kFolder) {
        return {};
    }
    std::vector<std::string> lines;
    DescribeInto(*node, {}, lines);
    std::sort(lines.begin(), lines.end());
    std::string text;
    for (const std::string& line : lines) {
        text += line;
        text += '\n';
    }
    return text;
}

std::size_t MemoryFileSystem::CountEntries(const std::string& root) const {
    const Node* node = Find(root, true).node;
    if (node == nullptr || node->kind != kFolder) {
        return 0;
    }
    std::size_t count = 0;
    std::vector<const Node*> pending{node};
    while (!pending.empty()) {
        const Node* cur = pending.back();
        pending.pop_back();
        for (const auto& [key, child] : cur->children) {
            ++count;
            if (child->kind == kFolder) {
                pending.push_back(child.get());
            }
        }
    }
    return count;
}

void MemoryFileSystem::FailCall(FsOp op, int nth, ErrorCode code, bool always) {
    m_faults.push_back(Fault{op, {}, nth, code, always});
}

void MemoryFileSystem::FailPath(FsOp op, const std::string& path, ErrorCode code, bool always,
                                int nth) {
    m_faults.push_back(Fault{op, Key(Absolute(path).value_or(path)), nth, code, always});
}

std::optional<ErrorCode> MemoryFileSystem::Inject(FsOp op, const std::string& path) {
    const std::string key = Key(Absolute(path).value_or(path));
    for (Fault& fault : m_faults) {
        if ((fault.op != FsOp::Any && fault.op != op) ||
            (!fault.path.empty() && fault.path != key)) {
            continue;
        }
        ++fault.seen;
        if (fault.spent || (fault.nth != 0 && fault.seen < fault.nth)) {
            continue;
        }
        if (!fault.always) {
            fault.spent = true;
        }
        ++m_faultsFired;
        return fault.code;
    }
    return std::nullopt;
}

std::size_t MemoryFileSystem::CallCount(FsOp op) const {
    return static_cast<std::size_t>(
        std::count_if(m_calls.begin(), m_calls.end(),
                      [op](const FsCall& c) { return op == FsOp::Any || c.op == op; }));
}

ErrorCode MemoryFileSystem::Log(FsOp op, const std::string& path, const std::string& path2,
                                ErrorCode result) {
    m_calls.push_back(FsCall{op, path, path2, result});
    return result;
}

bool MemoryFileSystem::OnlyFoldersItMadeRemoved() const {
    std::set<std::string> made;  // folders a CreateFolder call made, still plain folders
    for (const FsCall& call : m_calls) {
        const std::string key = Key(Absolute(call.path).value_or(call.path));
        const bool ok = call.result == err::kSuccess;
        if (call.op == FsOp::CreateFolder && ok) {
            made.insert(key);
        } else if (call.op == FsOp::SetMountPoint && ok) {
            made.erase(key);
        } else if (call.op == FsOp::RemoveFolder && ok) {
            if (made.erase(key) == 0) {
                return false;
            }
        }
    }
    return true;
}

ErrorCode MemoryFileSystem::CreateHardLink(const std::string& link, const std::string& existing) {
    if (auto fault = Inject(FsOp::CreateHardLink, link)) {
        return Log(FsOp::CreateHardLink, link, existing, *fault);
    }
    const Lookup source = Find(existing, true);
    if (source.node == nullptr) {
        return Log(FsOp::CreateHardLink, link, existing,
                   source.error != err::kSuccess ? source.error : err::kFileNotFound);
    }
    if (source.node->kind != kFile) {
        return Log(FsOp::CreateHardLink, link, existing, err::kAccessDenied);
    }
    const Lookup target = Find(link, false);
    if (target.error != err::kSuccess) {
        return Log(FsOp::CreateHardLink, link, existing, target.error);
    }
    if (target.node != nullptr || target.parent == m_root.get()) {
        return Log(FsOp::CreateHardLink, link, existing, err::kAlreadyExists);
    }
    if (source.node->volume != target.parent->volume) {
        return Log(FsOp::CreateHardLink, link, existing, err::kNotSameDevice);
    }
    const std::string drive = Key(PathOf(target.parent).substr(0, 2));
    if (m_windows && std::count(m_noHardLinks.begin(), m_noHardLinks.end(), drive) != 0) {
        return Log(FsOp::CreateHardLink, link, existing, err::kInvalidFunction);
    }
    if (source.node->file->links >= m_linkLimit) {
        return Log(FsOp::CreateHardLink, link, existing, err::kTooManyLinks);
    }
    auto node = std::make_unique<Node>();
    node->kind = kFile;
    node->volume = target.parent->volume;
    node->id = NewId(node->volume);
    node->name = target.name;
    node->file = source.node->file;
    ++node->file->links;
    target.parent->children[Key(target.name)] = std::move(node);
    return Log(FsOp::CreateHardLink, link, existing, err::kSuccess);
}

ErrorCode MemoryFileSystem::CreateFolder(const std::string& path) {
    if (auto fault = Inject(FsOp::CreateFolder, path)) {
        return Log(FsOp::CreateFolder, path, {}, *fault);
    }
    const Lookup found = Find(path, false);
    if (found.error != err::kSuccess) {
        return Log(FsOp::CreateFolder, path, {}, found.error);
    }
    if (found.node != nullptr || found.parent == m_root.get()) {
        return Log(FsOp::CreateFolder, path, {}, err::kAlreadyExists);
    }
    auto node = std::make_unique<Node>();
    node->volume = found.parent->volume;
    node->id = NewId(node->volume);
    node->name = found.name;
    found.parent->children[Key(found.name)] = std::move(node);
    return Log(FsOp::CreateFolder, path, {}, err::kSuccess);
}

ErrorCode MemoryFileSystem::RemoveFolder(const std::string& path) {
    if (auto fault = Inject(FsOp::RemoveFolder, path)) {
        return Log(FsOp::RemoveFolder, path, {}, *fault);
    }
    const Lookup found = Find(path, false);
    if (found.node == nullptr || found.parent == m_root.get()) {
        return Log(FsOp::RemoveFolder, path, {},
                   found.error != err::kSuccess ? found.error : err::kFileNotFound);
    }
    if (found.node->kind == kFile) {
        return Log(FsOp::RemoveFolder, path, {}, err::kAccessDenied);
    }
    if (!found.node->children.empty()) {
        return Log(FsOp::RemoveFolder, path, {}, err::kDirNotEmpty);
    }
    found.parent->children.erase(Key(found.name));
    m_removals.push_back(path);
    return Log(FsOp::RemoveFolder, path, {}, err::kSuccess);
}

ErrorCode MemoryFileSystem::SetMountPoint(const std::string& folder, const std::string& source,
                                          const std::vector<std::uint8_t>& reparseData) {
    if (auto fault = Inject(FsOp::SetMountPoint, folder)) {
        return Log(FsOp::SetMountPoint, folder, source, *fault);
    }
    if (!m_junctions) {
        return Log(FsOp::SetMountPoint, folder, source, err::kNotSupported);
    }
    const Lookup found = Find(folder, false);
    if (found.node == nullptr) {
        return Log(FsOp::SetMountPoint, folder, source,
                   found.error != err::kSuccess ? found.error : err::kFileNotFound);
    }
    if (found.node->kind == kFile || found.parent == m_root.get()) {
        return Log(FsOp::SetMountPoint, folder, source, err::kAccessDenied);
    }
    if (!found.node->children.empty()) {
        return Log(FsOp::SetMountPoint, folder, source, err::kDirNotEmpty);
    }
    found.node->kind = kJunction;
    found.node->target = Absolute(source).value_or(source);
    found.node->data = reparseData;
    return Log(FsOp::SetMountPoint, folder, source, err::kSuccess);
}

bool MemoryFileSystem::SetCurrentFolder(const std::string& path) {
    if (Inject(FsOp::SetCurrentFolder, path)) {
        Log(FsOp::SetCurrentFolder, path, {}, err::kAccessDenied);
        return false;
    }
    const Lookup found = Find(path, true);
    if (found.node == nullptr || found.node->kind != kFolder) {
        Log(FsOp::SetCurrentFolder, path, {}, err::kPathNotFound);
        return false;
    }
    m_current = *Absolute(path);
    Log(FsOp::SetCurrentFolder, path, {}, err::kSuccess);
    return true;
}

std::optional<std::string> MemoryFileSystem::FullPath(const std::string& name) {
    if (Inject(FsOp::FullPath, name)) {
        Log(FsOp::FullPath, name, {}, err::kAccessDenied);
        return std::nullopt;
    }
    std::optional<std::string> full = Absolute(name, true);
    Log(FsOp::FullPath, name, {}, full ? err::kSuccess : err::kInvalidName);
    return full;
}

ErrorCode MemoryFileSystem::ListFolder(const std::string& folder, std::vector<FoundEntry>& out) {
    out.clear();
    if (auto fault = Inject(FsOp::ListFolder, folder)) {
        Log(FsOp::ListFolder, folder, {}, *fault);
        return *fault;
    }
    const Lookup found = Find(folder, true);
    if (found.node == nullptr || found.node->kind != kFolder) {
        const ErrorCode code = found.error != err::kSuccess ? found.error : err::kPathNotFound;
        Log(FsOp::ListFolder, folder, {}, code);
        return code;
    }
    for (const auto& [key, child] : found.node->children) {
        out.push_back(FoundEntry{child->name, child->kind != kFile});
    }
    Log(FsOp::ListFolder, folder, {}, err::kSuccess);
    return err::kSuccess;
}

std::optional<FileId> MemoryFileSystem::FolderIdentity(const std::string& path) {
    if (Inject(FsOp::FolderIdentity, path)) {
        Log(FsOp::FolderIdentity, path, {}, err::kAccessDenied);
        return std::nullopt;
    }
    const Lookup found = Find(path, true);
    if (found.node == nullptr || found.node->kind != kFolder) {
        Log(FsOp::FolderIdentity, path, {}, err::kPathNotFound);
        return std::nullopt;
    }
    Log(FsOp::FolderIdentity, path, {}, err::kSuccess);
    return FileId{static_cast<std::uint64_t>(found.node->volume), found.node->id};
}

std::optional<EntryInfo> MemoryFileSystem::Inspect(const std::string& path) {
    if (Inject(FsOp::Inspect, path)) {
        Log(FsOp::Inspect, path, {}, err::kAccessDenied);
        return std::nullopt;
    }
    const Lookup found = Find(path, false);
    if (found.node == nullptr) {
        Log(FsOp::Inspect, path, {}, err::kFileNotFound);
        return std::nullopt;
    }
    Log(FsOp::Inspect, path, {}, err::kSuccess);
    const Node& node = *found.node;
    const auto volume = static_cast<std::uint64_t>(node.volume);
    switch (node.kind) {
        case kFile:
            return EntryInfo{EntryKind::File, FileId{volume, node.file->id}};
        case kFolder:
            return EntryInfo{EntryKind::Folder, FileId{volume, node.id}};
        default:
            return EntryInfo{EntryKind::ReparsePoint, FileId{volume, node.id}};
    }
}

// The path of a node, found by searching from the root (tests' trees are small).
std::string MemoryFileSystem::PathOf(const Node* node) const {
    std::vector<std::pair<const Node*, std::string>> pending{{m_root.get(), std::string()}};
    while (!pending.empty()) {
        auto [cur, path] = pending.back();
        pending.pop_back();
        if (cur == node) {
            if (!m_windows) return path.empty() ? "/" : path;
            return path.size() == 2 ? path + m_sep : path;
        }
        for (const auto& [key, child] : cur->children) {
            if (child->kind == kFolder || child.get() == node) {
                const bool top = cur == m_root.get();
                pending.emplace_back(child.get(),
                                     top && m_windows ? child->name : path + m_sep + child->name);
            }
        }
    }
    return {};
}

std::optional<std::string> MemoryFileSystem::FinalPath(const std::string& path) {
    const bool failed = Inject(FsOp::FinalPath, path).has_value();
    const Lookup found = Find(path, true);
    if (failed || found.node == nullptr) {
        Log(FsOp::FinalPath, path, {}, err::kFileNotFound);
        return std::nullopt;
    }
    Log(FsOp::FinalPath, path, {}, err::kSuccess);
    return PathOf(found.node);
}

std::optional<VolumeInfo> MemoryFileSystem::VolumeOf(const std::string& path) {
    const bool failed = Inject(FsOp::VolumeOf, path).has_value();
    const Lookup found = Find(path, true);
    if (failed || found.node == nullptr || found.node->kind != kFolder) {
        Log(FsOp::VolumeOf, path, {}, err::kPathNotFound);
        return std::nullopt;
    }
    Log(FsOp::VolumeOf, path, {}, err::kSuccess);
    const std::string drive = Key(PathOf(found.node).substr(0, 2));
    const bool fat =
        m_windows && std::count(m_noHardLinks.begin(), m_noHardLinks.end(), drive) != 0;
    return VolumeInfo{static_cast<std::uint64_t>(found.node->volume), !fat};
}

bool MemoryFileSystem::SameName(const std::string& a, const std::string& b) {
    return Key(a) == Key(b);
}

std::string MemoryFileSystem::ErrorText(ErrorCode code) {
    return "System error " + std::to_string(code) + ".\r\n";
}

}  // namespace velmora::test
