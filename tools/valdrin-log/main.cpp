// valdrin-log: the program's core without a window. Reads a capture (or a live
// port), decodes and records every frame as the window would, writes JSON lines
// or a table file.
#include <cstdio>
#include <string>
#include <vector>

#include "Companion.h"
#include "base/SystemClock.h"

int main(int argc, char** argv)
{
    valdrin::useSystemLocale();
    const std::vector<std::string> args(argv + 1, argv + argc);
    return valdrin::runCompanion(args, stdout, stderr);
}
