#include "links/batch.h"

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
    for (const std::string& entry : entries) {
        Notify(entry);
        if (!entry.empty() && entry.back() == sep) {
            LinkFolderEntry(entry.substr(0, entry.size() - 1));
        } else {
            LinkListedFile(entry);
        }
    }
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

ErrorCode LinkBatch::LinkFileEntry(const std::string& entry) {
    const std::string name =
        MakeFullLinkName(m_fs, ComposeLinkName(m_strTarget, entry, m_fs.Separator()), entry);
    return HardLinkFile(entry, name);
}

void LinkBatch::LinkListedFile(const std::string& entry) {
    for (;;) {
        const ErrorCode code = LinkFileEntry(entry);  // a retry composes the name again
        if (code == err::kSuccess) {
            break;
        }
        if (!RetryAfterFailure(txt::kFileLinkError, entry, code, m_bSkipAllFiles)) {
            return;
        }
    }
    ++m_result.hardLinks;
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
        if (!RetryAfterFailure(txt::kFolderReadError, m_source, code, m_bSkipAllFolders)) {
            return false;  // the folder and everything below it are passed over
        }
    }
}

bool LinkBatch::MakeMirrorFolder() {
    for (;;) {
        const ErrorCode code = m_fs.CreateFolder(m_link);
        if (code == err::kSuccess || code == err::kAlreadyExists) {
            const std::optional<FileId> linkId = m_fs.FolderIdentity(m_link);
            if (code == err::kSuccess) {
                ++m_result.folders;
            }
            if (linkId) {
                m_mirrorIds.insert(*linkId);
                return true;
            }
            if (code == err::kSuccess) {
                return true;
            }
            // The name is taken by something that is no folder (a file): going on would
            // only make every link below it fail one by one, so it is one folder failure.
        }
        if (!RetryAfterFailure(txt::kFolderError, m_link, code, m_bSkipAllFolders)) {
            return false;  // the folder and everything below it are passed over
        }
    }
}

void LinkBatch::MakeJunction(const std::string& link, const std::string& source) {
    for (;;) {
        const ErrorCode code = CreateJunction(link, source);
        if (code == err::kSuccess) {
            break;
        }
        if (!RetryAfterFailure(txt::kFolderLinkError, link, code, m_bSkipAllJunctions)) {
            return;
        }
    }
    ++m_result.junctions;
    Notify(source);
}

void LinkBatch::LinkMirroredFile(const std::string& source, const std::string& link) {
    for (;;) {
        const ErrorCode code = HardLinkFile(source, link);
        if (code == err::kSuccess) {
            break;
        }
        if (!RetryAfterFailure(txt::kFileLinkError, source, code, m_bSkipAllFiles)) {
            return;
        }
    }
    ++m_result.hardLinks;
    Notify(source);
}

// What the user wants done about a failed step: true to try it again. With the kind's
// Skip all already chosen the step is passed over without asking; Skip all chosen now sets
// it; Cancel abandons the batch. An answer the prompt cannot give is a failure of the
// prompt, never taken for Skip.
bool LinkBatch::RetryAfterFailure(TextId id, const std::string& name, ErrorCode code,
                                  bool& skipAll) {
    if (!skipAll) {
        switch (Ask(id, name, code)) {
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

ErrorCode LinkBatch::HardLinkFile(const std::string& source, const std::string& link) {
    return m_fs.CreateHardLink(link, source);
}

ErrorCode LinkBatch::CreateJunction(const std::string& link, const std::string& source) {
    // Built and checked before anything touches the disk.
    const std::vector<std::uint8_t> data = BuildMountPointBuffer(MountPointSubstituteName(source));
    if (data.empty()) {
        return err::kFilenameExcedRange;
    }
    // A junction to nothing would look made and lead nowhere: a source that is no folder
    // fails like any other junction, with the system's reason.
    if (!m_fs.FolderIdentity(source)) {
        return err::kPathNotFound;
    }
    ErrorCode code = m_fs.CreateFolder(link);
    const bool created = code == err::kSuccess;
    if (!created && code != err::kAlreadyExists) {
        return code;
    }
    code = m_fs.SetMountPoint(link, source, data);
    if (code != err::kSuccess && created) {
        m_fs.RemoveFolder(link);  // only a folder this call made; never one that existed
    }
    return code;  // the failing call's own, not the clean-up's
}

PromptAnswer LinkBatch::Ask(TextId id, const std::string& name, ErrorCode code) {
    // A language text that does not fit the built-in conversions falls back to the built-in.
    std::string format = m_texts.Text(id);
    format += "\n%s";
    std::string builtin(BuiltinText(id));
    builtin += "\n%s";
    const std::string reason = m_fs.ErrorText(code);
    return m_prompt.Ask(
        SafeFormat(format, builtin, {std::string_view(name), std::string_view(reason)}));
}

void LinkBatch::Abandon() { throw BatchCancelled{}; }

void LinkBatch::Notify(std::string_view current) {
    if (m_observer == nullptr) {
        return;
    }
    const std::uint64_t links = m_result.hardLinks + m_result.junctions;
    if (!m_observer->OnProgress(BatchProgress{current, links, m_foldersEntered})) {
        Abandon();
    }
}

}  // namespace velmora
