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
    // Plain locals and plain loops, so that the compiler can scan several values at once.
    int32_t lo = std::numeric_limits<int32_t>::max(), hi = std::numeric_limits<int32_t>::min();
    const auto scanValues = [&](size_t from, size_t to) {
        const int32_t* v = values.data();
        for (size_t i = from; i < to; ++i) {
            lo = std::min(lo, v[i]);
            hi = std::max(hi, v[i]);
        }
    };
    const auto scanSpans = [&](const std::vector<ValueSpan>& spans, size_t from, size_t to) {
        for (size_t i = from; i < to; ++i) {
            lo = std::min(lo, spans[i].minimum);
            hi = std::max(hi, spans[i].maximum);
        }
    };
    // Single values up to a block boundary, blocks up to a large block boundary,
    // large blocks across the middle, then the same back down at the end.
    const size_t headEnd = std::min(last, (first + Block - 1) / Block * Block);
    scanValues(first, headEnd);
    size_t i = headEnd;
    const size_t tailStart = std::max(i, last / Block * Block);
    if (i < tailStart) {
        const size_t largeStart = std::min(tailStart, (i + LargeBlock - 1) / LargeBlock * LargeBlock);
        const size_t largeEnd = std::max(largeStart, tailStart / LargeBlock * LargeBlock);
        scanSpans(blocks_, i / Block, largeStart / Block);
        scanSpans(largeBlocks_, largeStart / LargeBlock, largeEnd / LargeBlock);
        scanSpans(blocks_, largeEnd / Block, tailStart / Block);
    }
    scanValues(tailStart, last);
    return {lo, hi};
}

} // namespace valdrin
