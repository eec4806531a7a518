#include "link/HidReportDescriptor.h"

#include <algorithm>
#include <map>
#include <vector>

namespace valdrin {

namespace {
struct GlobalState {
    uint32_t usagePage = 0;
    uint32_t reportSize = 0;
    uint32_t reportCount = 0;
    uint32_t reportId = 0;
};

uint16_t byteLength(const std::map<uint32_t, uint32_t>& bitsPerId)
{
    uint32_t longest = 0;
    for (const auto& [id, bits] : bitsPerId)
        longest = std::max(longest, (bits + 7) / 8);
    return longest == 0 ? 0 : static_cast<uint16_t>(longest + 1);
}
} // namespace

HidReportLayout parseReportDescriptor(const uint8_t* data, std::size_t size)
{
    HidReportLayout layout;
    GlobalState global;
    std::vector<GlobalState> stack;
    uint32_t usage = 0;
    bool topUsageSeen = false;
    int depth = 0;
    std::map<uint32_t, uint32_t> inputBits, outputBits, featureBits;

    std::size_t at = 0;
    while (at < size) {
        const uint8_t prefix = data[at++];
        if (prefix == 0xFE) {  // long item: size, tag, data
            if (at >= size)
                break;
            at += 2 + data[at];
            continue;
        }
        const std::size_t length = (prefix & 3) == 3 ? 4 : (prefix & 3);
        if (at + length > size)
            break;
        uint32_t value = 0;
        for (std::size_t i = 0; i < length; ++i)
            value |= static_cast<uint32_t>(data[at + i]) << (8 * i);
        at += length;
        const int type = (prefix >> 2) & 3;
        const int tag = prefix >> 4;
        if (type == 1) {  // global
            switch (tag) {
            case 0x0: global.usagePage = value; break;
            case 0x7: global.reportSize = value; break;
            case 0x8:
                global.reportId = value;
                layout.numbered = true;
                break;
            case 0x9: global.reportCount = value; break;
            case 0xA: stack.push_back(global); break;
            case 0xB:
                if (!stack.empty()) {
                    global = stack.back();
                    stack.pop_back();
                }
                break;
            default: break;
            }
        } else if (type == 2) {  // local
            if (tag == 0x0 && usage == 0)
                usage = value;
        } else if (type == 0) {  // main
            const uint32_t bits = global.reportSize * global.reportCount;
            switch (tag) {
            case 0x8: inputBits[global.reportId] += bits; break;
            case 0x9: outputBits[global.reportId] += bits; break;
            case 0xB: featureBits[global.reportId] += bits; break;
            case 0xA:
                if (depth == 0 && !topUsageSeen) {
                    layout.caps.UsagePage = static_cast<uint16_t>(global.usagePage);
                    layout.caps.Usage = static_cast<uint16_t>(usage & 0xFFFF);
                    topUsageSeen = true;
                }
                ++depth;
                break;
            case 0xC: depth = std::max(0, depth - 1); break;
            default: break;
            }
            usage = 0;  // local items end with each main item
        }
    }
    layout.caps.InputReportByteLength = byteLength(inputBits);
    layout.caps.OutputReportByteLength = byteLength(outputBits);
    layout.caps.FeatureReportByteLength = byteLength(featureBits);
    return layout;
}

} // namespace valdrin
