// Edges of the core for tests: messages and beeps are recorded, the clock is set by hand.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "base/Edges.h"

namespace valdrin::test {

class RecordingMessages : public Messages {
public:
    struct Shown {
        std::string kind, text, caption;
    };
    std::vector<Shown> shown;
    std::vector<std::string> errors;  // the application's error handler
    bool answer = true;

    void information(const std::string& text, const std::string& caption) override
    {
        shown.push_back({"information", text, caption});
    }
    void error(const std::string& text, const std::string& caption) override
    {
        shown.push_back({"error", text, caption});
    }
    bool question(const std::string& text) override
    {
        shown.push_back({"question", text, ""});
        return answer;
    }
    void applicationError(const std::string& text) override { errors.push_back(text); }

    // The texts shown as kind ("information", "error" or "question"), in order.
    std::vector<std::string> texts(const std::string& kind) const
    {
        std::vector<std::string> out;
        for (const Shown& s : shown)
            if (s.kind == kind)
                out.push_back(s.text);
        return out;
    }
};

class CountingBeeper : public Beeper {
public:
    int beeps = 0;
    void beep() override { ++beeps; }
};

class FixedClock : public Clock {
public:
    double days = 46000.0 + (14 * 3600 + 3 * 60 + 27) / 86400.0;  // a day at 14:03:27
    double now() override { return days; }
};

// Answers each dialog with the next name queued (nothing: cancelled) and keeps
// the options it was shown with.
class ScriptedFileDialogs : public FileDialogs {
public:
    std::vector<std::optional<std::string>> answers;
    std::vector<FileDialogOptions> asked;

    std::optional<std::string> saveFileName(const FileDialogOptions& options) override { return next(options); }
    std::optional<std::string> openFileName(const FileDialogOptions& options) override { return next(options); }

private:
    std::optional<std::string> next(const FileDialogOptions& options)
    {
        asked.push_back(options);
        if (answers.empty())
            return std::nullopt;
        auto answer = answers.front();
        answers.erase(answers.begin());
        return answer;
    }
};

} // namespace valdrin::test
