// The fuzz input as a file on disk, for the loads that read files by name: one file
// per process, in a folder of its own under TMPDIR, rewritten for every input.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace valdrin::fuzz {

// The file's path; extension (".txt", ".xml") selects the table file format.
inline std::string writeInputFile(const uint8_t* data, std::size_t size, const char* extension)
{
    static const std::string folder = [] {
        const char* tmp = std::getenv("TMPDIR");
        std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/valdrin-fuzz-XXXXXX";
        if (!mkdtemp(pattern.data())) {
            std::perror("mkdtemp");
            std::abort();
        }
        return pattern;
    }();
    const std::string path = folder + "/input" + extension;
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file || (size > 0 && std::fwrite(data, 1, size, file) != size) || std::fclose(file) != 0) {
        std::perror(path.c_str());
        std::abort();
    }
    return path;
}

} // namespace valdrin::fuzz
