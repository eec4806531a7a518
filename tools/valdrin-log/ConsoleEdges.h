// The companion's edges: messages go to standard error, errors of single frames are
// only counted (the JSON lines carry them), the beep is silent.
#pragma once

#include <cstdio>
#include <string>

#include "base/Edges.h"

namespace valdrin {

class ConsoleMessages : public Messages {
public:
    explicit ConsoleMessages(std::FILE* err) : err_(err) {}
    void information(const std::string& text, const std::string& caption) override;
    void error(const std::string& text, const std::string& caption) override;
    bool question(const std::string& text) override;
    void applicationError(const std::string& text) override;

    // The system's text of the last error reported, for the exit message.
    const std::string& lastError() const { return lastError_; }

private:
    std::FILE* err_;
    std::string lastError_;
};

class SilentBeeper : public Beeper {
public:
    void beep() override {}
};

} // namespace valdrin
