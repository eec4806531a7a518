// An output buffer for the table file writers: a row reserves the room it may need
// once, then its pieces are copied without further checks; full blocks go on to the
// sink, so a save holds one block beside the table however large the table is.
#pragma once

#include "record/FileIo.h"
#include "record/ShortText.h"
#include "record/TextTableFile.h"

#include <charconv>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>

namespace valdrin {

// A piece of text kept with room after it, so that it can be copied sixteen bytes at
// a time: a row's few pieces are then copied without a loop over their sizes.
class PaddedPiece {
public:
    static constexpr std::size_t kStep = 16;

    PaddedPiece() = default;
    explicit PaddedPiece(std::string_view text) { set(text); }
    void set(std::string_view text)
    {
        size_ = text.size();
        bytes_.assign(text);
        bytes_.resize(room());
    }
    std::size_t size() const { return size_; }
    // Bytes a copy reads and writes: the size rounded up to whole steps.
    std::size_t room() const { return (size_ + kStep - 1) / kStep * kStep; }
    const char* data() const { return bytes_.data(); }

private:
    std::string bytes_;
    std::size_t size_ = 0;
};

class BlockWriter {
    static constexpr char kDigitPairs[] =
        "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
        "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
        "8081828384858687888990919293949596979899";

public:
    explicit BlockWriter(const ByteSink& sink) : sink_(sink) { grow(kFileBlockSize); }

    // Room for n more bytes; false when passing the full block on failed.
    bool reserve(std::size_t n)
    {
        if (static_cast<std::size_t>(end_ - cursor_) >= n)
            return true;
        if (!flush())
            return false;
        if (static_cast<std::size_t>(end_ - cursor_) < n)
            grow(n);
        return true;
    }
    void put(char c) { *cursor_++ = c; }
    void put(std::string_view text)
    {
        std::memcpy(cursor_, text.data(), text.size());
        cursor_ += text.size();
    }
    // The same for the short pieces of a row (a field, a prepared attribute).
    void putShort(std::string_view text)
    {
        shorttext::copy(cursor_, text.data(), text.size());
        cursor_ += text.size();
    }
    // A padded piece: needs its room(), of which the bytes past its size are
    // overwritten by what follows.
    void putPadded(const PaddedPiece& piece)
    {
        for (std::size_t at = 0; at < piece.size(); at += PaddedPiece::kStep)
            shorttext::moveFixed<PaddedPiece::kStep>(cursor_ + at, piece.data() + at);
        cursor_ += piece.size();
    }
    template <class Integer>
    void putNumber(Integer value)  // needs 20 bytes of room
    {
        cursor_ = std::to_chars(cursor_, cursor_ + 20, value).ptr;
    }
    // Two or more digits with leading zeros (needs width bytes of room).
    void putDigits(int value, int width)
    {
        for (int i = width - 1; i >= 0; --i, value /= 10)
            cursor_[i] = static_cast<char>('0' + value % 10);
        cursor_ += width;
    }
    // Exactly two digits of value (0 to 99), from a table: times are written a
    // million times in a large save (needs 2 bytes of room).
    void putTwoDigits(unsigned value)
    {
        std::memcpy(cursor_, kDigitPairs + 2 * value, 2);
        cursor_ += 2;
    }
    // Passes what is left on; the end of the output.
    bool finish() { return flush(); }

private:
    bool flush()
    {
        const std::string_view full(buffer_.get(), static_cast<std::size_t>(cursor_ - buffer_.get()));
        cursor_ = buffer_.get();
        return full.empty() || sink_(full);
    }
    void grow(std::size_t capacity)
    {
        buffer_ = std::make_unique_for_overwrite<char[]>(capacity);
        cursor_ = buffer_.get();
        end_ = cursor_ + capacity;
    }

    const ByteSink& sink_;
    std::unique_ptr<char[]> buffer_;
    char* cursor_ = nullptr;
    char* end_ = nullptr;
};

} // namespace valdrin
