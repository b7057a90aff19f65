#include "links/batch.h"

#include <algorithm>

#include "links/reparse.h"
#include "platform/path.h"
#include "text/safe_format.h"

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
struct MirrorCrossesVolumes {};

// The message each kind of step names itself by in the prompt.
constexpr TextId kStepMessage[] = {txt::kFileLinkError, txt::kFolderLinkError, txt::kFolderError,
                                   txt::kFolderReadError};

// The drive (or share) a full name lies on, as the user knows it: "C:", "\\\\server\\share".
std::string DriveOf(const std::string& name, char sep) {
    const std::string_view root = sep == '\\' ? path::RootOf(name) : std::string_view();
    return root.empty() ? std::string(1, sep) : std::string(root);
}

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
    m_volumeMemo[0] = m_volumeMemo[1] = VolumeMemo{};
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
            if (!FullEntry(listed, StepKind::File, entry)) {
                continue;
            }
            if (const auto done =
                    Attempt(StepKind::File, entry, [&] { return LinkFileEntry(entry); })) {
                CountDone(*done, m_result.hardLinks);
                Notify(entry);
            }
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
std::optional<LinkBatch::StepResult> LinkBatch::Attempt(StepKind kind, const std::string& name,
                                                        Step&& step) {
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
    return Attempt(kind, given, [&] {
        NormalEntry normal = NormaliseEntry(m_fs, given);
        entry = std::move(normal.name);
        return StepResult{normal.code, normal.refusal};
    }).has_value();
}

// The file already at the name may be the entry itself rather than an earlier link of it:
// then the file would be its own link, which is refused. A retry composes the name again.
LinkBatch::StepResult LinkBatch::LinkFileEntry(const std::string& entry) {
    const std::string name =
        MakeFullLinkName(m_fs, ComposeLinkName(m_strTarget, entry, m_fs.Separator()), entry);
    const char sep = m_fs.Separator();
    const StepResult crossing = CheckHardLinkPlace(std::string(path::ParentPath(entry, sep)),
                                                   std::string(path::ParentPath(name, sep)));
    if (!crossing.Done()) {
        return crossing;
    }
    const StepResult result = HardLinkFile(entry, name);
    if (result.inPlace && IsOwnName(name, entry)) {
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
        const StepResult inside = CheckMirrorPlace(source, link);
        return inside.Done() ? CheckHardLinkPlace(source, link) : inside;
    };
    for (;;) {
        if (!Attempt(StepKind::Folder, link, checkPlace)) {
            return;
        }
        m_madeFolders.clear();
        try {
            WalkMirror(source, link, depth);
            return;
        } catch (const MirrorCrossesVolumes&) {
            // The folders this mirror made are empty but for what it linked before: those
            // that are empty go again, and the user is asked once for the whole mirror.
            for (auto made = m_madeFolders.rbegin(); made != m_madeFolders.rend(); ++made) {
                if (m_fs.RemoveFolder(*made) == err::kSuccess) {
                    --m_result.folders;
                }
            }
            StepResult crossing = Refused(txt::kHardLinkOtherVolume);
            crossing.arg1 = DriveOf(source, m_fs.Separator());
            crossing.arg2 = DriveOf(link, m_fs.Separator());
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

LinkBatch::StepResult LinkBatch::CheckMirrorPlace(const std::string& source,
                                                  const std::string& link) {
    const std::optional<FileId> sourceId = m_fs.FolderIdentity(source);
    if (!sourceId) {
        return {};  // reading the source will say what is wrong with it
    }
    // The folders above the mirror folder as they really are: a target reached through a
    // junction or link lies where that leads, whatever its name says.
    const char sep = m_fs.Separator();
    bool real = false;
    for (std::string folder = link; !folder.empty();
         folder = std::string(path::ParentPath(folder, sep))) {
        if (!real) {
            if (std::optional<std::string> final = m_fs.FinalPath(folder)) {
                folder = std::move(*final);
                real = true;
            }
        }
        if (m_fs.FolderIdentity(folder) == sourceId) {
            return Refused(txt::kMirrorInSource);
        }
        if (path::IsRoot(folder, sep)) {
            break;
        }
    }
    return {};
}

// Hard links cannot leave their volume, nor be made on one that holds none (FAT32, exFAT):
// told before the first change, by the volume of the source's folder and that of the
// nearest existing folder on the way to the target folder. Where a volume cannot be told,
// the link calls will.
LinkBatch::StepResult LinkBatch::CheckHardLinkPlace(const std::string& sourceFolder,
                                                    const std::string& targetFolder) {
    const std::optional<VolumeInfo> from = VolumeNear(sourceFolder, 0);
    const std::optional<VolumeInfo> to = VolumeNear(targetFolder, 1);
    if (!from || !to) {
        return {};
    }
    const char sep = m_fs.Separator();
    StepResult result;
    if (from->id != to->id) {
        result = Refused(txt::kHardLinkOtherVolume);
        result.arg1 = DriveOf(sourceFolder, sep);
        result.arg2 = DriveOf(targetFolder, sep);
    } else if (!to->holdsHardLinks) {
        result = Refused(txt::kNoHardLinksOnVolume);
        result.arg1 = DriveOf(targetFolder, sep);
    }
    return result;
}

// The volume of `folder`, or of the nearest folder above it that exists; remembered for the
// last folder asked in each of two slots (sources, targets), since a list's entries mostly
// share one folder and one target.
std::optional<VolumeInfo> LinkBatch::VolumeNear(const std::string& folder, int slot) {
    VolumeMemo& memo = m_volumeMemo[slot];
    if (memo.asked && memo.folder == folder) {
        return memo.volume;
    }
    const char sep = m_fs.Separator();
    memo.volume.reset();
    for (std::string at = folder; !at.empty(); at = std::string(path::ParentPath(at, sep))) {
        memo.volume = m_fs.VolumeOf(at);
        if (memo.volume || path::IsRoot(at, sep)) {
            break;
        }
    }
    memo.folder = folder;
    memo.asked = true;
    return memo.volume;
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
LinkBatch::StepResult LinkBatch::CreateMirrorFolder() {
    const ErrorCode code = m_fs.CreateFolder(m_link);
    if (code == err::kSuccess) {
        ++m_result.folders;
        m_madeFolders.push_back(m_link);
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
    if (const auto done =
            Attempt(StepKind::Junction, link, [&] { return CreateJunction(link, source); })) {
        CountDone(*done, m_result.junctions);
        Notify(source);
    }
}

void LinkBatch::LinkMirroredFile(const std::string& source, const std::string& link) {
    const auto step = [&] {
        const StepResult result = HardLinkFile(source, link);
        if (result.code == err::kNotSameDevice) {
            throw MirrorCrossesVolumes{};
        }
        return result;
    };
    if (const auto done = Attempt(StepKind::File, source, step)) {
        CountDone(*done, m_result.hardLinks);
        Notify(source);
    }
}

void LinkBatch::CountDone(const StepResult& result, std::uint64_t& made) {
    ++(result.inPlace ? m_result.alreadyInPlace : made);
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
    if (m_fs.Separator() == '\\' && !path::HasDriveRoot(source)) {
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
    if (!m_fs.SameName(std::string(path::FileName(name, sep)),
                       std::string(path::FileName(entry, sep)))) {
        return false;
    }
    const std::optional<FileId> folder = m_fs.FolderIdentity(std::string(path::ParentPath(name, sep)));
    return folder && folder == m_fs.FolderIdentity(std::string(path::ParentPath(entry, sep)));
}

PromptAnswer LinkBatch::Ask(StepKind kind, const std::string& name, const StepResult& result) {
    // A language text that does not fit the built-in conversions falls back to the built-in.
    const TextId id = kStepMessage[static_cast<std::size_t>(kind)];
    std::string format = m_texts.Text(id);
    format += "\n%s";
    std::string builtin(BuiltinText(id));
    builtin += "\n%s";
    std::string reason =
        result.refusal != 0 ? m_texts.Text(result.refusal) : m_fs.ErrorText(result.code);
    if (!result.arg1.empty()) {
        reason = SafeFormat(reason, BuiltinText(result.refusal),
                            {std::string_view(result.arg1), std::string_view(result.arg2)});
    }
    return m_prompt.Ask(
        SafeFormat(format, builtin, {std::string_view(name), std::string_view(reason)}));
}

void LinkBatch::Notify(std::string_view current) {
    if (m_observer == nullptr) {
        return;
    }
    const std::uint64_t links = m_result.hardLinks + m_result.junctions;
    if (!m_observer->OnProgress(BatchProgress{current, links, m_foldersEntered})) {
        throw BatchCancelled{};
    }
}

}  // namespace velmora
