#include "CaptureInput.h"

namespace valdrin {

bool feedSerialCapture(std::FILE* in, FcommCore& core)
{
    std::vector<uint8_t> block(kPollBlockSize);
    for (;;) {
        const std::size_t n = std::fread(block.data(), 1, block.size(), in);
        if (n > 0)
            core.OnReceiveData(block.data(), static_cast<int32_t>(n));
        if (n < block.size())
            return !std::ferror(in);
    }
}

std::optional<ParsedReport> parseReportLine(const std::string& line)
{
    std::vector<uint8_t> bytes;
    std::size_t i = 0;
    auto hex = [](char c) -> int {
        if (c >= '0' && c <= '9')
            return c - '0';
        if (c >= 'A' && c <= 'F')
            return c - 'A' + 10;
        if (c >= 'a' && c <= 'f')
            return c - 'a' + 10;
        return -1;
    };
    while (i < line.size()) {
        if (line[i] == ' ' || line[i] == '\t' || line[i] == '\r') {
            ++i;
            continue;
        }
        if (i + 1 >= line.size() || hex(line[i]) < 0 || hex(line[i + 1]) < 0)
            return std::nullopt;
        if (i + 2 < line.size() && line[i + 2] != ' ' && line[i + 2] != '\t' && line[i + 2] != '\r')
            return std::nullopt;
        bytes.push_back(static_cast<uint8_t>(hex(line[i]) * 16 + hex(line[i + 1])));
        i += 2;
        if (bytes.size() > 65536)
            return std::nullopt;
    }
    if (bytes.empty())
        return std::nullopt;
    ParsedReport report;
    report.reportId = bytes.front();
    report.data.assign(bytes.begin() + 1, bytes.end());
    return report;
}

bool feedUsbCapture(std::FILE* in, FcommCore& core, bool teskar, std::size_t& skipped)
{
    std::string line;
    int c = 0;
    for (;;) {
        line.clear();
        while ((c = std::fgetc(in)) != EOF && c != '\n')
            if (line.size() < 200000)
                line += static_cast<char>(c);
        if (c == EOF && line.empty())
            break;
        if (const auto report = parseReportLine(line)) {
            const auto size = static_cast<uint16_t>(report->data.size());
            if (teskar)
                core.UsbTeskarData(report->reportId, report->data.data(), size);
            else
                core.UsbZentorData(report->reportId, report->data.data(), size);
        } else if (line.find_first_not_of(" \t\r") != std::string::npos) {
            ++skipped;
        }
        if (c == EOF)
            break;
    }
    return !std::ferror(in);
}

} // namespace valdrin
