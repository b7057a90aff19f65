#include "links/steps.h"

#include <vector>

#include "links/reparse.h"
#include "platform/path.h"

namespace velmora {

namespace {

// Makes `folder` the folder above it; false at the top (a root, "\\" or a name without a
// folder), where there is none.
bool ToParent(std::string& folder, char sep) {
    std::string parent(path::ParentPath(folder, sep));
    if (parent.empty() || parent == folder || path::IsRoot(folder, sep)) {
        return false;
    }
    folder = std::move(parent);
    return true;
}

}  // namespace

std::string DriveOf(const std::string& name, char sep) {
    const std::string_view root = sep == '\\' ? path::RootOf(name) : std::string_view();
    return root.empty() ? std::string(1, sep) : std::string(root);
}

StepResult OtherVolume(const std::string& source, const std::string& target, char sep) {
    StepResult result = Refused(txt::kHardLinkOtherVolume);
    result.arg1 = DriveOf(source, sep);
    result.arg2 = DriveOf(target, sep);
    if (result.arg1 == result.arg2) {
        result.arg1 = source;
        result.arg2 = target;
    }
    return result;
}

StepResult CheckMirrorPlace(IFileSystem& fs, const std::string& source, const std::string& link) {
    const std::optional<FileId> sourceId = fs.FolderIdentity(source);
    if (!sourceId) {
        return {};  // reading the source will say what is wrong with it
    }
    // The folders above the mirror folder as they really are: a target reached through a
    // junction or link lies where that leads, whatever its name says.
    const char sep = fs.Separator();
    bool real = false;
    std::string folder = link;
    for (;;) {
        if (!real) {
            if (std::optional<std::string> final = fs.FinalPath(folder)) {
                folder = std::move(*final);
                real = true;
            }
        }
        if (fs.FolderIdentity(folder) == sourceId) {
            return Refused(txt::kMirrorInSource);
        }
        if (!ToParent(folder, sep)) {
            return {};
        }
    }
}

// Hard links cannot leave their volume, nor be made on one that holds none (FAT32, exFAT):
// told before the first change, by the volume of the source's folder and that of the
// nearest existing folder on the way to the target folder. Where a volume cannot be told,
// the link calls will.
StepResult CheckHardLinkPlace(IFileSystem& fs, VolumeCache& volumes,
                              const std::string& sourceFolder, const std::string& targetFolder) {
    const std::optional<VolumeInfo> from = volumes.Near(fs, sourceFolder, 0);
    const std::optional<VolumeInfo> to = volumes.Near(fs, targetFolder, 1);
    if (!from || !to) {
        return {};
    }
    const char sep = fs.Separator();
    StepResult result;
    if (from->id != to->id) {
        result = OtherVolume(sourceFolder, targetFolder, sep);
    } else if (!to->holdsHardLinks) {
        result = Refused(txt::kNoHardLinksOnVolume);
        result.arg1 = DriveOf(targetFolder, sep);
    }
    return result;
}

// The volume of `folder`, or of the nearest folder above it that exists; remembered for the
// last folder asked in each of two slots (sources, targets), since a list's entries mostly
// share one folder and one target.
std::optional<VolumeInfo> VolumeCache::Near(IFileSystem& fs, const std::string& folder, int slot) {
    Memo& memo = m_memo[slot];
    if (memo.asked && memo.folder == folder) {
        return memo.volume;
    }
    const char sep = fs.Separator();
    memo.volume.reset();
    std::string at = folder;
    do {
        memo.volume = fs.VolumeOf(at);
    } while (!memo.volume && ToParent(at, sep));
    memo.folder = folder;
    memo.asked = true;
    return memo.volume;
}

StepResult WhenTaken(IFileSystem& fs, ErrorCode code, const std::string& name, EntryKind kind,
                     std::optional<EntryInfo>& there) {
    there.reset();
    if (code != err::kAlreadyExists) {
        return {code};
    }
    std::optional<EntryInfo> found = fs.Inspect(name);
    if (found && found->kind == kind) {
        there = found;
        return {};
    }
    return found && found->kind == EntryKind::ReparsePoint ? Refused(txt::kNameIsReparsePoint)
                                                           : StepResult{code};
}

// A name that is taken is looked at only once the system has said so, so a fresh batch pays
// nothing for it. The source's own file there (an earlier link, a batch made again) is the
// link asked for; a junction or symbolic link there is refused; anything else is the
// system's "already exists".
StepResult HardLinkFile(IFileSystem& fs, const std::string& source, const std::string& link) {
    std::optional<EntryInfo> there;
    StepResult result =
        WhenTaken(fs, fs.CreateHardLink(link, source), link, EntryKind::File, there);
    if (!there) {
        return result;
    }
    const std::optional<EntryInfo> file = fs.Inspect(source);
    return file && file->id == there->id ? InPlace() : StepResult{err::kAlreadyExists};
}

StepResult CreateJunction(IFileSystem& fs, const std::string& link, const std::string& source) {
    // A junction's target is "\??\" and a local folder's full name: a network folder (or a
    // device form) would give a junction that leads nowhere.
    if (fs.Separator() == '\\' && !path::HasDriveRoot(source)) {
        return Refused(txt::kJunctionNotLocal);
    }
    // Built and checked before anything touches the disk.
    const std::vector<std::uint8_t> data = BuildMountPointBuffer(MountPointSubstituteName(source));
    if (data.empty()) {
        return {err::kFilenameExcedRange};
    }
    // A junction to nothing would look made and lead nowhere: a source that is no folder
    // fails like any other junction, with the system's reason.
    const std::optional<FileId> sourceId = fs.FolderIdentity(source);
    if (!sourceId) {
        return {err::kPathNotFound};
    }
    ErrorCode code = fs.CreateFolder(link);
    const bool created = code == err::kSuccess;
    if (!created && code != err::kAlreadyExists) {
        return {code};
    }
    if (!created) {
        // Setting a mount point over a junction replaces it, and over the source folder
        // itself would make the source a junction to itself: both are refused. An empty
        // plain folder of that name is used.
        const std::optional<EntryInfo> there = fs.Inspect(link);
        if (there && there->kind == EntryKind::ReparsePoint) {
            // One that leads to this source already is the junction asked for.
            if (fs.FolderIdentity(link) == sourceId) {
                return InPlace();
            }
            return Refused(txt::kNameIsReparsePoint);
        }
        if (there && there->kind == EntryKind::Folder && there->id == *sourceId) {
            return Refused(txt::kLinkIsSource);
        }
    }
    code = fs.SetMountPoint(link, source, data);
    if (code != err::kSuccess && created) {
        fs.RemoveFolder(link);  // only a folder this call made; never one that existed
    }
    return {code};  // the failing call's own, not the clean-up's
}

// Whether a link's name, known to hold the entry's file, is the entry's own name: the same
// name in the same folder (another hard link of the file is not).
bool IsOwnName(IFileSystem& fs, const std::string& name, const std::string& entry) {
    const char sep = fs.Separator();
    if (!fs.SameName(std::string(path::FileName(name, sep)),
                     std::string(path::FileName(entry, sep)))) {
        return false;
    }
    const std::optional<FileId> folder =
        fs.FolderIdentity(std::string(path::ParentPath(name, sep)));
    return folder && folder == fs.FolderIdentity(std::string(path::ParentPath(entry, sep)));
}

}  // namespace velmora
