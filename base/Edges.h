// The edges of the core: what the window and the companion supply differently.
// Tests use recording implementations of these.
#pragma once

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

} // namespace valdrin
