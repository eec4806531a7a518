#include "chart/DialModel.h"

#include "chart/DialScale.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <numbers>
#include <stdexcept>

namespace valdrin {

namespace {

constexpr float Pi = std::numbers::pi_v<float>;
constexpr int NeedlePen = 2;
constexpr int MarkPen = 2;
constexpr int BandPen = 4;

// Rounds half to even (the default rounding mode) and adds a whole-pixel offset,
// saturating instead of overflowing; NaN, which sound inputs never produce, gives
// the offset alone.
int pixel(float v, int offset = 0)
{
    const float r = std::nearbyint(v);
    if (std::isnan(r))
        return offset;
    const double d = static_cast<double>(r) + offset;
    if (d >= static_cast<double>(INT_MAX))
        return INT_MAX;
    if (d <= static_cast<double>(INT_MIN))
        return INT_MIN;
    return static_cast<int>(d);
}

DialItem ellipse(DialPoint at, int pen, uint32_t colour)
{
    return {DialItem::Kind::Ellipse, at.x, at.y, at.x + 2, at.y + 2, pen, colour, {}};
}

} // namespace

DialModel::DialModel(int panelWidth, int panelHeight)
{
    if (panelWidth <= 40 || panelHeight <= 60)
        throw std::invalid_argument("dial panel too small: " + std::to_string(panelWidth) + " x " +
                                    std::to_string(panelHeight));
    w_ = static_cast<float>(panelWidth) - 40.0f;
    h_ = static_cast<float>(panelHeight) - 60.0f;
    // Radius of the circle on which a chord of length w has the height h.
    R_ = (4.0f * h_ * h_ + w_ * w_) / (8.0f * h_);
    // The degree conversion of the opening angle deliberately uses 3.1415.
    theta_ = 2.0f * std::atan((w_ / 2.0f) / (R_ - h_)) * 180.0f / 3.1415f;
    alpha0_ = (180.0f - theta_) / 2.0f;
    baseL_ = R_ - h_ - 280.0f;
    baseY_ = pixel(h_ + 280.0f, 30);
}

float DialModel::angleDegrees(int64_t step, int64_t steps) const
{
    if (steps <= 0) // a scale without steps has only its left end
        return alpha0_;
    return theta_ / static_cast<float>(steps) * static_cast<float>(step) + alpha0_;
}

DialPoint DialModel::stepPoint(int64_t step, int64_t steps, float r) const
{
    const float a = angleDegrees(step, steps) * Pi / 180.0f;
    return {pixel(w_ / 2.0f - r * std::cos(a) + 20.0f), pixel(R_ - r * std::sin(a) + 30.0f)};
}

void DialModel::KDsetup(const DialParams& params)
{
    const int64_t n = params.FrequencyMode ? 100 : params.DialTicks;
    const int64_t bandSteps = 10 * static_cast<int64_t>(params.DialTicks);
    const auto numbers = scaleNumbers(params.CountFamily, params.FrequencyMode);

    faceRevision_ = ++revisions_;
    face_.clear();
    face_.reserve(static_cast<size_t>(1 + 2 * std::max<int64_t>(n + 1, 0) + std::max<int64_t>(bandSteps + 1, 0)));
    face_.push_back({DialItem::Kind::Clear, 0, 0, 0, 0, 0, DialWhite, {}});

    auto number = numbers.begin();
    for (int64_t s = 0; s <= n; ++s) {
        while (number != numbers.end() && number->step < s)
            ++number;
        if (number != numbers.end() && number->step == s) {
            const DialPoint t = stepPoint(s, n, R_ + 18.0f);
            face_.push_back({DialItem::Kind::Text, t.x - number->dx, t.y - number->dy, 0, 0, 0, DialBlack,
                             std::string(number->text)});
        }
        if (const auto colour = scaleMarkColour(params.CountFamily, params.FrequencyMode, static_cast<int32_t>(s)))
            face_.push_back(ellipse(stepPoint(s, n, R_ + 6.0f), MarkPen, *colour));
    }

    // The limit band: one dot per needle position, red where an armed limit is exceeded.
    const int64_t centre = params.DialCentre;
    for (int64_t k = 0; k <= bandSteps; ++k) {
        const double v = centre == 0 ? 0.0
                                     : static_cast<double>((k - centre) * params.FullScale) /
                                           static_cast<double>(centre);
        uint32_t colour = DialBlack;
        if (v > params.UpperLimit && params.SetMaxB)
            colour = DialRed;
        else if (v < params.LowerLimit && params.SetMinB)
            colour = DialRed;
        face_.push_back(ellipse(stepPoint(k, bandSteps, R_ + 3.0f), BandPen, colour));
    }
}

DialModel::NeedleMove DialModel::KDrun(int32_t position, const DialParams& params)
{
    const int64_t n = params.FrequencyMode ? 1000 : 10 * static_cast<int64_t>(params.DialTicks);
    const int64_t p = params.FrequencyMode ? static_cast<int64_t>(position) + 100 : position;

    float degrees = angleDegrees(p, n);
    constexpr float lo = NeedleMinDegrees, hi = 180.0f - NeedleMinDegrees;
    if (!(degrees >= lo))
        degrees = lo;
    else if (degrees > hi)
        degrees = hi;
    const float a = degrees * Pi / 180.0f;
    const float c = std::cos(a), s = std::sin(a);

    // Tip on the scale's radius, 4 pixels lower; base where the line from the tip
    // through the centre meets the horizontal 280 pixels below the arc's ends.
    const DialPoint tip{pixel(w_ / 2.0f - R_ * c, 20), pixel(R_ - R_ * s + 4.0f, 30)};
    const DialPoint base{pixel(w_ / 2.0f - baseL_ * c / s, 20), baseY_};

    NeedleMove move{
        {DialItem::Kind::Line, NeedleTip.x, NeedleTip.y, NeedleBase.x, NeedleBase.y, NeedlePen, DialWhite, {}},
        {DialItem::Kind::Line, tip.x, tip.y, base.x, base.y, NeedlePen, DialBlack, {}},
    };
    NeedleTip = tip;
    NeedleBase = base;
    needleRevision_ = ++revisions_;
    return move;
}

} // namespace valdrin
