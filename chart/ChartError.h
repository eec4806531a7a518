// The error the chart raises for a setting it refuses.
#pragma once

#include <stdexcept>
#include <string>

namespace valdrin {

class ChartError : public std::runtime_error {
public:
    explicit ChartError(const std::string& text) : std::runtime_error(text) {}
};

} // namespace valdrin
