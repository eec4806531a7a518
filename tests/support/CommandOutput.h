// What a shell command writes on its standard output, for tests that read a file
// back through another program (pdfinfo, pdftotext).
#pragma once

#include <cstdio>
#include <string>

namespace valdrin::test {

// Empty when the command cannot be started.
inline std::string commandOutput(const std::string& command)
{
    std::string out;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe)
        return out;
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        out.append(buffer, n);
    ::pclose(pipe);
    return out;
}

} // namespace valdrin::test
