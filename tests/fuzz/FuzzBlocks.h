// Cutting a fuzz input into the blocks a link or a file read delivers. The sizes come
// from a small generator seeded by the input, so one input always gives the same cuts.
// Each block is copied into a buffer of its own size, so that a read past its end is
// seen by the address sanitizer instead of landing in the next block.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace valdrin::fuzz {

class BlockSizes {
public:
    explicit BlockSizes(uint32_t seed) : state_(seed * 2654435761u | 1u) {}

    // A size from 1 to maxBlock.
    std::size_t next(std::size_t maxBlock)
    {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 17;
        state_ ^= state_ << 5;
        return 1 + state_ % maxBlock;
    }

private:
    uint32_t state_;
};

// Calls take(block) for consecutive blocks of data, each of 1 to maxBlock bytes,
// until the data is used up or take returns false.
template <class Take>
void forEachBlock(const uint8_t* data, std::size_t size, BlockSizes& sizes, std::size_t maxBlock, Take take)
{
    while (size > 0) {
        const std::size_t drawn = sizes.next(maxBlock);
        const std::size_t cut = drawn < size ? drawn : size;
        const std::vector<uint8_t> block(data, data + cut);
        if (!take(block))
            return;
        data += cut;
        size -= cut;
    }
}

} // namespace valdrin::fuzz
