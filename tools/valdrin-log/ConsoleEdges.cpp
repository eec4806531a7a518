#include "ConsoleEdges.h"

#include <cstdio>

namespace valdrin {

void ConsoleMessages::information(const std::string& text, const std::string&)
{
    std::fprintf(err_, "%s\n", text.c_str());
}

void ConsoleMessages::error(const std::string& text, const std::string&)
{
    lastError_ = text;
}

bool ConsoleMessages::question(const std::string&) { return true; }

void ConsoleMessages::applicationError(const std::string& text) { lastError_ = text; }

} // namespace valdrin
