// The meter's side of the three frame families: a reading as the display shows it,
// e.g. "1.2345 V DC AUTO", turned into the nibbles a meter of the family sends.
//
// A reading is: VALUE UNIT [DC|AC|AC+DC] [AUTO|MANU]
//   VALUE  digits with at most one point and an optional minus sign, or OL / -OL
//   UNIT   the unit text as the program shows it ("V", "mV", "k*", "uF", "kHz", "#");
//          ohm, kohm, Mohm, degC and degF are accepted for "*", "k*", "M*", "#", "?"
#pragma once

#include "meter/FrameEncoding.h"

#include <stdexcept>
#include <string>

namespace valdrin::sim {

enum class Family { Zentor, Teskar, Brevast };

class ReadingError : public std::invalid_argument {
public:
    using std::invalid_argument::invalid_argument;
};

// Zentor: digits 1-5, range, function, coupling, status (9 nibbles).
std::string zentorNibbles(const std::string& reading);
// Teskar: the 14 display-bit nibbles.
std::string teskarNibbles(const std::string& reading);
// Brevast: range, digits 1-4, function, status, frequency pair, status (9 nibbles).
std::string brevastNibbles(const std::string& reading);

// The frame's bytes on the wire. Throws ReadingError for a reading the family
// cannot show.
Bytes readingFrame(Family family, const std::string& reading);

} // namespace valdrin::sim
