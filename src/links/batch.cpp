#include "links/batch.h"

#include <algorithm>

#include "links/reparse.h"
#include "text/safe_format.h"

namespace velmora {

namespace {

// Thrown by Cancel (in a prompt, or from the observer) and caught only by Run(): it unwinds
// every level of the walk at once, leaving everything made so far in place.
struct BatchCancelled {};

// Thrown when the prompt answers with a value that is none of its answers; the batch then
// ends as failed.
struct InvalidAnswer {};

// A name relative to the current folder alone ("name", "..\\name"), as opposed to a full
// name or one that starts at a drive or a root ("X:name", "\\name", "/name").
bool IsPlainRelative(const std::string& name, char sep) {
    if (name.empty() || name[0] == sep) {
        return false;
    }
    return sep != '\\' || name.size() < 2 || name[1] != ':';
}

bool IsSeparator(char ch, char sep) { return ch == sep || (sep == '\\' && ch == '/'); }

bool IsDriveLetter(char ch) { return (ch >= 'A' && ch <= 'Z') || (ch >= 'a' && ch <= 'z'); }

// "X:\..." (or "X:/...").
bool HasDriveRoot(const std::string& path) {
    return path.size() >= 3 && IsDriveLetter(path[0]) && path[1] == ':' &&
           IsSeparator(path[2], '\\');
}

// A name that says by itself which file it means: "X:\...", "\\server\share\..." (or a
// "\\?\" form) on Windows, "/..." on POSIX. "name", "..\name", "X:name" and "\name" depend
// on whatever folder or drive happens to be current.
bool IsFullPath(const std::string& path, char sep) {
    if (sep != '\\') {
        return !path.empty() && path[0] == sep;
    }
    return HasDriveRoot(path) ||
           (path.size() >= 2 && IsSeparator(path[0], sep) && IsSeparator(path[1], sep));
}

// "\\?\X:\..." and "\\.\X:\..." name "X:\...", "\\?\UNC\server\..." names
// "\\server\...": the plain form, which the full-path step then makes normal.
std::string WithoutLongPrefix(const std::string& path, char sep) {
    if (sep != '\\' || path.size() < 4 || path[0] != '\\' || path[1] != '\\' ||
        (path[2] != '?' && path[2] != '.') || path[3] != '\\') {
        return path;
    }
    std::string rest = path.substr(4);
    if (HasDriveRoot(rest)) {
        return rest;
    }
    const bool unc = rest.size() >= 4 && (rest[0] == 'U' || rest[0] == 'u') &&
                     (rest[1] == 'N' || rest[1] == 'n') && (rest[2] == 'C' || rest[2] == 'c') &&
                     rest[3] == '\\';
    return unc ? "\\" + rest.substr(3) : path;
}

// The last element of a full name; empty for a root ("X:\", "/").
std::string_view LastName(std::string_view path, char sep) {
    const std::size_t cut = path.rfind(sep);
    return cut == std::string_view::npos ? path : path.substr(cut + 1);
}

// The folder that holds a full name ("X:\" for "X:\name"); empty when there is none.
std::string ParentFolder(const std::string& path, char sep) {
    const std::size_t cut = path.rfind(sep);
    if (cut == std::string::npos) {
        return {};
    }
    const bool keepSeparator = cut == 0 || (cut == 2 && path[1] == ':');
    return path.substr(0, keepSeparator ? cut + 1 : cut);
}

// Names compared as the file system compares them: Windows ignores the case of letters.
bool SameName(std::string_view a, std::string_view b, char sep) {
    if (sep != '\\') {
        return a == b;
    }
    const auto lower = [](char ch) {
        return ch >= 'A' && ch <= 'Z' ? static_cast<char>(ch + 32) : ch;
    };
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [&](char x, char y) { return lower(x) == lower(y); });
}

}  // namespace

LinkBatch::LinkBatch(IFileSystem& fs, IPrompt& prompt, IMessages& messages,
                     const TextCatalog& texts, IBatchObserver* observer)
    : m_fs(fs), m_prompt(prompt), m_messages(messages), m_texts(texts), m_observer(observer) {}

BatchResult LinkBatch::Run(const std::vector<std::string>& entries, const std::string& target,
                           int depth) {
    m_result = BatchResult{};
    m_bSkipAllFiles = m_bSkipAllFolders = m_bSkipAllJunctions = false;
    m_mirrorIds.clear();
    m_foldersEntered = 0;
    m_filesHandled = 0;
    try {
        RunEntries(entries, target, depth);
    } catch (const BatchCancelled&) {
        m_result.outcome = BatchOutcome::Cancelled;
    } catch (...) {
        m_result.outcome = BatchOutcome::Failed;
        try {
            m_messages.ShowMessage(m_texts.Text(txt::kUnknownError));
        } catch (...) {
            // Nothing more can be said; the batch is over either way.
        }
    }
    return std::move(m_result);
}

void LinkBatch::RunEntries(const std::vector<std::string>& entries, const std::string& target,
                           int depth) {
    const char sep = m_fs.Separator();
    m_nDepth = depth;
    std::optional<std::string> pattern = CompleteTarget(m_fs, target, entries.size());
    if (!pattern) {
        m_messages.ShowMessage(m_texts.Text(txt::kOneLinkSeveral));
        m_result.outcome = BatchOutcome::Refused;
        return;
    }
    m_strTarget = std::move(*pattern);
    std::string entry;
    for (const std::string& listed : entries) {
        Notify(listed);
        if (listed.empty() || listed.back() != sep) {
            if (FullEntry(listed, txt::kFileLinkError, m_bSkipAllFiles, entry)) {
                LinkListedFile(entry);
            } else {
                ++m_filesHandled;
            }
            continue;
        }
        const std::string given = listed.substr(0, listed.size() - 1);
        const bool made = m_nDepth == 0
                              ? FullEntry(given, txt::kFolderLinkError, m_bSkipAllJunctions, entry)
                              : FullEntry(given, txt::kFolderError, m_bSkipAllFolders, entry);
        if (made) {
            LinkFolderEntry(entry);
        }
    }
}

// Every entry is made a full, normal name before it is used, and an entry that names no
// definite file or folder is refused through the prompt of its kind. False when the entry
// is passed over.
bool LinkBatch::FullEntry(const std::string& given, TextId kind, bool& skipAll,
                          std::string& entry) {
    for (;;) {
        NormalEntry normal = NormaliseEntry(m_fs, given);
        const StepResult result{normal.code, normal.refusal};
        if (result.Done()) {
            entry = std::move(normal.name);
            return true;
        }
        if (!RetryAfterFailure(kind, given, result, skipAll)) {
            return false;
        }
    }
}

// The system's full-path step resolves "." and "..", reads '/' as '\\' and drops the dots
// and blanks that end the last element; the link's name is then the last real element.
NormalEntry NormaliseEntry(IFileSystem& fs, const std::string& given) {
    const char sep = fs.Separator();
    const std::string path = WithoutLongPrefix(given, sep);
    if (!IsFullPath(path, sep)) {
        return {{}, txt::kNotFullPath};
    }
    std::optional<std::string> full = fs.FullPath(path);
    if (!full) {
        return {{}, 0, err::kInvalidName};
    }
    std::string name = std::move(*full);
    // A separator at the end is no element (a drive's root keeps its own).
    while (name.size() > 1 && name.back() == sep && name[name.size() - 2] != ':') {
        name.pop_back();
    }
    if (LastName(name, sep).empty()) {
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
        fs.FullPath(changed || !IsPlainRelative(name, sep) ? name : folder + name);
    if (full) {
        return std::move(*full);
    }
    return name;
}

// The file already at the name may be the entry itself rather than an earlier link of it:
// then the file would be its own link, which is refused.
LinkBatch::StepResult LinkBatch::LinkFileEntry(const std::string& entry) {
    const std::string name =
        MakeFullLinkName(m_fs, ComposeLinkName(m_strTarget, entry, m_fs.Separator()), entry);
    const StepResult result = HardLinkFile(entry, name);
    if (result.inPlace && IsOwnName(name, entry)) {
        return Refused(txt::kLinkIsSource);
    }
    return result;
}

void LinkBatch::LinkListedFile(const std::string& entry) {
    for (;;) {
        const StepResult result = LinkFileEntry(entry);  // a retry composes the name again
        if (result.Done()) {
            CountDone(result, m_result.hardLinks);
            break;
        }
        if (!RetryAfterFailure(txt::kFileLinkError, entry, result, m_bSkipAllFiles)) {
            break;
        }
    }
    ++m_filesHandled;
    Notify(entry);
}

void LinkBatch::LinkFolderEntry(const std::string& entry) {
    const std::string name =
        MakeFullLinkName(m_fs, ComposeLinkName(m_strTarget, entry, m_fs.Separator()), entry);
    LinkFolder(entry, name, m_nDepth);
}

// The mirror walk keeps its own stack of levels instead of recursing, so the depth of the
// tree costs heap, not machine stack; a level's entries are read in one go, so no search
// handle stays open while the walk is below it.
void LinkBatch::LinkFolder(const std::string& source, const std::string& link, int depth) {
    if (depth == 0) {
        MakeJunction(link, source);
        return;
    }
    if (!AcceptMirrorPlace(source, link)) {
        return;
    }
    const char sep = m_fs.Separator();
    m_levelCount = 0;
    m_pathIds.clear();
    m_source = source;
    m_link = link;
    if (!EnterMirror(depth)) {
        return;
    }
    while (m_levelCount > 0) {
        const std::size_t top = m_levelCount - 1;
        WalkLevel& level = m_levels[top];
        if (level.next == level.entries.size()) {
            if (level.id) {
                m_pathIds.erase(*level.id);
            }
            --m_levelCount;
            if (m_levelCount > 0) {
                m_source.resize(m_levels[m_levelCount - 1].sourceLength);
                m_link.resize(m_levels[m_levelCount - 1].linkLength);
            }
            continue;
        }
        const FoundEntry& found = level.entries[level.next++];
        // Below -1 behaves like -1: a negative depth is never lowered to 0.
        const int childDepth = level.depth < 0 ? -1 : level.depth - 1;
        m_source += sep;
        m_source += found.name;
        m_link += sep;
        m_link += found.name;
        if (found.isFolder) {
            if (childDepth == 0) {
                MakeJunction(m_link, m_source);
            } else if (EnterMirror(childDepth)) {
                continue;  // the new level is worked through first
            }
        } else {
            LinkMirroredFile(m_source, m_link);
        }
        m_source.resize(m_levels[top].sourceLength);
        m_link.resize(m_levels[top].linkLength);
    }
}

// A mirror folder that is its own source folder, or lies inside it, would take in its own
// links again and again: refused before anything is made. (Below the first level the walk's
// guards pass such folders over: a mirror folder is never entered as a source.)
bool LinkBatch::AcceptMirrorPlace(const std::string& source, const std::string& link) {
    for (;;) {
        const StepResult result = CheckMirrorPlace(source, link);
        if (result.Done()) {
            return true;
        }
        if (!RetryAfterFailure(txt::kFolderError, link, result, m_bSkipAllFolders)) {
            return false;
        }
    }
}

LinkBatch::StepResult LinkBatch::CheckMirrorPlace(const std::string& source,
                                                  const std::string& link) {
    const std::optional<FileId> sourceId = m_fs.FolderIdentity(source);
    if (!sourceId) {
        return {};  // reading the source will say what is wrong with it
    }
    const char sep = m_fs.Separator();
    for (std::string folder = link; !folder.empty(); folder = ParentFolder(folder, sep)) {
        if (m_fs.FolderIdentity(folder) == sourceId) {
            return Refused(txt::kMirrorInSource);
        }
        if (LastName(folder, sep).empty()) {
            break;  // the root
        }
    }
    return {};
}

// Makes (or reuses) the mirror folder m_link for the source folder m_source and pushes its
// level. False when the folder is passed over: skipped after a failure, already on the
// walk's path (a junction leading back up the tree), or a mirror folder of this batch (a
// target inside the source would otherwise mirror its own output again and again).
bool LinkBatch::EnterMirror(int depth) {
    const std::optional<FileId> id = m_fs.FolderIdentity(m_source);
    if (id && (m_pathIds.count(*id) != 0 || m_mirrorIds.count(*id) != 0)) {
        return false;
    }
    if (m_levelCount == m_levels.size()) {
        m_levels.emplace_back();
    }
    // The source is read before its mirror folder is made: a source that names nothing, or
    // cannot be read, gets its prompt with the system's reason and leaves nothing behind,
    // instead of an empty mirror that looks like success.
    if (!ReadSourceFolder(m_levels[m_levelCount].entries) || !MakeMirrorFolder()) {
        return false;
    }
    ++m_foldersEntered;
    Notify(m_source);
    WalkLevel& level = m_levels[m_levelCount++];
    level.next = 0;
    level.depth = depth;
    level.id = id;
    level.sourceLength = m_source.size();
    level.linkLength = m_link.size();
    if (id) {
        m_pathIds.insert(*id);
    }
    return true;
}

bool LinkBatch::ReadSourceFolder(std::vector<FoundEntry>& entries) {
    for (;;) {
        const ErrorCode code = m_fs.ListFolder(m_source, entries);
        if (code == err::kSuccess) {
            return true;
        }
        if (!RetryAfterFailure(txt::kFolderReadError, m_source, {code}, m_bSkipAllFolders)) {
            return false;  // the folder and everything below it are passed over
        }
    }
}

bool LinkBatch::MakeMirrorFolder() {
    for (;;) {
        const StepResult result = CreateMirrorFolder();
        if (result.Done()) {
            return true;
        }
        if (!RetryAfterFailure(txt::kFolderError, m_link, result, m_bSkipAllFolders)) {
            return false;  // the folder and everything below it are passed over
        }
    }
}

// A plain folder that has the name already is used as it is. A junction or symbolic link
// there is never written through (the links would land in whatever it leads to), and a file
// there is one folder failure rather than one failure for every link below it.
LinkBatch::StepResult LinkBatch::CreateMirrorFolder() {
    const ErrorCode code = m_fs.CreateFolder(m_link);
    if (code == err::kSuccess) {
        ++m_result.folders;
        if (const std::optional<FileId> id = m_fs.FolderIdentity(m_link)) {
            m_mirrorIds.insert(*id);
        }
        return {};
    }
    if (code != err::kAlreadyExists) {
        return {code};
    }
    const std::optional<EntryInfo> there = m_fs.Inspect(m_link);
    if (there && there->kind == EntryKind::ReparsePoint) {
        return Refused(txt::kNameIsReparsePoint);
    }
    if (!there || there->kind != EntryKind::Folder) {
        return {code};
    }
    m_mirrorIds.insert(there->id);
    return {};
}

void LinkBatch::MakeJunction(const std::string& link, const std::string& source) {
    for (;;) {
        const StepResult result = CreateJunction(link, source);
        if (result.Done()) {
            CountDone(result, m_result.junctions);
            break;
        }
        if (!RetryAfterFailure(txt::kFolderLinkError, link, result, m_bSkipAllJunctions)) {
            return;
        }
    }
    Notify(source);
}

void LinkBatch::LinkMirroredFile(const std::string& source, const std::string& link) {
    for (;;) {
        const StepResult result = HardLinkFile(source, link);
        if (result.Done()) {
            CountDone(result, m_result.hardLinks);
            break;
        }
        if (!RetryAfterFailure(txt::kFileLinkError, source, result, m_bSkipAllFiles)) {
            break;
        }
    }
    ++m_filesHandled;
    Notify(source);
}

void LinkBatch::CountDone(const StepResult& result, std::uint64_t& made) {
    ++(result.inPlace ? m_result.alreadyInPlace : made);
}

// What the user wants done about a failed step: true to try it again. With the kind's
// Skip all already chosen the step is passed over without asking; Skip all chosen now sets
// it; Cancel abandons the batch. An answer the prompt cannot give is a failure of the
// prompt, never taken for Skip.
bool LinkBatch::RetryAfterFailure(TextId id, const std::string& name, StepResult result,
                                  bool& skipAll) {
    if (!skipAll) {
        switch (Ask(id, name, result)) {
            case PromptAnswer::Retry:
                return true;
            case PromptAnswer::Skip:
                break;
            case PromptAnswer::SkipAll:
                skipAll = true;
                break;
            case PromptAnswer::Cancel:
                Abandon();
            default:
                throw InvalidAnswer{};
        }
    }
    Skipped(name);
    return false;
}

void LinkBatch::Skipped(const std::string& name) {
    ++m_result.skipped;
    if (m_result.skippedNames.size() < kSkippedNamesKept) {
        m_result.skippedNames.push_back(name);
    }
}

// A name that is taken is looked at only once the system has said so, so a fresh batch pays
// nothing for it. The source's own file there (an earlier link, a batch made again) is the
// link asked for; a junction or symbolic link there is refused; anything else is the
// system's "already exists".
LinkBatch::StepResult LinkBatch::HardLinkFile(const std::string& source, const std::string& link) {
    const ErrorCode code = m_fs.CreateHardLink(link, source);
    if (code != err::kAlreadyExists) {
        return {code};
    }
    const std::optional<EntryInfo> there = m_fs.Inspect(link);
    if (there && there->kind == EntryKind::ReparsePoint) {
        return Refused(txt::kNameIsReparsePoint);
    }
    if (!there || there->kind != EntryKind::File) {
        return {code};
    }
    const std::optional<EntryInfo> file = m_fs.Inspect(source);
    return file && file->id == there->id ? InPlace() : StepResult{code};
}

LinkBatch::StepResult LinkBatch::CreateJunction(const std::string& link,
                                                const std::string& source) {
    // A junction's target is "\??\" and a local folder's full name: a network folder (or a
    // device form) would give a junction that leads nowhere.
    if (m_fs.Separator() == '\\' && !HasDriveRoot(source)) {
        return Refused(txt::kJunctionNotLocal);
    }
    // Built and checked before anything touches the disk.
    const std::vector<std::uint8_t> data = BuildMountPointBuffer(MountPointSubstituteName(source));
    if (data.empty()) {
        return {err::kFilenameExcedRange};
    }
    // A junction to nothing would look made and lead nowhere: a source that is no folder
    // fails like any other junction, with the system's reason.
    const std::optional<FileId> sourceId = m_fs.FolderIdentity(source);
    if (!sourceId) {
        return {err::kPathNotFound};
    }
    ErrorCode code = m_fs.CreateFolder(link);
    const bool created = code == err::kSuccess;
    if (!created && code != err::kAlreadyExists) {
        return {code};
    }
    if (!created) {
        // Setting a mount point over a junction replaces it, and over the source folder
        // itself would make the source a junction to itself: both are refused. An empty
        // plain folder of that name is used.
        const std::optional<EntryInfo> there = m_fs.Inspect(link);
        if (there && there->kind == EntryKind::ReparsePoint) {
            // One that leads to this source already is the junction asked for.
            if (m_fs.FolderIdentity(link) == sourceId) {
                return InPlace();
            }
            return Refused(txt::kNameIsReparsePoint);
        }
        if (there && there->kind == EntryKind::Folder && there->id == *sourceId) {
            return Refused(txt::kLinkIsSource);
        }
    }
    code = m_fs.SetMountPoint(link, source, data);
    if (code != err::kSuccess && created) {
        m_fs.RemoveFolder(link);  // only a folder this call made; never one that existed
    }
    return {code};  // the failing call's own, not the clean-up's
}

// Whether a link's name, known to hold the entry's file, is the entry's own name: the same
// name in the same folder (another hard link of the file is not).
bool LinkBatch::IsOwnName(const std::string& name, const std::string& entry) {
    const char sep = m_fs.Separator();
    if (!SameName(LastName(name, sep), LastName(entry, sep), sep)) {
        return false;
    }
    const std::optional<FileId> folder = m_fs.FolderIdentity(ParentFolder(name, sep));
    return folder && folder == m_fs.FolderIdentity(ParentFolder(entry, sep));
}

PromptAnswer LinkBatch::Ask(TextId id, const std::string& name, StepResult result) {
    // A language text that does not fit the built-in conversions falls back to the built-in.
    std::string format = m_texts.Text(id);
    format += "\n%s";
    std::string builtin(BuiltinText(id));
    builtin += "\n%s";
    const std::string reason =
        result.refusal != 0 ? m_texts.Text(result.refusal) : m_fs.ErrorText(result.code);
    return m_prompt.Ask(
        SafeFormat(format, builtin, {std::string_view(name), std::string_view(reason)}));
}

void LinkBatch::Abandon() { throw BatchCancelled{}; }

void LinkBatch::Notify(std::string_view current) {
    if (m_observer == nullptr) {
        return;
    }
    const std::uint64_t links = m_result.hardLinks + m_result.junctions;
    if (!m_observer->OnProgress(BatchProgress{current, links, m_foldersEntered, m_filesHandled})) {
        Abandon();
    }
}

}  // namespace velmora
