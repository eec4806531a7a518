#include <gtest/gtest.h>

#include "base/IntegerValue.h"

using namespace valdrin;

TEST(IntegerValue, ConvertsSignedDecimalTexts)
{
    const std::pair<const char*, int32_t> cases[] = {
        {"0", 0}, {"-00123", -123}, {"+7", 7}, {"40000", 40000}, {"2147483647", 2147483647}, {"-2147483648", INT32_MIN},
    };
    for (auto [text, value] : cases)
        EXPECT_EQ(IntegerValue(text), value) << text;
}

TEST(IntegerValue, RefusesAnythingElseWithTheSystemMessage)
{
    for (const char* text : {"", "-", "+", "B", "1B34", " 1", "1 ", "1-2", "--5", "2147483648", "-2147483649", "0x10"}) {
        try {
            IntegerValue(text);
            ADD_FAILURE() << "accepted '" << text << "'";
        } catch (const ConvertError& e) {
            EXPECT_EQ(std::string(e.what()), std::string("'") + text + "' is not a valid integer value");
        }
    }
}
