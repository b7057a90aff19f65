#include "platform/posix/posix_fs.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace velmora {

namespace {

struct ErrnoPair {
    int error;
    ErrorCode code;
};

// First match wins in both directions, so the preferred errno of a code comes first.
constexpr ErrnoPair kErrnoMap[] = {
    {ENOENT, err::kFileNotFound},  {ENOTDIR, err::kPathNotFound},
    {EACCES, err::kAccessDenied},  {EPERM, err::kAccessDenied},
    {EXDEV, err::kNotSameDevice},  {EOPNOTSUPP, err::kNotSupported},
    {EEXIST, err::kAlreadyExists}, {ENOSPC, err::kDiskFull},
    {EDQUOT, err::kDiskFull},      {ENAMETOOLONG, err::kFilenameExcedRange},
    {EMLINK, err::kTooManyLinks},  {ENOTEMPTY, err::kDirNotEmpty},
};

ErrorCode LastError() { return ErrorFromErrno(errno); }

bool IsDots(const char* name) {
    return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

}  // namespace

ErrorCode ErrorFromErrno(int error) {
    for (const ErrnoPair& pair : kErrnoMap) {
        if (pair.error == error) {
            return pair.code;
        }
    }
    return err::kPosixErrorBase | static_cast<ErrorCode>(error);
}

int ErrnoFromError(ErrorCode code) {
    if ((code & err::kPosixErrorBase) != 0) {
        return static_cast<int>(code & ~err::kPosixErrorBase);
    }
    for (const ErrnoPair& pair : kErrnoMap) {
        if (pair.code == code) {
            return pair.error;
        }
    }
    return 0;
}

ErrorCode PosixFileSystem::CreateHardLink(const std::string& link, const std::string& existing) {
    return ::link(existing.c_str(), link.c_str()) == 0 ? err::kSuccess : LastError();
}

ErrorCode PosixFileSystem::CreateFolder(const std::string& path) {
    return ::mkdir(path.c_str(), 0777) == 0 ? err::kSuccess : LastError();
}

ErrorCode PosixFileSystem::RemoveFolder(const std::string& path) {
    return ::rmdir(path.c_str()) == 0 ? err::kSuccess : LastError();
}

// A folder cannot become a symlink in place: the empty folder goes and the link takes its
// name. Should the link fail, the folder is put back, so a folder that existed before the
// call still exists after it.
ErrorCode PosixFileSystem::SetMountPoint(const std::string& folder, const std::string& source,
                                         const std::vector<std::uint8_t>& /*reparseData*/) {
    struct stat before {};
    if (::lstat(folder.c_str(), &before) != 0) {
        return LastError();
    }
    if (!S_ISDIR(before.st_mode)) {
        return err::kAccessDenied;  // only a real, empty folder becomes a junction
    }
    if (::rmdir(folder.c_str()) != 0) {
        return LastError();
    }
    if (::symlink(source.c_str(), folder.c_str()) != 0) {
        const ErrorCode code = LastError();
        ::mkdir(folder.c_str(), before.st_mode & 07777);
        return code;
    }
    return err::kSuccess;
}

bool PosixFileSystem::SetCurrentFolder(const std::string& path) {
    return !path.empty() && ::chdir(path.c_str()) == 0;
}

std::optional<std::string> PosixFileSystem::FullPath(const std::string& name) {
    if (name.empty()) {
        return std::nullopt;
    }
    std::string joined;
    if (name.front() != '/') {
        std::string cwd(256, '\0');
        while (::getcwd(cwd.data(), cwd.size()) == nullptr) {
            if (errno != ERANGE) {
                return std::nullopt;
            }
            cwd.resize(cwd.size() * 2);
        }
        cwd.resize(std::strlen(cwd.c_str()));
        joined = std::move(cwd);
        joined += '/';
    }
    joined += name;

    std::string result;
    result.reserve(joined.size());
    std::size_t start = 0;
    while (start < joined.size()) {
        std::size_t end = joined.find('/', start);
        if (end == std::string::npos) {
            end = joined.size();
        }
        const std::string_view part(joined.data() + start, end - start);
        if (part == "..") {
            const std::size_t cut = result.rfind('/');
            result.resize(cut == std::string::npos ? 0 : cut);
        } else if (!part.empty() && part != ".") {
            result += '/';
            result += part;
        }
        start = end + 1;
    }
    // Dots and blanks at the end of the last element go, as with Windows' full-path rules.
    const std::size_t lastStart = result.rfind('/') + 1;
    std::size_t keep = result.size();
    while (keep > lastStart && (result[keep - 1] == '.' || result[keep - 1] == ' ')) {
        --keep;
    }
    result.resize(keep == lastStart && lastStart > 0 ? lastStart - 1 : keep);
    if (result.empty()) {
        result = "/";
    }
    return result;
}

ErrorCode PosixFileSystem::ListFolder(const std::string& folder, std::vector<FoundEntry>& out) {
    std::size_t count = 0;
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr) {
        const int error = errno;
        out.clear();
        return ErrorFromErrno(error);
    }
    std::string path;  // only for entries whose type readdir does not tell
    for (;;) {
        errno = 0;
        const dirent* entry = ::readdir(dir);
        if (entry == nullptr) {
            break;
        }
        if (IsDots(entry->d_name)) {
            continue;
        }
        bool isFolder = entry->d_type == DT_DIR;
        if (entry->d_type == DT_LNK || entry->d_type == DT_UNKNOWN) {
            // A symlink to a folder counts as a folder, as a junction does on Windows.
            path.assign(folder).append("/").append(entry->d_name);
            struct stat info {};
            isFolder = ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
        }
        // Earlier elements are overwritten in place, so their names' storage is reused.
        if (count < out.size()) {
            out[count].name.assign(entry->d_name);
            out[count].isFolder = isFolder;
        } else {
            out.push_back(FoundEntry{entry->d_name, isFolder});
        }
        ++count;
    }
    const int error = errno;  // readdir's own: 0 at the end of the folder
    ::closedir(dir);
    if (error != 0) {
        out.clear();
        return ErrorFromErrno(error);
    }
    out.resize(count);
    return err::kSuccess;
}

std::optional<FileId> PosixFileSystem::FolderIdentity(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) {
        return std::nullopt;
    }
    return FileId{static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino)};
}

std::optional<EntryInfo> PosixFileSystem::Inspect(const std::string& path) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0) {
        return std::nullopt;
    }
    const EntryKind kind = S_ISLNK(info.st_mode)   ? EntryKind::ReparsePoint
                           : S_ISDIR(info.st_mode) ? EntryKind::Folder
                                                   : EntryKind::File;
    return EntryInfo{kind, FileId{static_cast<std::uint64_t>(info.st_dev),
                                  static_cast<std::uint64_t>(info.st_ino)}};
}

std::optional<std::string> PosixFileSystem::FinalPath(const std::string& path) {
    char* resolved = ::realpath(path.c_str(), nullptr);
    if (resolved == nullptr) {
        return std::nullopt;
    }
    std::string result(resolved);
    std::free(resolved);
    return result;
}

std::optional<VolumeInfo> PosixFileSystem::VolumeOf(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) {
        return std::nullopt;
    }
    return VolumeInfo{static_cast<std::uint64_t>(info.st_dev), true};
}

std::string PosixFileSystem::ErrorText(ErrorCode code) {
    const int error = ErrnoFromError(code);
    if (error == 0) {
        return {};
    }
    std::string text = std::strerror(error);
    text += "\r\n";
    return text;
}

}  // namespace velmora
