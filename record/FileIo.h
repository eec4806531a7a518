// Whole-file access for the table files: a file that replaces its target only when
// it is complete, and a plain reader that delivers a file in blocks.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

namespace valdrin {

// Writes a table file so that a failed save leaves the previous file as it was: the
// bytes go into a temporary file beside it, renamed over it on commit(). The file is
// the one the user named with its symbolic links followed, so a link stays a link and
// the file it names is saved. A file the user may not write fails the save untouched.
// Written in place instead: a target that is no regular file (a pipe, a device), and,
// as the last resort, a writable file in a folder that takes no temporary file or
// refuses the rename (a sticky folder of another owner); a save that fails part-way
// then cannot keep the old contents.
// Each function returns false on failure and sets error to a text naming the file
// and the system's reason. The temporary file is removed again if the writer is
// destroyed without a successful commit().
class ReplacingFile {
public:
    ReplacingFile() = default;
    ReplacingFile(const ReplacingFile&) = delete;
    ReplacingFile& operator=(const ReplacingFile&) = delete;
    ~ReplacingFile();

    bool open(const std::string& target, std::string& error);
    bool write(std::string_view bytes, std::string& error);
    // Closes the file and puts it in the target's place; with syncToDisk the data
    // reaches the disk first and the new name after it, so that not even a power cut
    // leaves an empty file, or the old one, where the saved one was.
    bool commit(bool syncToDisk, std::string& error);

private:
    void discard();
    // Copies the temporary file's bytes over target from its start; 0 or the error.
    int copyInto(int target, bool syncToDisk) const;

    int fd_ = -1;
    int existing_ = -1;            // the old file, opened for writing when it was checked
    std::size_t written_ = 0;      // bytes written so far
    std::size_t writtenBack_ = 0;  // the disk was asked to take the bytes before this
    bool inPlace_ = false;         // fd_ is the target itself
    bool regular_ = true;          // the target is (or becomes) a regular file
    std::string target_;           // as the user named it, for the messages
    std::string path_;             // the file saved: target_ with its links followed
    std::string temporary_;
};

// Reads a file front to back in blocks: a regular file in large windows, anything
// else (a pipe) as its bytes come.
class InputFile {
public:
    InputFile() = default;
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;
    ~InputFile();

    // firstWindow: the size of the first block of a regular file; later ones are
    // kFileBlockSize, which stays in the processor's cache while it is parsed.
    bool open(const std::string& path, std::size_t firstWindow);
    // The next block in block, valid until the next call: 1, or 0 at the end of the
    // file and -1 on a read error.
    int next(std::string_view& block);

private:
    int fd_ = -1;
    bool regular_ = false;
    std::size_t windows_ = 0;  // windows read so far
    std::size_t firstWindow_ = 0;
    std::unique_ptr<char[]> buffer_;
    std::size_t capacity_ = 0;
};

// Block size for reading and writing the table files: large enough that system calls
// do not count, small enough that a load holds little beside the table it builds.
inline constexpr std::size_t kFileBlockSize = 1u << 20;
// Windows of a load. The first is larger: it holds the packet's change log
// (about 13 bytes a row) whole for tables of a million rows, so that the log is
// scanned where it lies, and it comes before the table has grown.
inline constexpr std::size_t kFirstWindowSize = 16u << 20;

} // namespace valdrin
