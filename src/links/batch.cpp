#include "links/batch.h"

#include <algorithm>

#include "platform/path.h"

namespace velmora {

namespace {

// Thrown by Cancel (in a prompt, or from the observer) and caught only by Run(): it unwinds
// every level of the walk at once, leaving everything made so far in place.
struct BatchCancelled {};

// Thrown when the prompt answers with a value that is none of its answers; the batch then
// ends as failed.
struct InvalidAnswer {};

// Thrown inside a mirror walk when the system answers "not same device": the files cannot
// follow into the target, which only the first link could tell. Caught by LinkFolder.
struct MirrorCrossesVolumes {
    std::string source;  // the file that could not be linked, and its link
    std::string link;
};

// The message each kind of step names itself by in the prompt.
constexpr TextId kStepMessage[] = {txt::kFileLinkError, txt::kFolderLinkError, txt::kFolderError,
                                   txt::kFolderReadError};

}  // namespace

LinkBatch::LinkBatch(IFileSystem& fs, IPrompt& prompt, IMessages& messages,
                     const TextCatalog& texts, IBatchObserver* observer)
    : m_fs(fs), m_prompt(prompt), m_messages(messages), m_texts(texts), m_observer(observer) {}

BatchResult LinkBatch::Run(const std::vector<std::string>& entries, const std::string& target,
                           int depth) {
    m_result = BatchResult{};
    std::fill(std::begin(m_bSkipAll), std::end(m_bSkipAll), false);
    m_mirrorIds.clear();
    m_foldersEntered = 0;
    m_volumes = VolumeCache{};
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
        // A folder entry ends with a separator ('/' as well as '\\' on Windows).
        if (listed.empty() || !path::IsSeparator(listed.back(), sep)) {
            if (FullEntry(listed, StepKind::File, entry)) {
                if (const auto done =
                        Attempt(StepKind::File, entry, [&] { return LinkFileEntry(entry); })) {
                    CountDone(*done, m_result.hardLinks);
                }
            }
            ++m_filesHandled;  // linked, in place or skipped
            Notify(listed);
            continue;
        }
        const StepKind kind = m_nDepth == 0 ? StepKind::Junction : StepKind::Folder;
        if (FullEntry(listed, kind, entry)) {
            const std::string name =
                MakeFullLinkName(m_fs, ComposeLinkName(m_strTarget, entry, sep), entry);
            LinkFolder(entry, name, m_nDepth);
        }
    }
}

// One step through the retry policy: `step` is made until it is done or the user passes it
// over. The done step's result, or nullopt when it was passed over.
template <class Step>
std::optional<StepResult> LinkBatch::Attempt(StepKind kind, const std::string& name, Step&& step) {
    for (;;) {
        const StepResult result = step();
        if (result.Done()) {
            return result;
        }
        if (!RetryAfterFailure(kind, name, result)) {
            return std::nullopt;
        }
    }
}

// What the user wants done about a failed step: true to try it again. With the kind's
// Skip all already chosen the step is passed over without asking; Skip all chosen now sets
// it; Cancel abandons the batch. An answer the prompt cannot give is a failure of the
// prompt, never taken for Skip.
bool LinkBatch::RetryAfterFailure(StepKind kind, const std::string& name,
                                  const StepResult& result) {
    bool& skipAll = m_bSkipAll[static_cast<std::size_t>(kind)];
    if (!skipAll) {
        switch (Ask(kind, name, result)) {
            case PromptAnswer::Retry:
                return true;
            case PromptAnswer::Skip:
                break;
            case PromptAnswer::SkipAll:
                skipAll = true;
                break;
            case PromptAnswer::Cancel:
                throw BatchCancelled{};
            default:
                throw InvalidAnswer{};
        }
    }
    ++m_result.skipped;
    if (m_result.skippedNames.size() < kSkippedNamesKept) {
        m_result.skippedNames.push_back(name);
    }
    return false;
}

// Every entry is made a full, normal name before it is used, and an entry that names no
// definite file or folder is refused through the prompt of its kind. False when the entry
// is passed over.
bool LinkBatch::FullEntry(const std::string& given, StepKind kind, std::string& entry) {
    return Attempt(kind, given,
                   [&] {
                       NormalEntry normal = NormaliseEntry(m_fs, given);
                       entry = std::move(normal.name);
                       return StepResult{normal.code, normal.refusal};
                   })
        .has_value();
}

// The file already at the name may be the entry itself rather than an earlier link of it:
// then the file would be its own link, which is refused. A retry composes the name again.
StepResult LinkBatch::LinkFileEntry(const std::string& entry) {
    const std::string name =
        MakeFullLinkName(m_fs, ComposeLinkName(m_strTarget, entry, m_fs.Separator()), entry);
    const char sep = m_fs.Separator();
    StepResult crossing =
        CheckHardLinkPlace(m_fs, m_volumes, std::string(path::ParentPath(entry, sep)),
                           std::string(path::ParentPath(name, sep)));
    if (!crossing.Done()) {
        return crossing;
    }
    StepResult result = HardLinkFile(m_fs, entry, name);
    if (result.inPlace && IsOwnName(m_fs, name, entry)) {
        return Refused(txt::kLinkIsSource);
    }
    return result;
}

// The mirror walk keeps its own stack of levels instead of recursing, so the depth of the
// tree costs heap, not machine stack; a level's entries are read in one go, so no search
// handle stays open while the walk is below it.
void LinkBatch::LinkFolder(const std::string& source, const std::string& link, int depth) {
    if (depth == 0) {
        MakeJunction(link, source);
        return;
    }
    // A mirror folder that is its own source folder, or lies inside it, would take in its
    // own links again and again; files that cannot be hard-linked into the target would
    // leave an empty tree. Both are refused before anything is made. (Below the first level
    // the walk's guards pass such folders over: a mirror folder is never entered as a source.)
    const auto checkPlace = [&] {
        const StepResult inside = CheckMirrorPlace(m_fs, source, link);
        return inside.Done() ? CheckHardLinkPlace(m_fs, m_volumes, source, link) : inside;
    };
    for (;;) {
        if (!Attempt(StepKind::Folder, link, checkPlace)) {
            return;
        }
        m_madeFolders.clear();
        try {
            WalkMirror(source, link, depth);
            return;
        } catch (const MirrorCrossesVolumes& crossed) {
            // The folders this mirror made are empty but for what it linked before: those
            // that are empty go again, and the user is asked once for the whole mirror.
            // (A removed folder's identity may be given to a new one: it is forgotten too.)
            for (auto made = m_madeFolders.rbegin(); made != m_madeFolders.rend(); ++made) {
                if (m_fs.RemoveFolder(made->first) == err::kSuccess) {
                    --m_result.folders;
                    if (made->second) {
                        m_mirrorIds.erase(*made->second);
                    }
                }
            }
            // The file's real place: a junction in the source may lead to another drive.
            const char sep = m_fs.Separator();
            const std::string from = m_fs.FinalPath(crossed.source).value_or(crossed.source);
            const StepResult crossing =
                OtherVolume(std::string(path::ParentPath(from, sep)),
                            std::string(path::ParentPath(crossed.link, sep)), sep);
            if (!RetryAfterFailure(StepKind::Folder, link, crossing)) {
                return;
            }
        }
    }
}

void LinkBatch::WalkMirror(const std::string& source, const std::string& link, int depth) {
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
    std::vector<FoundEntry>& entries = m_levels[m_levelCount].entries;
    if (!Attempt(StepKind::FolderRead, m_source,
                 [&] { return StepResult{m_fs.ListFolder(m_source, entries)}; }) ||
        !Attempt(StepKind::Folder, m_link, [&] { return CreateMirrorFolder(); })) {
        return false;  // the folder and everything below it are passed over
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

// A plain folder that has the name already is used as it is. A junction or symbolic link
// there is never written through (the links would land in whatever it leads to), and a file
// there is one folder failure rather than one failure for every link below it.
StepResult LinkBatch::CreateMirrorFolder() {
    const ErrorCode code = m_fs.CreateFolder(m_link);
    if (code == err::kSuccess) {
        ++m_result.folders;
        const std::optional<FileId> id = m_fs.FolderIdentity(m_link);
        if (id) {
            m_mirrorIds.insert(*id);
        }
        m_madeFolders.emplace_back(m_link, id);
        return {};
    }
    std::optional<EntryInfo> there;
    StepResult result = WhenTaken(m_fs, code, m_link, EntryKind::Folder, there);
    if (there) {
        m_mirrorIds.insert(there->id);
    }
    return result;
}

void LinkBatch::MakeJunction(const std::string& link, const std::string& source) {
    if (const auto done =
            Attempt(StepKind::Junction, link, [&] { return CreateJunction(m_fs, link, source); })) {
        CountDone(*done, m_result.junctions);
        Notify(source);
    }
}

void LinkBatch::LinkMirroredFile(const std::string& source, const std::string& link) {
    const auto step = [&] {
        StepResult result = HardLinkFile(m_fs, source, link);
        if (result.code == err::kNotSameDevice) {
            throw MirrorCrossesVolumes{source, link};
        }
        return result;
    };
    if (const auto done = Attempt(StepKind::File, source, step)) {
        CountDone(*done, m_result.hardLinks);
    }
    ++m_filesHandled;  // linked, in place or skipped
    Notify(source);
}

void LinkBatch::CountDone(const StepResult& result, std::uint64_t& made) {
    ++(result.inPlace ? m_result.alreadyInPlace : made);
}

PromptAnswer LinkBatch::Ask(StepKind kind, const std::string& name, const StepResult& result) {
    std::string reason;
    if (result.refusal == 0) {
        reason = m_fs.ErrorText(result.code);
    } else if (!result.arg2.empty()) {
        reason = m_texts.Format(result.refusal, result.arg1, result.arg2);
    } else if (!result.arg1.empty()) {
        reason = m_texts.Format(result.refusal, result.arg1);
    } else {
        reason = m_texts.Text(result.refusal);
    }
    return m_prompt.Ask(
        m_texts.FormatWithLastLine(kStepMessage[static_cast<std::size_t>(kind)], name, reason));
}

void LinkBatch::Notify(std::string_view current) {
    if (m_observer == nullptr) {
        return;
    }
    const std::uint64_t links = m_result.hardLinks + m_result.junctions;
    if (!m_observer->OnProgress(BatchProgress{current, links, m_foldersEntered, m_filesHandled})) {
        throw BatchCancelled{};
    }
}

}  // namespace velmora
