#include "JsonFrameWriter.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "record/TimeText.h"

namespace valdrin {

namespace {

void quoted(std::string& out, std::string_view text)
{
    static constexpr char hex[] = "0123456789abcdef";
    out += '"';
    for (unsigned char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20 || c >= 0x7F) {
            // 8-bit texts: anything outside printable ASCII as its Latin-1 code point.
            out += "\\u00";
            out += hex[c >> 4];
            out += hex[c & 0xF];
        } else {
            out += static_cast<char>(c);
        }
    }
    out += '"';
}

void key(std::string& out, std::string_view name)
{
    if (out.size() > 1)
        out += ',';
    quoted(out, name);
    out += ':';
}

void number(std::string& out, double v)
{
    char buffer[32];
    if (std::isfinite(v) && v == std::trunc(v) && std::fabs(v) < 1e15)
        std::snprintf(buffer, sizeof buffer, "%.0f", v);
    else if (std::isfinite(v))
        std::snprintf(buffer, sizeof buffer, "%.9g", v);
    else
        std::snprintf(buffer, sizeof buffer, "null");
    out += buffer;
}

void textField(std::string& out, std::string_view name, std::string_view value)
{
    key(out, name);
    quoted(out, value);
}

template <class T>
void optionalNumber(std::string& out, const std::optional<T>& v)
{
    if (v)
        number(out, static_cast<double>(*v));
    else
        out += "null";
}

} // namespace

std::string JsonFrameWriter::line(const FcommCore& core, const FrameReport& report)
{
    const SharedState& s = core.S;
    std::string out = "{";
    textField(out, "value", s.ReadingValue);
    textField(out, "mode", s.ReadingMode);
    textField(out, "unit", s.ReadingUnit);
    textField(out, "range", s.ReadingRange);
    key(out, "number");
    number(out, s.ReadingNumber);
    key(out, "point");
    optionalNumber(out, report.point);
    key(out, "trace");
    out += report.trace ? "true" : "false";
    key(out, "dial");
    optionalNumber(out, report.dial);
    key(out, "bar");
    number(out, core.Lcd.PBar2Position);
    key(out, "chart");
    optionalNumber(out, report.chart);
    key(out, "alarm");
    out += core.Lcd.oltext ? "true" : "false";
    textField(out, "maxtext", core.C.limits.MaxText);
    textField(out, "mintext", core.C.limits.MinText);
    key(out, "digits");
    out += '[';
    for (std::size_t i = 0; i < 5; ++i) {
        if (i)
            out += ',';
        quoted(out, core.Lcd.caption(static_cast<Digit>(i)));
    }
    out += ']';
    key(out, "lit");
    std::vector<std::string_view> lit;
    for (std::size_t i = 0; i < kLcdCount; ++i)
        if (core.Lcd.shownFlags[i])
            lit.push_back(kLcdNames[i]);
    std::sort(lit.begin(), lit.end());
    out += '[';
    for (std::size_t i = 0; i < lit.size(); ++i) {
        if (i)
            out += ',';
        quoted(out, lit[i]);
    }
    out += ']';
    key(out, "recorded");
    out += report.recorded ? "true" : "false";
    if (report.recorded) {
        key(out, "no");
        optionalNumber(out, core.cds1.no(report.row));
        key(out, "time");
        const auto ms = core.cds1.timeMs(report.row);
        quoted(out, ms ? formatTimeOfDay(*ms, core.LongTimeFormat) : std::string());
    }
    if (report.error) {
        key(out, "error");
        quoted(out, *report.error);
    }
    out += '}';
    return out;
}

void JsonFrameWriter::frameDecoded(const FcommCore& core, const FrameReport& report)
{
    const std::string text = line(core, report);
    std::fwrite(text.data(), 1, text.size(), out_);
    std::fputc('\n', out_);
}

} // namespace valdrin
