// The edges of the core: what the window and the companion supply differently.
// Tests use recording implementations of these.
#pragma once

#include <optional>
#include <string>

namespace valdrin {

// Modal messages. The window shows boxes; the companion writes to standard error.
class Messages {
public:
    virtual ~Messages() = default;
    virtual void information(const std::string& text, const std::string& caption = "Information") = 0;
    virtual void error(const std::string& text, const std::string& caption = "Error") = 0;
    virtual bool question(const std::string& text) = 0;  // Yes = true
    // The application's default error handler: an uncaught error of a handler.
    virtual void applicationError(const std::string& text) = 0;
};

// The system's default message beep.
class Beeper {
public:
    virtual ~Beeper() = default;
    virtual void beep() = 0;
};

// Local date and time as days since 1899-12-30; the fraction is the time of day.
class Clock {
public:
    virtual ~Clock() = default;
    virtual double now() = 0;
};

// File dialogs. The window shows the toolkit's dialogs; tests and the companion pass
// names. The filter is written as the system writes it: "Text(*.txt)|*.txt|...".
struct FileDialogOptions {
    std::string filter;
    std::string defaultExtension;  // without the dot; appended when the name has none
    bool overwritePrompt = false;  // ask before replacing an existing file
    bool resizable = false;
};

class FileDialogs {
public:
    virtual ~FileDialogs() = default;
    // The chosen path, or nothing when the user cancelled.
    virtual std::optional<std::string> saveFileName(const FileDialogOptions& options) = 0;
    virtual std::optional<std::string> openFileName(const FileDialogOptions& options) = 0;
};

} // namespace valdrin
