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

} // namespace

ReplacingFile::~ReplacingFile() { discard(); }

void ReplacingFile::discard()
{
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
    if (!temporary_.empty())
        ::unlink(temporary_.c_str());
    temporary_.clear();
}

bool ReplacingFile::open(const std::string& target, std::string& error)
{
    discard();
    written_ = writtenBack_ = 0;
    target_ = target;
    std::string folder = folderOf(target);
    std::string pattern = (folder == "/" ? std::string() : folder) + "/." + baseNameOf(target) + ".XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    const int fd = ::mkstemp(name.data());
    if (fd < 0) {
        error = "Cannot create file \"" + target + "\". " + reason(errno);
        return false;
    }
    fd_ = fd;
    temporary_ = name.data();
    // mkstemp gives 0600; the saved file gets the old file's mode, or that of a new file.
    struct stat old {};
    const mode_t mode = ::stat(target.c_str(), &old) == 0 && S_ISREG(old.st_mode) ? (old.st_mode & 07777)
                                                                                   : (0666 & ~currentUmask());
    ::fchmod(fd_, mode);
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
    if (written_ - writtenBack_ >= kFileBlockSize) {
        ::sync_file_range(fd_, static_cast<off_t>(writtenBack_), static_cast<off_t>(written_ - writtenBack_),
                          SYNC_FILE_RANGE_WRITE);  // a hint: a failure shows at fsync, if at all
        writtenBack_ = written_;
    }
#endif
    return true;
}

bool ReplacingFile::commit(bool syncToDisk, std::string& error)
{
    int failure = (!syncToDisk || ::fsync(fd_) == 0) ? 0 : errno;
    if (::close(fd_) != 0 && failure == 0)
        failure = errno;
    fd_ = -1;
    if (failure != 0) {
        error = "Cannot write file \"" + target_ + "\". " + reason(failure);
        discard();
        return false;
    }
    if (::rename(temporary_.c_str(), target_.c_str()) != 0) {
        error = "Cannot create file \"" + target_ + "\". " + reason(errno);
        discard();
        return false;
    }
    temporary_.clear();
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
