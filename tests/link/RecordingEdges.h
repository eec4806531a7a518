// Edges of the core that keep what they were asked, for assertions.
#pragma once

#include "base/Edges.h"

#include <string>
#include <vector>

namespace valdrin::test {

class RecordingMessages final : public Messages {
public:
    void information(const std::string& text, const std::string&) override { infos.push_back(text); }
    void error(const std::string& text, const std::string&) override { errors.push_back(text); }
    bool question(const std::string&) override { return true; }
    void applicationError(const std::string& text) override { errors.push_back(text); }
    std::vector<std::string> infos, errors;
};

class SilentBeeper final : public Beeper {
public:
    void beep() override {}
};

class FixedClock final : public Clock {
public:
    double now() override { return 45000.5; }
};

} // namespace valdrin::test
