#include "meter/FrameEncoding.h"

#include <algorithm>

namespace valdrin {

namespace {
uint8_t nibbleValue(char c)
{
    if (c >= '0' && c <= '9')
        return static_cast<uint8_t>(c - '0');
    if (c >= 'A' && c <= 'F')
        return static_cast<uint8_t>(c - 'A' + 10);
    if (c >= 'a' && c <= 'f')
        return static_cast<uint8_t>(c - 'a' + 10);
    return 0;
}
} // namespace

Bytes encodeLineFrame(std::string_view nineNibbles)
{
    Bytes out;
    for (char c : nineNibbles.substr(0, 9))
        out.push_back(static_cast<uint8_t>(0x30 | nibbleValue(c)));
    out.push_back(0x0D);
    out.push_back(0x0A);
    return out;
}

Bytes encodeTeskarFrame(std::string_view fourteenNibbles)
{
    Bytes out;
    uint8_t index = 1;
    for (char c : fourteenNibbles.substr(0, 14))
        out.push_back(static_cast<uint8_t>((index++ << 4) | nibbleValue(c)));
    return out;
}

std::vector<UsbReport> encodeUsbFrame(const Bytes& meterBytes, std::size_t perReport)
{
    perReport = std::clamp<std::size_t>(perReport, 1, kUsbReportDataSize - 1);
    std::vector<UsbReport> reports;
    for (std::size_t at = 0; at < meterBytes.size(); at += perReport) {
        const std::size_t n = std::min(perReport, meterBytes.size() - at);
        UsbReport report;
        report.data.assign(kUsbReportDataSize, 0);
        report.data[0] = static_cast<uint8_t>(0xF0 | n);
        std::copy_n(meterBytes.begin() + static_cast<std::ptrdiff_t>(at), n, report.data.begin() + 1);
        reports.push_back(report);
    }
    UsbReport idle;
    idle.data.assign(kUsbReportDataSize, 0);
    reports.push_back(idle);
    return reports;
}

} // namespace valdrin
