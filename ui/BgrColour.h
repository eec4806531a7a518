// The core gives colours as 0x00BBGGRR values (red in the low byte).
#pragma once

#include <QColor>

#include <cstdint>

namespace valdrin {

inline QColor bgrColour(uint32_t bgr)
{
    return QColor(static_cast<int>(bgr & 0xFF), static_cast<int>((bgr >> 8) & 0xFF),
                  static_cast<int>((bgr >> 16) & 0xFF));
}

} // namespace valdrin
