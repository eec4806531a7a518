// A serial link under a fuzz input: a fresh core, its byte stream delivered through
// one family's serial assembler in blocks as the poll reads give them.
#pragma once

#include "FuzzBlocks.h"
#include "tests/support/CoreFixture.h"

#include <cstddef>
#include <cstdint>

namespace valdrin::fuzz {

using SerialAssemblerOf = void (FcommCore::*)(const uint8_t*, int32_t);

// The first input byte chooses the cuts: with its high bit set blocks of up to 2048
// bytes (a poll read's most), otherwise short blocks that end inside frames.
inline void feedSerial(const uint8_t* data, std::size_t size, SerialAssemblerOf assembler)
{
    if (size == 0)
        return;
    test::CoreFixture fixture;
    BlockSizes sizes(data[0]);
    const std::size_t maxBlock = (data[0] & 0x80) ? 2048 : 32;
    forEachBlock(data + 1, size - 1, sizes, maxBlock, [&](const std::vector<uint8_t>& block) {
        (fixture.core.*assembler)(block.data(), static_cast<int32_t>(block.size()));
        return true;
    });
}

} // namespace valdrin::fuzz
