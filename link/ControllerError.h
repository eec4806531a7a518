// The HID component's one error: raised when a controller or a device cannot be
// made, with the reason as its text.
#pragma once

#include <stdexcept>

namespace valdrin {

class EControllerError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

} // namespace valdrin
