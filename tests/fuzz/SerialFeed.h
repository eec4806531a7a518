// A serial link under a fuzz input: the byte stream goes through one family's serial
// assembler of a fresh core twice, once in a single block and once cut into blocks as
// poll reads give them. A frame completed by the next block is decoded as if it had
// come in one piece, so when no frame ended in an error (which drops the rest of its
// block) both cores must end alike: the same frames, accumulators and rows.
#pragma once

#include "Finding.h"
#include "FuzzBlocks.h"
#include "tests/support/CoreFixture.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace valdrin::fuzz {

using SerialAssemblerOf = void (FcommCore::*)(const uint8_t*, int32_t);

inline void expectSame(const std::string& what, const std::string& whole, const std::string& cut)
{
    if (whole != cut)
        finding(what + " is " + shown(cut) + " after blocks, " + shown(whole) + " after one block");
}

inline void expectSameCores(const FcommCore& whole, const FcommCore& cut)
{
    expectSame("the number of decoded frames", std::to_string(whole.framesDecoded), std::to_string(cut.framesDecoded));
    expectSame("LastFrame", whole.S.LastFrame, cut.S.LastFrame);
    expectSame("FrameDataChars", whole.S.FrameDataChars, cut.S.FrameDataChars);
    expectSame("FrameIndexChars", whole.S.FrameIndexChars, cut.S.FrameIndexChars);
    expectSame("the number of rows", std::to_string(whole.cds1.size()), std::to_string(cut.cds1.size()));
    for (std::size_t i = 0; i < whole.cds1.size(); ++i)
        for (const Field field : {Field::DCAC, Field::Value, Field::Unit, Field::Auto})
            expectSame("row " + std::to_string(i) + " field " + std::string(kFieldNames[static_cast<int>(field)]),
                       std::string(whole.cds1.text(i, field)), std::string(cut.cds1.text(i, field)));
}

// The first input byte chooses the cuts: with its high bit set blocks of up to 2048
// bytes (a poll read's most), otherwise short blocks that end inside frames.
inline void feedSerial(const uint8_t* data, std::size_t size, SerialAssemblerOf assembler)
{
    if (size < 2)
        return;
    test::CoreFixture cut;
    BlockSizes sizes(data[0]);
    const std::size_t maxBlock = (data[0] & 0x80) ? 2048 : 32;
    forEachBlock(data + 1, size - 1, sizes, maxBlock, [&](const std::vector<uint8_t>& block) {
        (cut.core.*assembler)(block.data(), static_cast<int32_t>(block.size()));
        return true;
    });

    test::CoreFixture whole;
    const std::vector<uint8_t> stream(data + 1, data + size);
    (whole.core.*assembler)(stream.data(), static_cast<int32_t>(stream.size()));

    if (whole.core.frameErrors == 0 && cut.core.frameErrors == 0)
        expectSameCores(whole.core, cut.core);
}

} // namespace valdrin::fuzz
