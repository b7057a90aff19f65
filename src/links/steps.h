// The single steps of a link batch: each asks the file system, changes at most what its
// name says, and tells how it ended, without asking the user; the batch runs them through
// its retry policy. Portable.
#pragma once

#include <optional>
#include <string>

#include "platform/filesystem.h"
#include "text/texts.h"

namespace velmora {

// How a step ended: done, failed with the failing call's own error code, or refused by the
// batch itself, with the string number of its reason.
struct StepResult {
    StepResult(ErrorCode failed = err::kSuccess, TextId reason = 0, bool there = false)
        : code(failed), refusal(reason), inPlace(there) {}
    ErrorCode code = err::kSuccess;
    TextId refusal = 0;
    bool inPlace = false;    // done without making anything: it was there already
    std::string arg1, arg2;  // what the refusal's text names (drives), when it names any
    bool Done() const { return code == err::kSuccess && refusal == 0; }
};
inline StepResult Refused(TextId reason) { return {err::kSuccess, reason}; }
inline StepResult InPlace() { return {err::kSuccess, 0, true}; }

// The drive (or share) a full name lies on, as the user knows it: "C:", "\\server\share".
std::string DriveOf(const std::string& name, char sep);

// Refused (116) naming the drives of `source` and `target`; their folders where the drives'
// names agree (two file systems under one letter: a volume mounted in a folder).
StepResult OtherVolume(const std::string& source, const std::string& target, char sep);

// The volume of a folder, or of the nearest folder above it that exists; remembered for the
// last folder asked in each of two slots (0: sources, 1: targets), since a list's entries
// mostly share one folder and one target.
class VolumeCache {
public:
    std::optional<VolumeInfo> Near(IFileSystem& fs, const std::string& folder, int slot);

private:
    struct Memo {
        bool asked = false;
        std::string folder;
        std::optional<VolumeInfo> volume;
    };
    Memo m_memo[2];
};

// Refused (113) when the mirror folder `link` is the source folder or lies inside it, by
// name or through a junction or link on the way.
StepResult CheckMirrorPlace(IFileSystem& fs, const std::string& source, const std::string& link);

// Refused (116, 117) when files of `sourceFolder` cannot be hard-linked into `targetFolder`.
StepResult CheckHardLinkPlace(IFileSystem& fs, VolumeCache& volumes,
                              const std::string& sourceFolder, const std::string& targetFolder);

// How a step that made `name` ends after the system answered `code`. When the name is taken
// ("already exists") by a plain entry of `kind`, that entry is in `there` and the result is
// done; a junction or symbolic link there is refused (never written through); anything else
// is the system's answer.
StepResult WhenTaken(IFileSystem& fs, ErrorCode code, const std::string& name, EntryKind kind,
                     std::optional<EntryInfo>& there);

// A hard link `link` for `source`; in place when the name holds the source's file already.
StepResult HardLinkFile(IFileSystem& fs, const std::string& source, const std::string& link);

// A junction `link` to the folder `source`; removes only a folder it made itself.
StepResult CreateJunction(IFileSystem& fs, const std::string& link, const std::string& source);

// Whether a link's name, known to hold the entry's file, is the entry's own name.
bool IsOwnName(IFileSystem& fs, const std::string& name, const std::string& entry);

}  // namespace velmora
