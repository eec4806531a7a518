// A device's UTF-16 string as an 8-bit text of the locale's codeset (the program
// calls setlocale(LC_ALL, "") at start); what the codeset cannot hold becomes '?'.
#pragma once

#include <string>

namespace valdrin {

std::string toLocal8Bit(const std::u16string& text);

} // namespace valdrin
