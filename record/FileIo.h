// Whole-file access for the table files: a file that replaces its target only when
// it is complete, and a plain reader that delivers a file in blocks.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace valdrin {

// Writes into a temporary file beside the target and renames it over the target on
// commit(), so a failed save never destroys the previous file. The temporary file is
// removed again if the writer is destroyed without a successful commit().
// Each function returns false on failure and sets error to a text naming the file
// and the system's reason.
class ReplacingFile {
public:
    ReplacingFile() = default;
    ReplacingFile(const ReplacingFile&) = delete;
    ReplacingFile& operator=(const ReplacingFile&) = delete;
    ~ReplacingFile();

    bool open(const std::string& target, std::string& error);
    bool write(std::string_view bytes, std::string& error);
    // Closes the file and puts it in the target's place; with syncToDisk the data
    // reaches the disk first, so that not even a power cut between the two leaves an
    // empty file where the old one was.
    bool commit(bool syncToDisk, std::string& error);

private:
    void discard();

    int fd_ = -1;
    std::string target_;
    std::string temporary_;
};

// Reads a file front to back in blocks; read() returns the number of bytes placed in
// buffer, 0 at the end of the file and -1 on a read error.
class InputFile {
public:
    InputFile() = default;
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;
    ~InputFile();

    bool open(const std::string& path);
    long read(char* buffer, std::size_t capacity);

private:
    int fd_ = -1;
};

// Block size for reading and writing the table files: large enough that system calls
// do not count, small enough that a load holds little beside the table it builds.
inline constexpr std::size_t kFileBlockSize = 1u << 20;

} // namespace valdrin
