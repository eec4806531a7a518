#include "record/Limits.h"

#include "base/IntegerValue.h"

namespace valdrin {

float limitValue(std::string_view text)
{
    if (text.empty() || text == "-" || text == "+")
        return 0;
    return static_cast<float>(IntegerValue(text));
}

bool acceptLimitKey(char key) { return (key >= '0' && key <= '9') || key == 8 || key == '+' || key == '-'; }

} // namespace valdrin
