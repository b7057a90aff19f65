#include "links/batch.h"

#include "links/reparse.h"
#include "text/safe_format.h"

namespace velmora {

namespace {

// Thrown by Cancel (in a prompt, or from the observer) and caught only by Run(): it unwinds
// every level of the walk at once, leaving everything made so far in place.
struct BatchCancelled {};

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

BatchOutcome LinkBatch::Run(const std::vector<std::string>& entries, const std::string& target,
                            int depth) {
    const char sep = m_fs.Separator();
    try {
        m_nDepth = depth;
        m_strTarget = target;
        std::optional<std::string> pattern = CompleteTarget(m_strTarget, entries.size());
        if (!pattern) {
            m_messages.ShowMessage(m_texts.Text(txt::kOneLinkSeveral));
            return BatchOutcome::Refused;
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
    } catch (const BatchCancelled&) {
        return BatchOutcome::Cancelled;
    } catch (...) {
        if (m_bCancelled) {
            return BatchOutcome::Cancelled;
        }
        try {
            m_messages.ShowMessage(m_texts.Text(txt::kUnknownError));
        } catch (...) {
            // Nothing more can be said; the batch is over either way.
        }
        return BatchOutcome::Failed;
    }
    return BatchOutcome::Completed;
}

std::optional<std::string> LinkBatch::CompleteTarget(const std::string& target,
                                                     std::size_t entries) {
    const char sep = m_fs.Separator();
    if (!target.empty() && target.back() == sep) {
        return target + "*.*";
    }
    if (m_fs.SetCurrentFolder(target)) {
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

std::string LinkBatch::MakeFullLinkName(const std::string& name, const std::string& source) {
    if (source.size() < 4) {
        return name;
    }
    const std::size_t k = source.rfind(m_fs.Separator(), source.size() - 2);
    if (k == std::string::npos) {
        return name;
    }
    // A relative pattern is resolved against the source's own folder, which becomes the
    // current folder (a side effect the batch has always had). Should that fail (a folder
    // that is gone, or too long to be made current), a relative name is still resolved
    // against the source's folder, never against whatever folder happened to be current.
    const char sep = m_fs.Separator();
    const std::string folder = source.substr(0, k + 1);
    const bool changed = m_fs.SetCurrentFolder(folder);
    std::optional<std::string> full =
        m_fs.FullPath(changed || !IsPlainRelative(name, sep) ? name : folder + name);
    if (full) {
        return std::move(*full);
    }
    return name;
}

bool LinkBatch::LinkFileEntry(const std::string& entry) {
    const std::string name =
        MakeFullLinkName(ComposeLinkName(m_strTarget, entry, m_fs.Separator()), entry);
    return HardLinkFile(entry, name);
}

void LinkBatch::LinkListedFile(const std::string& entry) {
    while (!LinkFileEntry(entry)) {  // a retry composes the name again
        if (!RetryAfterFailure(txt::kFileLinkError, entry, m_bSkipAllFiles)) {
            return;
        }
    }
    ++m_links;
    Notify(entry);
}

void LinkBatch::LinkFolderEntry(const std::string& entry) {
    const std::string name =
        MakeFullLinkName(ComposeLinkName(m_strTarget, entry, m_fs.Separator()), entry);
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
    ++m_folders;
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
        SetErrorText(code);
        if (!RetryAfterFailure(txt::kFolderReadError, m_source, m_bSkipAllFolders)) {
            return false;  // the folder and everything below it are passed over
        }
    }
}

bool LinkBatch::MakeMirrorFolder() {
    for (;;) {
        const ErrorCode code = m_fs.CreateFolder(m_link);
        if (code == err::kSuccess || code == err::kAlreadyExists) {
            const std::optional<FileId> linkId = m_fs.FolderIdentity(m_link);
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
        SetErrorText(code);
        if (!RetryAfterFailure(txt::kFolderError, m_link, m_bSkipAllFolders)) {
            return false;  // the folder and everything below it are passed over
        }
    }
}

void LinkBatch::MakeJunction(const std::string& link, const std::string& source) {
    while (!CreateJunction(link, source)) {
        if (!RetryAfterFailure(txt::kFolderLinkError, link, m_bSkipAllJunctions)) {
            return;
        }
    }
    ++m_links;
    Notify(source);
}

void LinkBatch::LinkMirroredFile(const std::string& source, const std::string& link) {
    while (!HardLinkFile(source, link)) {
        if (!RetryAfterFailure(txt::kFileLinkError, source, m_bSkipAllFiles)) {
            return;
        }
    }
    ++m_links;
    Notify(source);
}

// What the user wants done about a failed step: true to try it again. With the kind's
// Skip all already chosen the step is passed over without asking; Skip all chosen now sets
// it; Cancel abandons the batch; anything else passes the step over.
bool LinkBatch::RetryAfterFailure(TextId id, const std::string& name, bool& skipAll) {
    if (skipAll) {
        return false;
    }
    switch (Ask(id, name)) {
        case kPromptRetry:
            return true;
        case kPromptSkipAll:
            skipAll = true;
            return false;
        case kPromptCancel:
            Abandon();
        default:
            return false;
    }
}

bool LinkBatch::HardLinkFile(const std::string& source, const std::string& link) {
    const ErrorCode code = m_fs.CreateHardLink(link, source);
    if (code != err::kSuccess) {
        SetErrorText(code);
        return false;
    }
    return true;
}

bool LinkBatch::CreateJunction(const std::string& link, const std::string& source) {
    // Built and checked before anything touches the disk.
    const std::vector<std::uint8_t> data = BuildMountPointBuffer(MountPointSubstituteName(source));
    if (data.empty()) {
        SetErrorText(err::kFilenameExcedRange);
        return false;
    }
    // A junction to nothing would look made and lead nowhere: a source that is no folder
    // fails like any other junction, with the system's reason.
    if (!m_fs.FolderIdentity(source)) {
        SetErrorText(err::kPathNotFound);
        return false;
    }
    ErrorCode code = m_fs.CreateFolder(link);
    const bool created = code == err::kSuccess;
    if (!created && code != err::kAlreadyExists) {
        SetErrorText(code);
        return false;
    }
    code = m_fs.SetMountPoint(link, source, data);
    if (code != err::kSuccess) {
        SetErrorText(code);  // the failing call's text, taken before the clean-up
        if (created) {
            m_fs.RemoveFolder(link);  // only a folder this call made; never one that existed
        }
        return false;
    }
    return true;
}

void LinkBatch::SetErrorText(ErrorCode code) { m_strError = m_fs.ErrorText(code); }

int LinkBatch::Ask(TextId id, const std::string& name) {
    // A language text that does not fit the built-in conversions falls back to the built-in.
    std::string format = m_texts.Text(id);
    format += "\n%s";
    std::string builtin(BuiltinText(id));
    builtin += "\n%s";
    return m_prompt.Ask(
        SafeFormat(format, builtin, {std::string_view(name), std::string_view(m_strError)}));
}

void LinkBatch::Abandon() {
    m_bCancelled = true;
    throw BatchCancelled{};
}

void LinkBatch::Notify(std::string_view current) {
    if (m_observer == nullptr) {
        return;
    }
    if (!m_observer->OnProgress(BatchProgress{current, m_links, m_folders})) {
        Abandon();
    }
}

}  // namespace velmora
