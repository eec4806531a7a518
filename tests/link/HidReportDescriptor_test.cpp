#include "link/HidReportDescriptor.h"

#include <gtest/gtest.h>

namespace valdrin {
namespace {

TEST(HidReportDescriptor, LengthsCountTheReportIdByteAndNumberingIsSeen)
{
    // Vendor page, 8-byte input and output reports, a 5-byte feature report, no IDs:
    // the layout of a USB-to-serial meter cable.
    const uint8_t unnumbered[] = {0x06, 0x00, 0xFF, 0x09, 0x01, 0xA1, 0x01, 0x15, 0x00, 0x26, 0xFF, 0x00,
                                  0x75, 0x08, 0x95, 0x08, 0x09, 0x01, 0x81, 0x02, 0x09, 0x01, 0x91, 0x02,
                                  0x95, 0x05, 0x09, 0x01, 0xB1, 0x02, 0xC0};
    const HidReportLayout plain = parseReportDescriptor(unnumbered, sizeof unnumbered);
    EXPECT_FALSE(plain.numbered);
    EXPECT_EQ(plain.caps.UsagePage, 0xFF00);
    EXPECT_EQ(plain.caps.Usage, 1);
    EXPECT_EQ(plain.caps.InputReportByteLength, 9);
    EXPECT_EQ(plain.caps.OutputReportByteLength, 9);
    EXPECT_EQ(plain.caps.FeatureReportByteLength, 6);

    // Two numbered input reports of 2 and 4 bytes: the longer one counts.
    const uint8_t numbered[] = {0x05, 0x01, 0x09, 0x06, 0xA1, 0x01, 0x85, 0x01, 0x75, 0x08, 0x95, 0x02,
                                0x81, 0x02, 0x85, 0x02, 0x95, 0x04, 0x81, 0x02, 0xC0};
    const HidReportLayout ids = parseReportDescriptor(numbered, sizeof numbered);
    EXPECT_TRUE(ids.numbered);
    EXPECT_EQ(ids.caps.InputReportByteLength, 5);
    EXPECT_EQ(ids.caps.OutputReportByteLength, 0);

    // A descriptor cut short in an item yields what came before, not garbage.
    EXPECT_EQ(parseReportDescriptor(unnumbered, 13).caps.InputReportByteLength, 0);
}

} // namespace
} // namespace valdrin
