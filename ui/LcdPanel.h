// The LCD panel Panel1: the meter's display mirrored from the core's LCD state, every
// element at its place and size, drawn in painting order with the glyph faces.
#pragma once

#include <QFont>
#include <QFrame>
#include <QImage>
#include <QRect>

#include <array>
#include <map>
#include <string>
#include <utility>

#include "meter/LcdState.h"
#include "ui/CellText.h"
#include "ui/Glyphs.h"

namespace valdrin {

class LcdPanel : public QFrame {
public:
    static constexpr int kWidth = 334, kHeight = 129;

    explicit LcdPanel(QWidget* parent = nullptr);

    // Shows the state; repaints only when it differs from the one shown. Only the
    // panel's own elements are drawn here (not the bar, the alarm or the link pictures).
    void showState(const LcdState& state);
    const LcdState& shownState() const { return state_; }

    // The rectangle an element covers in panel coordinates (a label sized to its text,
    // or the size it keeps), for the window and tests.
    static QRect elementRect(Lcd element, const LcdState& state);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    // A glyph label drawn once in black, placed in panel coordinates.
    using Glyph = GlyphPicture;
    const Glyph& glyph(Lcd element, const std::string& caption);

    LcdState state_;
    // Per element, prepared when its caption changes so that painting only copies:
    // a digit shows a handful of captions, each outlined and smoothed once.
    std::array<Glyph, kLcdCount> glyphs_;  // glyph labels
    std::map<std::pair<std::size_t, std::string>, Glyph> glyphCache_;
    std::array<QFont, kLcdCount> fonts_;            // Arial labels
    CellText labels_;  // their glyphs, looked up once
    std::array<QRect, kLcdCount> rects_;
};

} // namespace valdrin
