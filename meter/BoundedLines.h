// A list box's lines without the widget: keeps the newest lines up to a bound, so a
// day of frames cannot grow it without limit.
#pragma once

#include <cstddef>
#include <deque>
#include <string>

namespace valdrin {

class BoundedLines {
public:
    explicit BoundedLines(std::size_t bound = 10000) : bound_(bound) {}

    void add(std::string line)
    {
        lines_.push_back(std::move(line));
        if (lines_.size() > bound_)
            lines_.pop_front();
        selected_ = static_cast<long>(lines_.size()) - 1;
        ++added_;
    }
    void clear()
    {
        lines_.clear();
        selected_ = -1;
    }
    std::size_t size() const { return lines_.size(); }
    bool empty() const { return lines_.empty(); }
    const std::string& operator[](std::size_t i) const { return lines_[i]; }
    const std::string& back() const { return lines_.back(); }
    long selected() const { return selected_; }  // -1 when no line is selected
    std::size_t bound() const { return bound_; }
    // Lines added since construction, also those dropped by the bound (lets a view
    // follow the list without copying it).
    unsigned long long added() const { return added_; }
    auto begin() const { return lines_.begin(); }
    auto end() const { return lines_.end(); }

private:
    std::deque<std::string> lines_;
    std::size_t bound_;
    long selected_ = -1;
    unsigned long long added_ = 0;
};

} // namespace valdrin
