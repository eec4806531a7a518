#include "tools/valdrin-sim/ReadingFrames.h"

#include <array>
#include <sstream>
#include <vector>

namespace valdrin::sim {

namespace {

struct Parsed {
    bool negative = false;
    bool overload = false;
    std::string digits;      // without sign and point
    int pointAfter = -1;     // digits before the point; -1 without a point
    std::string unit;
    std::string mode;        // "", "DC", "AC", "AC+DC"
    bool autoRange = false;
};

std::string canonicalUnit(const std::string& unit)
{
    if (unit == "ohm")
        return "*";
    if (unit == "kohm")
        return "k*";
    if (unit == "Mohm")
        return "M*";
    if (unit == "degC")
        return "#";
    if (unit == "degF")
        return "?";
    return unit;
}

Parsed parse(const std::string& reading)
{
    std::istringstream in(reading);
    std::vector<std::string> words;
    for (std::string w; in >> w;)
        words.push_back(w);
    if (words.size() < 2)
        throw ReadingError("reading \"" + reading + "\": expected VALUE UNIT [DC|AC|AC+DC] [AUTO|MANU]");
    Parsed p;
    std::string value = words[0];
    if (!value.empty() && value[0] == '-') {
        p.negative = true;
        value.erase(0, 1);
    }
    if (value == "OL") {
        p.overload = true;
    } else {
        for (char c : value) {
            if (c == '.' && p.pointAfter < 0)
                p.pointAfter = static_cast<int>(p.digits.size());
            else if (c >= '0' && c <= '9')
                p.digits += c;
            else
                throw ReadingError("reading \"" + reading + "\": \"" + words[0] + "\" is not a displayed value");
        }
        if (p.digits.empty())
            throw ReadingError("reading \"" + reading + "\": no digits");
    }
    p.unit = canonicalUnit(words[1]);
    for (std::size_t i = 2; i < words.size(); ++i) {
        if (words[i] == "DC" || words[i] == "AC" || words[i] == "AC+DC")
            p.mode = words[i];
        else if (words[i] == "AUTO")
            p.autoRange = true;
        else if (words[i] != "MANU")
            throw ReadingError("reading \"" + reading + "\": unknown word \"" + words[i] + "\"");
    }
    return p;
}

// One way a family shows a unit: its function and range codes and where the point
// stands (-1: no point).
struct UnitForm {
    char function;
    char range;
    const char* unit;
    int point;
};

// Zentor: point index 0 stands after the first digit.
constexpr UnitForm kZentorForms[] = {
    {'1', '1', "V", 0},   {'1', '2', "V", 1},   {'1', '3', "V", 2},   {'1', '4', "V", 3},   {'1', '0', "V", -1},
    {'3', '0', "mV", 2},  {'4', '1', "*", 2},   {'4', '2', "k*", 0},  {'4', '3', "k*", 1},  {'4', '4', "k*", 2},
    {'4', '5', "M*", 0},  {'4', '6', "M*", 1},  {'4', '0', "*", -1},  {'5', '1', "nF", 1},  {'5', '2', "nF", 2},
    {'5', '3', "uF", 0},  {'5', '4', "uF", 1},  {'5', '5', "uF", 2},  {'5', '6', "mF", 0},  {'5', '7', "mF", 1},
    {'5', '0', "F", -1},  {'6', '0', "#", 3},   {'7', '0', "uA", 2},  {'7', '1', "uA", 3},  {'8', '0', "mA", 1},
    {'8', '1', "mA", 2},  {'9', '0', "A", 1},   {'7', '2', "A", -1},  {'A', '0', "*&", 2},  {'B', '0', "V)", 0},
    {'C', '0', "Hz", 1},  {'C', '1', "Hz", 2},  {'C', '2', "kHz", 0}, {'C', '3', "kHz", 1}, {'C', '4', "kHz", 2},
    {'C', '5', "MHz", 0}, {'C', '6', "MHz", 1}, {'C', '7', "MHz", 2}, {'C', '8', "Hz", -1}, {'D', '0', "?", 3},
    {'E', '0', "W", 3},   {'F', '0', "mA%", 2}, {'0', '0', "", -1},
};

// Brevast: point 1 to 3 stands after digit 1 to 3. Units marked with the
// temperature/rotation bit carry it in their function code as 'r' (rotation) or 'c'.
constexpr UnitForm kBrevastForms[] = {
    {'B', '1', "V", 1},    {'B', '2', "V", 2},    {'B', '3', "V", 3},    {'B', '4', "V", -1},   {'B', '0', "mV", 3},
    {'D', '0', "uA", 3},   {'9', '0', "mA", 2},   {'9', '1', "mA", 3},   {'F', '0', "A", 2},    {'3', '0', "*", 3},
    {'3', '1', "k*", 1},   {'3', '2', "k*", 2},   {'3', '3', "k*", 3},   {'3', '4', "M*", 1},   {'3', '5', "M*", 2},
    {'2', '0', "Hz", -1},  {'2', '1', "kHz", 2},  {'2', '2', "kHz", 3},  {'2', '3', "MHz", 1},  {'2', '4', "MHz", 2},
    {'2', '5', "MHz", 3},  {'r', '0', "kRPM", 2}, {'r', '1', "kRPM", 3}, {'r', '2', "MRPM", 1}, {'r', '3', "MRPM", 2},
    {'r', '4', "MRPM", 3}, {'r', '5', "MRPM", -1}, {'c', '0', "#", -1},  {'4', '0', "?", -1},   {'5', '0', "&*", -1},
    {'1', '0', ")V", 1},   {'6', '0', "nF", 1},   {'6', '1', "nF", 2},   {'6', '2', "nF", 3},   {'6', '3', "uF", 1},
    {'6', '4', "uF", 2},   {'6', '5', "uF", 3},   {'6', '6', "mF", 1},   {'6', '7', "mF", 2},
};

template <std::size_t N>
const UnitForm& findForm(const UnitForm (&forms)[N], const std::string& unit, int point, bool anyPoint,
                         const char* family)
{
    const UnitForm* first = nullptr;
    std::string points;
    for (const UnitForm& f : forms) {
        if (unit != f.unit)
            continue;
        if (!first)
            first = &f;
        if (anyPoint || f.point == point)
            return f;
        points += points.empty() ? "" : ", ";
        points += f.point < 0 ? std::string("none") : "after digit " + std::to_string(f.point + 1);
    }
    if (!first)
        throw ReadingError(std::string("the ") + family + " family shows no unit \"" + unit + "\"");
    throw ReadingError(std::string("the ") + family + " family shows \"" + unit + "\" with the point " + points);
}

} // namespace

std::string zentorNibbles(const std::string& reading)
{
    const Parsed p = parse(reading);
    std::string digits;
    int point = -1;
    if (p.unit == "%") {
        // The percent display: a frequency function with the minus bit, point after digit 3.
        if (p.overload || p.negative)
            throw ReadingError("the Zentor family shows no negative or overloaded percentage");
        digits = p.digits;
        if (digits.size() > 5 || p.pointAfter != 3)
            throw ReadingError("the Zentor family shows a percentage as ddd.dd");
        digits.resize(5, '0');
        return digits + "0C" + (p.mode == "AC" ? "1" : "0") + (p.autoRange ? "5" : "4");
    }
    if (p.overload) {
        const UnitForm& f = findForm(kZentorForms, p.unit, 0, true, "Zentor");
        digits = "A0000";
        point = f.point;
    } else {
        if (p.digits.size() > 5)
            throw ReadingError("the Zentor family shows at most five digits");
        digits = p.digits;
        if (digits.size() < 4)
            digits.resize(4, '0');
        if (digits.size() == 4)
            digits += 'A';  // the fifth digit stays blank
        point = p.pointAfter < 0 ? -1 : p.pointAfter - 1;
    }
    const UnitForm& form = findForm(kZentorForms, p.unit, point, p.overload, "Zentor");
    const char coupling = p.mode == "AC" ? '1' : p.mode == "DC" ? '2' : p.mode == "AC+DC" ? '3' : '0';
    const int status = (p.negative ? 4 : 0) + (p.autoRange ? 1 : 0);
    return digits + form.range + form.function + coupling + static_cast<char>('0' + status);
}

namespace {
// Segments d c g b e f a of each digit, as the Teskar meter lights them.
const char* segmentsOf(char digit)
{
    static const char* const patterns[] = {"1101111", "0101000", "1011101", "1111001", "0111010",
                                           "1110011", "1110111", "0101001", "1111111", "1111011"};
    if (digit == 'L')
        return "1000110";
    if (digit == ' ')
        return "0000000";
    return patterns[digit - '0'];
}

char hexNibble(int v)
{
    return "0123456789ABCDEF"[v & 0xF];
}
} // namespace

std::string teskarNibbles(const std::string& reading)
{
    const Parsed p = parse(reading);
    std::array<int, 15> byte{};  // 1..14
    std::string shown = "    ";   // four digit places, blank by default
    int point = 0;               // 1..3: after digit 1..3
    if (p.overload) {
        shown = " 0L ";
        point = 2;
    } else {
        if (p.digits.size() > 4)
            throw ReadingError("the Teskar family shows at most four digits");
        const std::size_t lead = 4 - p.digits.size();
        shown.replace(lead, p.digits.size(), p.digits);
        if (p.pointAfter >= 0) {
            point = static_cast<int>(lead) + p.pointAfter;
            if (point < 1 || point > 3)
                throw ReadingError("the Teskar family has points after digits 1 to 3 only");
        }
    }
    for (int k = 1; k <= 4; ++k) {
        const char* s = segmentsOf(shown[static_cast<std::size_t>(k - 1)]);
        byte[static_cast<std::size_t>(2 * k + 1)] =
            (s[0] == '1') * 8 + (s[1] == '1') * 4 + (s[2] == '1') * 2 + (s[3] == '1');
        byte[static_cast<std::size_t>(2 * k)] = (s[4] == '1') * 4 + (s[5] == '1') * 2 + (s[6] == '1');
    }
    if (p.negative)
        byte[2] |= 8;
    if (point > 0)
        byte[static_cast<std::size_t>(2 * point + 2)] |= 8;
    byte[1] = (p.mode == "AC" || p.mode == "AC+DC" ? 8 : 0) | (p.mode == "DC" || p.mode == "AC+DC" ? 4 : 0)
              | (p.autoRange ? 2 : 0) | 1;
    if (p.unit == "#") {
        byte[14] |= 1;
    } else {
        struct Symbol {
            const char* text;
            int at, bit;
        };
        static const Symbol symbols[] = {{"Hz", 13, 2}, {"u", 10, 8}, {"n", 10, 4}, {"k", 10, 2}, {"m", 11, 8},
                                         {"%", 11, 4},  {"M", 11, 2}, {"F", 12, 8}, {"*", 12, 4}, {"A", 13, 8},
                                         {"V", 13, 4}};
        std::string rest = p.unit;
        while (!rest.empty()) {
            bool matched = false;
            for (const Symbol& s : symbols) {
                const std::string text = s.text;
                if (rest.compare(0, text.size(), text) == 0) {
                    byte[static_cast<std::size_t>(s.at)] |= s.bit;
                    rest.erase(0, text.size());
                    matched = true;
                    break;
                }
            }
            if (!matched)
                throw ReadingError("the Teskar family shows no unit \"" + p.unit + "\"");
        }
    }
    std::string out;
    for (int i = 1; i <= 14; ++i)
        out += hexNibble(byte[static_cast<std::size_t>(i)]);
    return out;
}

std::string brevastNibbles(const std::string& reading)
{
    const Parsed p = parse(reading);
    const bool shortValue = p.unit == ")V" || p.unit == "&*";  // the fourth digit stays blank
    const std::size_t places = shortValue ? 3 : 4;
    std::string digits = "0000";
    int point = -1;
    if (!p.overload) {
        if (p.digits.size() > places)
            throw ReadingError("the Brevast family shows at most " + std::to_string(places) + " digits here");
        const std::size_t lead = places - p.digits.size();
        digits = std::string(lead, '0') + p.digits + std::string(4 - places, '0');
        if (p.pointAfter >= 0)
            point = static_cast<int>(lead) + p.pointAfter;
    }
    const UnitForm& form = findForm(kBrevastForms, p.unit, point, p.overload, "Brevast");
    int status8 = (p.negative ? 4 : 0) + (p.overload ? 1 : 0);
    char function = form.function;
    if (function == 'r' || function == 'c') {
        status8 += 8;
        function = function == 'r' ? '2' : '4';
    }
    if (p.mode == "AC+DC")
        throw ReadingError("the Brevast family shows no AC+DC");
    const int status10 = (p.mode == "DC" ? 8 : 0) + (p.mode == "AC" ? 4 : 0) + (p.autoRange ? 2 : 0);
    return std::string(1, form.range) + digits + function + hexNibble(status8) + '0' + hexNibble(status10);
}

Bytes readingFrame(Family family, const std::string& reading)
{
    switch (family) {
    case Family::Zentor: return encodeLineFrame(zentorNibbles(reading));
    case Family::Teskar: return encodeTeskarFrame(teskarNibbles(reading));
    case Family::Brevast: return encodeLineFrame(brevastNibbles(reading));
    }
    return {};
}

} // namespace valdrin::sim
