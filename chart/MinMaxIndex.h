// Smallest and largest value of any stretch of a growing list of values, without
// visiting every value: summaries of blocks of 64 and of 4096 values, kept as the
// values are appended. The chart draws a page of millions of points as one
// min-max stroke per pixel column with it, at a cost that does not grow with the
// stretch a column covers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace valdrin {

struct ValueSpan {
    int32_t minimum, maximum;
    friend bool operator==(const ValueSpan&, const ValueSpan&) = default;
};

class MinMaxIndex {
public:
    static constexpr size_t Block = 64;
    static constexpr size_t LargeBlock = Block * Block;

    // The next value of the indexed list was appended.
    void push(int32_t value);
    // The indexed list changed other than by appends: summarise it afresh.
    void rebuild(const std::vector<int32_t>& values);
    // Span of values[first .. last - 1]; `values` is the indexed list and
    // first < last <= its size.
    ValueSpan span(const std::vector<int32_t>& values, size_t first, size_t last) const;

private:
    std::vector<ValueSpan> blocks_;      // one per Block values, the last one partial
    std::vector<ValueSpan> largeBlocks_; // one per LargeBlock values, the last one partial
    size_t count_ = 0;
};

} // namespace valdrin
