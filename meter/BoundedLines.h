// A list box's lines without the widget: keeps the newest lines up to a bound in lines
// and one in bytes, so neither a day of frames nor a cable's longest reports can grow
// it without limit.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>

namespace valdrin {

class BoundedLines {
public:
    // A few megabytes of text: ten thousand report lines of a 65,535-byte report
    // would otherwise hold about two gigabytes.
    static constexpr std::size_t kDefaultByteBound = std::size_t{4} << 20;

    explicit BoundedLines(std::size_t bound = 10000, std::size_t byteBound = kDefaultByteBound)
        : bound_(bound), byteBound_(byteBound)
    {
    }

    // Adds the line as the last one and selects it; the oldest lines go while either
    // bound is passed. The newest line always stays, even one longer than the byte bound.
    void add(std::string line)
    {
        bytes_ += line.size();
        lines_.push_back(std::move(line));
        while (!lines_.empty() && (lines_.size() > bound_ || (bytes_ > byteBound_ && lines_.size() > 1))) {
            bytes_ -= lines_.front().size();
            lines_.pop_front();
        }
        selected_ = static_cast<long>(lines_.size()) - 1;
        ++added_;
    }
    void clear()
    {
        if (lines_.empty())
            return;  // nothing to tell: an empty list has no selection either
        lines_.clear();
        bytes_ = 0;
        selected_ = -1;
        ++clears_;
    }
    std::size_t size() const { return lines_.size(); }
    bool empty() const { return lines_.empty(); }
    const std::string& operator[](std::size_t i) const { return lines_[i]; }
    const std::string& back() const { return lines_.back(); }
    long selected() const { return selected_; }  // -1 when no line is selected
    std::size_t bound() const { return bound_; }
    std::size_t byteBound() const { return byteBound_; }
    // Bytes of text of the lines held.
    std::size_t bytes() const { return bytes_; }
    // Lines added since construction, also those dropped by the bound (lets a view
    // follow the list without copying it).
    unsigned long long added() const { return added_; }
    // Clears that emptied the list: a view that saw the count change starts over
    // instead of adding the new lines to the ones it still shows.
    unsigned long long clears() const { return clears_; }
    // Advanced by every add and every clear that emptied the list.
    uint64_t revision() const { return added_ + clears_; }
    auto begin() const { return lines_.begin(); }
    auto end() const { return lines_.end(); }

private:
    std::deque<std::string> lines_;
    std::size_t bound_;
    std::size_t byteBound_;
    std::size_t bytes_ = 0;
    long selected_ = -1;
    unsigned long long added_ = 0;
    unsigned long long clears_ = 0;
};

} // namespace valdrin
