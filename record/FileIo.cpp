#include "record/FileIo.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace valdrin {

namespace {

std::string reason(int code) { return std::strerror(code); }

std::string folderOf(const std::string& path)
{
    const auto slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string baseNameOf(const std::string& path)
{
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The process's file creation mask, read without changing it (umask() would).
mode_t currentUmask()
{
    FILE* status = std::fopen("/proc/self/status", "re");
    mode_t mask = 022;
    if (!status)
        return mask;
    char line[256];
    while (std::fgets(line, sizeof line, status)) {
        if (std::strncmp(line, "Umask:", 6) == 0) {
            mask = static_cast<mode_t>(std::strtoul(line + 6, nullptr, 8));
            break;
        }
    }
    std::fclose(status);
    return mask;
}

// The file a name stands for: symbolic links followed one by one (a relative link
// from the folder it lies in) to the first name that is no link, which may not exist
// yet. Saving there keeps the links and writes the file they name.
bool followLinks(const std::string& name, std::string& file, std::string& error)
{
    constexpr int kMaxLinks = 40;  // the system's own bound on a chain of links
    file = name;
    for (int links = 0;; ++links) {
        struct stat info {};
        if (::lstat(file.c_str(), &info) != 0 || !S_ISLNK(info.st_mode))
            return true;
        if (links == kMaxLinks) {
            error = "Cannot create file \"" + name + "\". " + reason(ELOOP);
            return false;
        }
        std::vector<char> link(static_cast<std::size_t>(std::max<off_t>(info.st_size, 0)) + 256);
        const ssize_t size = ::readlink(file.c_str(), link.data(), link.size());
        if (size < 0 || static_cast<std::size_t>(size) >= link.size()) {
            error = "Cannot create file \"" + name + "\". " + reason(size < 0 ? errno : ENAMETOOLONG);
            return false;
        }
        const std::string to(link.data(), static_cast<std::size_t>(size));
        const auto slash = file.rfind('/');
        file = (!to.empty() && to.front() == '/') || slash == std::string::npos ? to : file.substr(0, slash + 1) + to;
    }
}

// Makes a rename in folder survive a power cut. A folder that cannot be opened for
// it, or a file system that does not sync folders, is left as it is.
int syncFolder(const std::string& folder)
{
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return 0;
    const int failure = ::fsync(fd) == 0 || errno == EINVAL || errno == ENOTSUP ? 0 : errno;
    ::close(fd);
    return failure;
}

} // namespace

ReplacingFile::~ReplacingFile() { discard(); }

void ReplacingFile::discard()
{
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
    if (existing_ >= 0)
        ::close(existing_);
    existing_ = -1;
    if (!temporary_.empty())
        ::unlink(temporary_.c_str());
    temporary_.clear();
}

bool ReplacingFile::open(const std::string& target, std::string& error)
{
    discard();
    written_ = writtenBack_ = 0;
    inPlace_ = false;
    regular_ = true;
    target_ = target;
    if (!followLinks(target, path_, error))
        return false;
    auto cannotCreate = [&](int code) {
        error = "Cannot create file \"" + target + "\". " + reason(code);
        return false;
    };

    struct stat old {};
    const bool exists = ::stat(path_.c_str(), &old) == 0;
    if (exists && S_ISDIR(old.st_mode))
        return cannotCreate(EISDIR);
    // The file is opened for writing first, whatever the folder allows: a file the
    // user may not write is not saved over by a rename.
    int own = -1;
    if (exists) {
        own = ::open(path_.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY);
        if (own < 0)
            return cannotCreate(errno);
        if (!S_ISREG(old.st_mode)) {
            fd_ = own;
            inPlace_ = true;
            regular_ = false;
            return true;
        }
    }

    std::string folder = folderOf(path_);
    std::string pattern = (folder == "/" ? std::string() : folder) + "/." + baseNameOf(path_) + ".XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    const int fd = ::mkstemp(name.data());
    if (fd < 0) {
        const int code = errno;
        if (own >= 0 && (code == EACCES || code == EPERM)) {
            fd_ = own;  // the last resort: the folder takes no new file, the file may be written
            inPlace_ = true;
            return true;
        }
        if (own >= 0)
            ::close(own);
        return cannotCreate(code);
    }
    existing_ = own;  // kept for a folder that refuses the rename
    fd_ = fd;
    temporary_ = name.data();
    // mkstemp gives 0600 and the saving user: the saved file keeps the old file's
    // owner where the user may give it (before the mode: a change of owner clears
    // set-id bits) and its mode, or gets that of a new file.
    if (exists && (old.st_uid != ::geteuid() || old.st_gid != ::getegid()) &&
        ::fchown(fd_, old.st_uid, old.st_gid) != 0) {
        // another owner cannot be given by an ordinary user: the file becomes theirs
    }
    ::fchmod(fd_, exists ? (old.st_mode & 07777) : (0666 & ~currentUmask()));
    return true;
}

bool ReplacingFile::write(std::string_view bytes, std::string& error)
{
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd_, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR)
                continue;
            error = "Cannot write file \"" + target_ + "\". " + reason(errno);
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
        written_ += static_cast<std::size_t>(written);
    }
#if defined(__linux__)
    // The disk starts on what is written while the next block is prepared, so that the
    // wait at commit() is for the last block only, not for the whole file at once.
    if (regular_ && written_ - writtenBack_ >= kFileBlockSize) {
        ::sync_file_range(fd_, static_cast<off_t>(writtenBack_), static_cast<off_t>(written_ - writtenBack_),
                          SYNC_FILE_RANGE_WRITE);  // a hint: a failure shows at fsync, if at all
        writtenBack_ = written_;
    }
#endif
    return true;
}

int ReplacingFile::copyInto(int target, bool syncToDisk) const
{
    const int from = ::open(temporary_.c_str(), O_RDONLY | O_CLOEXEC);
    if (from < 0)
        return errno;
    int failure = 0;
    const auto buffer = std::make_unique_for_overwrite<char[]>(kFileBlockSize);
    for (off_t at = 0;;) {
        const ssize_t got = ::pread(from, buffer.get(), kFileBlockSize, at);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0) {
            failure = got < 0 ? errno : 0;
            break;
        }
        for (ssize_t done = 0; done < got && failure == 0;) {
            const ssize_t put = ::pwrite(target, buffer.get() + done, static_cast<std::size_t>(got - done), at + done);
            if (put < 0 && errno != EINTR)
                failure = errno;
            else if (put > 0)
                done += put;
        }
        if (failure != 0)
            break;
        at += got;
    }
    ::close(from);
    if (failure == 0 && ::ftruncate(target, static_cast<off_t>(written_)) != 0)
        failure = errno;
    if (failure == 0 && syncToDisk && ::fsync(target) != 0)
        failure = errno;
    return failure;
}

bool ReplacingFile::commit(bool syncToDisk, std::string& error)
{
    int failure = 0;
    // Written in place over the old contents: what is left of them goes at the end,
    // so that a save no longer than the old file needs no more room on the disk.
    if (inPlace_ && regular_ && ::ftruncate(fd_, static_cast<off_t>(written_)) != 0)
        failure = errno;
    if (failure == 0 && syncToDisk && regular_ && ::fsync(fd_) != 0)
        failure = errno;
    if (::close(fd_) != 0 && failure == 0)
        failure = errno;
    fd_ = -1;
    if (failure != 0) {
        error = "Cannot write file \"" + target_ + "\". " + reason(failure);
        discard();
        return false;
    }
    if (inPlace_)
        return true;
    if (::rename(temporary_.c_str(), path_.c_str()) != 0) {
        const int code = errno;
        // A folder with the sticky bit lets only the owners replace the file; the
        // file itself may still be written: the new contents are copied into it.
        if ((code == EACCES || code == EPERM) && existing_ >= 0) {
            failure = copyInto(existing_, syncToDisk);
            if (failure == 0) {
                discard();
                return true;
            }
            error = "Cannot write file \"" + target_ + "\". " + reason(failure);
        } else {
            error = "Cannot create file \"" + target_ + "\". " + reason(code);
        }
        discard();
        return false;
    }
    temporary_.clear();
    if (existing_ >= 0)
        ::close(existing_);
    existing_ = -1;
    if (syncToDisk && (failure = syncFolder(folderOf(path_))) != 0) {
        error = "Cannot write file \"" + target_ + "\". " + reason(failure);
        return false;
    }
    return true;
}

InputFile::~InputFile()
{
    if (fd_ >= 0)
        ::close(fd_);
}

bool InputFile::open(const std::string& path, std::size_t firstWindow)
{
    firstWindow_ = std::max(firstWindow, kFileBlockSize);
    fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd_ < 0)
        return false;
    struct stat info {};
    if (::fstat(fd_, &info) != 0 || S_ISDIR(info.st_mode))
        return false;
    regular_ = S_ISREG(info.st_mode);
    ::posix_fadvise(fd_, 0, 0, POSIX_FADV_SEQUENTIAL);
    return true;
}

// The file is copied, not mapped: a mapped file that another program shortens
// during the load would end the whole program, and the readings with it.
int InputFile::next(std::string_view& block)
{
    if (fd_ < 0)
        return -1;
    const std::size_t size = !regular_ ? kFileBlockSize : (windows_++ == 0 ? firstWindow_ : kFileBlockSize);
    if (capacity_ < size) {
        buffer_ = std::make_unique_for_overwrite<char[]>(size);
        capacity_ = size;
    }
    std::size_t got = 0;
    while (got < size) {
        const ssize_t n = ::read(fd_, buffer_.get() + got, size - got);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return -1;
        if (n == 0)
            break;
        got += static_cast<std::size_t>(n);
        if (!regular_)
            break;  // a pipe hands over what has come
    }
    block = std::string_view(buffer_.get(), got);
    return got > 0 ? 1 : 0;
}

} // namespace valdrin
