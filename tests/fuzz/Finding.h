// A harness's own findings: what went wrong is printed and the process aborts, so
// that libFuzzer keeps the input as it keeps a crash.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace valdrin::fuzz {

[[noreturn]] inline void finding(const std::string& what)
{
    std::fprintf(stderr, "==fuzz finding== %s\n", what.c_str());
    std::abort();
}

// A text with its control characters, quotes and 8-bit bytes as \xNN.
inline std::string shown(std::string_view text)
{
    std::string out = "\"";
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte >= 0x7F || c == '"' || c == '\\') {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", byte);
            out += hex;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

} // namespace valdrin::fuzz
