#include "chart/MinMaxIndex.h"

#include <algorithm>
#include <limits>

namespace valdrin {
namespace {

void widen(ValueSpan& span, int32_t value)
{
    span.minimum = std::min(span.minimum, value);
    span.maximum = std::max(span.maximum, value);
}

void widen(ValueSpan& span, const ValueSpan& other)
{
    span.minimum = std::min(span.minimum, other.minimum);
    span.maximum = std::max(span.maximum, other.maximum);
}

void summarise(std::vector<ValueSpan>& blocks, size_t position, size_t block, int32_t value)
{
    if (position % block == 0)
        blocks.push_back({value, value});
    else
        widen(blocks.back(), value);
}

} // namespace

void MinMaxIndex::push(int32_t value)
{
    summarise(blocks_, count_, Block, value);
    summarise(largeBlocks_, count_, LargeBlock, value);
    ++count_;
}

void MinMaxIndex::rebuild(const std::vector<int32_t>& values)
{
    blocks_.clear();
    largeBlocks_.clear();
    count_ = 0;
    blocks_.reserve(values.size() / Block + 1);
    largeBlocks_.reserve(values.size() / LargeBlock + 1);
    for (int32_t v : values)
        push(v);
}

ValueSpan MinMaxIndex::span(const std::vector<int32_t>& values, size_t first, size_t last) const
{
    ValueSpan result{std::numeric_limits<int32_t>::max(), std::numeric_limits<int32_t>::min()};
    size_t i = first;
    // Single values up to a block boundary, blocks up to a large block boundary,
    // large blocks across the middle, then the same back down at the end.
    const size_t headEnd = std::min(last, (i + Block - 1) / Block * Block);
    for (; i < headEnd; ++i)
        widen(result, values[i]);
    for (; i % LargeBlock != 0 && i + Block <= last; i += Block)
        widen(result, blocks_[i / Block]);
    for (; i + LargeBlock <= last; i += LargeBlock)
        widen(result, largeBlocks_[i / LargeBlock]);
    for (; i + Block <= last; i += Block)
        widen(result, blocks_[i / Block]);
    for (; i < last; ++i)
        widen(result, values[i]);
    return result;
}

} // namespace valdrin
