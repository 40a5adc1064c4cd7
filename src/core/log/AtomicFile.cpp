#include "log/AtomicFile.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <memory>
#include <new>
#include <system_error>
#include <utility>
#include <vector>

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

namespace pq {

namespace {

// Short and fixed, so that it fits in any folder whatever the target's name; hidden, and unlike any log's name.
constexpr std::string_view TempPrefix = ".pacequill-save-";
constexpr std::string_view TempUniquePart = "XXXXXX";
constexpr int TempAttempts = 8;
constexpr int MaxLinkHops = 40; // the system's own limit for a path
constexpr mode_t NewFileMode = 0666;
constexpr mode_t PermissionBits = 07777;
constexpr mode_t WriteBits = 0222;
constexpr std::size_t CopyBlock = std::size_t{1} << 20;
constexpr std::string_view NotRegularFile = "not a regular file";

bool WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

mode_t CurrentUmask() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return mask;
}

// Follows symbolic links to the file they name, which may not exist yet: 0, or the error that stopped it (ELOOP
// for a loop).
int ResolveLinks(const std::string &path, std::string &target) {
    namespace fs = std::filesystem;
    target = path;
    for (int hops = 0;; ++hops) {
        struct stat info {};
        if (::lstat(target.c_str(), &info) != 0) {
            return errno == ENOENT ? 0 : errno;
        }
        if (!S_ISLNK(info.st_mode)) {
            return 0;
        }
        if (hops == MaxLinkHops) {
            return ELOOP;
        }
        std::error_code error;
        const fs::path link = fs::read_symlink(target, error);
        if (error) {
            return error.value();
        }
        target = link.is_absolute() ? link.string() : (fs::path(target).parent_path() / link).string();
    }
}

std::string FolderOf(const std::string &path) {
    const std::string folder = std::filesystem::path(path).parent_path().string();
    return folder.empty() ? std::string(".") : folder;
}

void SyncFolder(const std::string &folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        // The file itself is already safely in place; a folder that cannot be synced is no failure of the save.
        ::fsync(fd);
        ::close(fd);
    }
}

// Takes the room for the bytes before any of the old ones are overwritten, so that a full disk stops the write
// before it starts. File systems without the call are written without it.
int ReserveRoom(int fd, std::size_t size) {
    if (size == 0 || ::fallocate(fd, FALLOC_FL_KEEP_SIZE, 0, static_cast<off_t>(size)) == 0) {
        return 0;
    }
    return errno == EOPNOTSUPP || errno == ENOSYS ? 0 : errno;
}

// Removes the temporary files that killed saves left in the folder: files of this user named by the pattern that
// no running save holds locked.
void RemoveLeftovers(const std::string &folder) {
    DIR *dir = ::opendir(folder.c_str());
    if (dir == nullptr) {
        return;
    }
    const int dirFd = ::dirfd(dir);
    while (const dirent *entry = ::readdir(dir)) {
        if (!AtomicFile::IsTemporaryName(entry->d_name)) {
            continue;
        }
        const int fd = ::openat(dirFd, entry->d_name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) {
            continue;
        }
        struct stat opened {};
        struct stat named {};
        if (::fstat(fd, &opened) == 0 && S_ISREG(opened.st_mode) && opened.st_uid == ::geteuid() &&
            ::flock(fd, LOCK_EX | LOCK_NB) == 0 && ::fstatat(dirFd, entry->d_name, &named, AT_SYMLINK_NOFOLLOW) == 0 &&
            named.st_dev == opened.st_dev && named.st_ino == opened.st_ino) {
            ::unlinkat(dirFd, entry->d_name, 0);
        }
        ::close(fd);
    }
    ::closedir(dir);
}

} // namespace

AtomicFile::AtomicFile(std::string path) : Path(std::move(path)) {}

AtomicFile::~AtomicFile() {
    RemoveTemporary();
}

bool AtomicFile::IsTemporaryName(std::string_view name) {
    return name.size() == TempPrefix.size() + TempUniquePart.size() && name.starts_with(TempPrefix) &&
           std::all_of(name.begin() + static_cast<std::ptrdiff_t>(TempPrefix.size()), name.end(), [](char c) {
               return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
           });
}

std::string AtomicFile::TargetFolder(const std::string &path) {
    std::string target;
    return FolderOf(ResolveLinks(path, target) == 0 ? target : path);
}

bool AtomicFile::Fail(int error) {
    return FailWith(std::string(std::strerror(error)));
}

bool AtomicFile::FailWith(const std::string &cause) {
    const std::string name = Target.empty() || Target == Path ? Path : Path + " (a link to " + Target + ")";
    return Refuse(name + ": " + cause);
}

bool AtomicFile::Refuse(std::string message) {
    if (!Failed) {
        Failed = true;
        Failure = std::move(message);
        RemoveTemporary();
    }
    return false;
}

// The save needed a new file in the folder and the folder refused it: the folder is the cause, not the log.
bool AtomicFile::FailInFolder() {
    return Refuse("folder " + Folder + ": " + std::strerror(TempError));
}

bool AtomicFile::Open() {
    if (const int error = ResolveLinks(Path, Target); error != 0) {
        return Fail(error);
    }
    Folder = FolderOf(Target);
    struct stat existing {};
    Exists = ::stat(Target.c_str(), &existing) == 0;
    if (Exists) {
        // Renaming over a directory or a device would replace it rather than write into it.
        if (S_ISDIR(existing.st_mode)) {
            return Fail(EISDIR);
        }
        if (!S_ISREG(existing.st_mode)) {
            return FailWith(std::string(NotRegularFile));
        }
        // A file without any write permission is read-only even to a user whom the system would let write it.
        if ((existing.st_mode & WriteBits) == 0 ||
            (::faccessat(AT_FDCWD, Target.c_str(), W_OK, AT_EACCESS) != 0 && errno == EACCES)) {
            return Refuse(Path + " is read-only");
        }
        OwnerId = existing.st_uid;
        GroupId = existing.st_gid;
        Mode = existing.st_mode & PermissionBits;
        // A new name would leave the other links with the old bytes.
        InPlace = existing.st_nlink > 1;
    } else {
        Mode = NewFileMode & ~CurrentUmask();
    }
    RemoveLeftovers(Folder);
    if (!CreateTemporary()) {
        if (Exists) {
            // The folder takes no new file: the bytes wait in memory and then go straight into the file.
            return true;
        }
        return TempError == EACCES || TempError == EPERM ? FailInFolder() : Fail(TempError);
    }
    if (Exists) {
        CopyAttributes();
    } else if (::fchmod(TempFd, Mode) != 0) {
        return Fail(errno);
    }
    return true;
}

// A lock on the temporary file tells the cleaners of other saves that it is in use. A cleaner may remove a file
// between its creation and its lock; then the next name is tried.
bool AtomicFile::CreateTemporary() {
    for (int attempt = 0; attempt < TempAttempts; ++attempt) {
        std::string name = Folder + '/' + std::string(TempPrefix) + std::string(TempUniquePart);
        const int fd = ::mkostemp(name.data(), O_CLOEXEC);
        if (fd < 0) {
            TempError = errno;
            return false;
        }
        struct stat info {};
        const bool locked = ::flock(fd, LOCK_EX | LOCK_NB) == 0 || errno != EWOULDBLOCK;
        if (locked && ::fstat(fd, &info) == 0 && info.st_nlink > 0) {
            TempFd = fd;
            TempPath = std::move(name);
            return true;
        }
        ::close(fd);
    }
    TempError = EEXIST;
    return false;
}

// Gives the temporary file the target's owner, group, mode and extended attributes. Whatever cannot be given
// makes the save copy the bytes over the target in place, which keeps them all.
void AtomicFile::CopyAttributes() {
    if (::fchown(TempFd, OwnerId, GroupId) != 0) {
        ::fchown(TempFd, static_cast<uid_t>(-1), GroupId);
    }
    if (::fchmod(TempFd, Mode) != 0) {
        InPlace = true;
    }
    const ssize_t listSize = ::listxattr(Target.c_str(), nullptr, 0);
    if (listSize > 0) {
        std::vector<char> names(static_cast<std::size_t>(listSize));
        const ssize_t got = ::listxattr(Target.c_str(), names.data(), names.size());
        std::vector<char> value;
        for (std::size_t pos = 0; got > 0 && pos < static_cast<std::size_t>(got);
             pos += std::strlen(names.data() + pos) + 1) {
            const char *name = names.data() + pos;
            const ssize_t valueSize = ::getxattr(Target.c_str(), name, nullptr, 0);
            value.resize(static_cast<std::size_t>(std::max<ssize_t>(valueSize, 0)));
            const ssize_t read = valueSize < 0 ? -1 : ::getxattr(Target.c_str(), name, value.data(), value.size());
            if (read < 0 || ::fsetxattr(TempFd, name, value.data(), static_cast<std::size_t>(read), 0) != 0) {
                InPlace = true;
            }
        }
        InPlace = InPlace || got < 0;
    } else if (listSize < 0 && errno != ENOTSUP) {
        InPlace = true;
    }
    struct stat made {};
    if (::fstat(TempFd, &made) != 0 || made.st_uid != OwnerId || made.st_gid != GroupId ||
        (made.st_mode & PermissionBits) != Mode) {
        InPlace = true;
    }
}

bool AtomicFile::Write(std::string_view bytes) {
    if (Failed) {
        return false;
    }
    if (TempFd < 0) {
        try {
            Pending.append(bytes);
        } catch (const std::bad_alloc &) {
            return Fail(ENOMEM);
        }
        return true;
    }
    return WriteAll(TempFd, bytes) || Fail(errno);
}

bool AtomicFile::Commit() {
    if (Failed) {
        return false;
    }
    if (TempFd < 0) {
        return WriteDirectly();
    }
    if (::fsync(TempFd) != 0) {
        return Fail(errno);
    }
    if (InPlace) {
        return CopyInPlace();
    }
    // Renamed while still open and locked, so that no cleaner takes it first; its bytes are synced already.
    if (::rename(TempPath.c_str(), Target.c_str()) != 0) {
        return Fail(errno);
    }
    TempPath.clear();
    ::close(std::exchange(TempFd, -1));
    SyncFolder(Folder);
    return true;
}

// The synced temporary file is copied over the target, which is then cut to the new length and synced.
bool AtomicFile::CopyInPlace() {
    const int fd = ::open(Target.c_str(), O_WRONLY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) {
        return Fail(errno);
    }
    const off_t size = ::lseek(TempFd, 0, SEEK_END);
    int failure = size < 0 ? errno : ReserveRoom(fd, static_cast<std::size_t>(size));
    try {
        const auto block = std::make_unique_for_overwrite<char[]>(CopyBlock);
        for (off_t offset = 0; failure == 0 && offset < size;) {
            const ssize_t got = ::pread(TempFd, block.get(), CopyBlock, offset);
            if (got <= 0) {
                failure = got == 0 ? EIO : errno;
            } else if (WriteAll(fd, std::string_view(block.get(), static_cast<std::size_t>(got)))) {
                offset += got;
            } else {
                failure = errno;
            }
        }
    } catch (const std::bad_alloc &) {
        failure = ENOMEM;
    }
    if (failure == 0 && (::ftruncate(fd, size) != 0 || ::fsync(fd) != 0)) {
        failure = errno;
    }
    if (::close(fd) != 0 && failure == 0) {
        failure = errno;
    }
    if (failure != 0) {
        return Fail(failure);
    }
    RemoveTemporary();
    return true;
}

// Without a temporary file the bytes go straight over the target, once room for them is taken.
bool AtomicFile::WriteDirectly() {
    const int fd = ::open(Target.c_str(), O_WRONLY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) {
        return TempError == EACCES || TempError == EPERM ? FailInFolder() : Fail(errno);
    }
    int failure = ReserveRoom(fd, Pending.size());
    if (failure == 0 &&
        (!WriteAll(fd, Pending) || ::ftruncate(fd, static_cast<off_t>(Pending.size())) != 0 || ::fsync(fd) != 0)) {
        failure = errno;
    }
    if (::close(fd) != 0 && failure == 0) {
        failure = errno;
    }
    return failure == 0 || Fail(failure);
}

void AtomicFile::RemoveTemporary() {
    if (TempFd >= 0) {
        ::close(std::exchange(TempFd, -1));
    }
    if (!TempPath.empty()) {
        ::unlink(TempPath.c_str());
        TempPath.clear();
    }
}

} // namespace pq
