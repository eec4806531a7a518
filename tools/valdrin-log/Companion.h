// The companion's run: the core set up as the options say, the input fed through
// it, the table saved. Kept apart from main() so tests can run it in-process.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

namespace valdrin {

// Returns the exit status: 0 at the end of input, 2 on bad arguments or input.
int runCompanion(const std::vector<std::string>& args, std::FILE* out, std::FILE* err);

} // namespace valdrin
