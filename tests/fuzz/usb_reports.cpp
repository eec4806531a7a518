// USB input reports through UsbZentorData or UsbTeskarData. Input: one byte whose low
// bit chooses the unpacker (set: Teskar), then reports, each a report ID, a length byte
// (its low six bits: 0 to 63 data bytes; a report with no data is an idle one) and
// that many data bytes (fewer at the end of the input).
#include "tests/support/CoreFixture.h"

#include <cstddef>
#include <cstdint>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    valdrin::test::CoreFixture fixture;
    const bool teskar = (data[0] & 1) != 0;
    std::size_t at = 1;
    while (at + 2 <= size) {
        const uint8_t reportId = data[at];
        const std::size_t wanted = data[at + 1] & 0x3F;
        at += 2;
        const std::size_t length = wanted < size - at ? wanted : size - at;
        // A buffer of the report's own size, as the reader hands it over.
        std::vector<uint8_t> report(data + at, data + at + length);
        at += length;
        const auto count = static_cast<uint16_t>(report.size());
        if (teskar)
            fixture.core.UsbTeskarData(reportId, report.data(), count);
        else
            fixture.core.UsbZentorData(reportId, report.data(), count);
    }
    return 0;
}
