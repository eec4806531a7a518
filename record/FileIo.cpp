#include "record/FileIo.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/mman.h>
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
    unmapWindow();
    if (fd_ >= 0)
        ::close(fd_);
}

void InputFile::unmapWindow()
{
    if (window_)
        ::munmap(window_, windowSize_);  // the window's pages leave the resident memory
    window_ = nullptr;
}

bool InputFile::open(const std::string& path)
{
    fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd_ < 0)
        return false;
    struct stat info {};
    if (::fstat(fd_, &info) != 0 || S_ISDIR(info.st_mode))
        return false;
    if (S_ISREG(info.st_mode) && info.st_size > 0)
        mappedSize_ = static_cast<std::size_t>(info.st_size);
    ::posix_fadvise(fd_, 0, 0, POSIX_FADV_SEQUENTIAL);
    return true;
}

int InputFile::next(std::string_view& block)
{
    if (fd_ < 0)
        return -1;
    unmapWindow();
    if (mappedAt_ < mappedSize_) {
        const std::size_t size = std::min(mappedAt_ == 0 ? kFirstWindowSize : kWindowSize, mappedSize_ - mappedAt_);
        void* const window = ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE | MAP_POPULATE, fd_,
                                    static_cast<off_t>(mappedAt_));
        if (window != MAP_FAILED) {
            window_ = window;
            windowSize_ = size;
            mappedAt_ += size;
            block = std::string_view(static_cast<const char*>(window), size);
            return 1;
        }
        // Not mapped: the rest is read from where the windows ended.
        mappedSize_ = mappedAt_;
    }
    if (mappedAt_ > 0 && ::lseek(fd_, static_cast<off_t>(mappedAt_), SEEK_SET) < 0)
        return -1;
    mappedAt_ = mappedSize_ = 0;  // read on from here
    if (!buffer_)
        buffer_ = std::make_unique_for_overwrite<char[]>(kFileBlockSize);
    for (;;) {
        const ssize_t got = ::read(fd_, buffer_.get(), kFileBlockSize);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return -1;
        block = std::string_view(buffer_.get(), static_cast<std::size_t>(got));
        return got > 0 ? 1 : 0;
    }
}

} // namespace valdrin
