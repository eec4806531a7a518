#include "ui/LcdPanel.h"

#include "ui/Glyphs.h"

#include <QFontMetrics>
#include <QPaintEvent>
#include <QPainter>
#include <QPainterPath>

#include <array>
#include <cmath>

namespace valdrin {

namespace {

const QColor kBackground(232, 232, 232);
const QColor kBevelShadow(128, 128, 128);
const QColor kBevelLight(255, 255, 255);

enum class Face : uint8_t { Digits, Symbols, Arial, Point };

// One element of the panel: its caption, face, pixel height and place. Labels size
// themselves to their text from their top left unless they keep the size given; the
// given height is the line height of the face.
struct Element {
    const char* caption;
    Face face;
    int pixelHeight;
    bool bold;
    int left, top, width, height;
    bool opaque;
    bool fixedSize;
};

// In the order of the Lcd enumeration, which is the painting order.
constexpr std::array<Element, kLcdCount> kElements = {{
    {"M", Face::Symbols, 24, false, 278, 57, 20, 27, false, false},      // LCDM1
    {"9", Face::Digits, 100, false, 88, 20, 38, 112, false, false},      // LcdDa
    {"AUTO", Face::Symbols, 19, true, 8, 11, 58, 21, false, false},      // LcdAuto
    {"m", Face::Symbols, 24, false, 280, 81, 20, 27, false, false},      // Lcdm
    {"RS", Face::Symbols, 19, true, 70, 11, 29, 21, true, false},        // LCDRS
    {"9", Face::Digits, 100, false, 136, 20, 38, 112, false, false},     // LcdDb
    {"9", Face::Digits, 100, false, 184, 20, 38, 112, false, false},     // LcdDc
    {"9", Face::Digits, 100, false, 232, 20, 38, 112, false, false},     // LcdDd
    {"", Face::Point, 0, false, 224, 105, 7, 8, false, true},            // LcdP3
    {"", Face::Point, 0, false, 175, 105, 7, 8, false, true},            // LcdP2
    {"", Face::Point, 0, false, 127, 105, 7, 8, false, true},            // LcdP1
    {"-", Face::Digits, 100, false, 5, 20, 26, 112, false, true},        // LcdFH
    {"AC", Face::Symbols, 20, true, 182, 14, 29, 22, false, false},      // LcdAC
    {"232C", Face::Arial, 14, true, 98, 15, 34, 16, true, false},        // LCD232C
    {"V", Face::Symbols, 24, false, 304, 83, 16, 27, false, false},      // LcdV
    {"k", Face::Symbols, 27, false, 286, 55, 14, 30, false, false},      // LCDk
    {"n", Face::Symbols, 24, false, 288, 82, 13, 27, false, false},      // LCDn
    {"%", Face::Symbols, 24, false, 136, 8, 21, 27, false, false},       // LCDBF
    {"A", Face::Symbols, 24, false, 304, 82, 16, 27, false, false},      // LCDA
    {"Hz", Face::Symbols, 24, false, 296, 58, 29, 27, false, false},     // LCDHz
    {"F", Face::Symbols, 24, false, 304, 82, 15, 27, false, false},      // LCDF
    {"\"", Face::Symbols, 35, false, 8, 30, 19, 39, false, false},       // LCDHold
    {"!", Face::Symbols, 32, false, 160, 3, 19, 36, false, false},       // LCDRec
    {"$", Face::Symbols, 35, false, 8, 80, 12, 39, false, false},        // LCDBATT
    {"(", Face::Symbols, 35, false, 288, 25, 11, 39, false, false},      // LCDBT
    {"#", Face::Symbols, 32, false, 304, 33, 24, 36, false, false},      // LCDCS
    {"?", Face::Symbols, 32, false, 304, 33, 23, 36, false, false},      // LCDFS
    {")", Face::Symbols, 29, false, 296, 33, 31, 32, false, false},      // LCDDI
    {"*", Face::Symbols, 29, false, 304, 54, 19, 32, false, false},      // LCDohm
    {"&", Face::Symbols, 32, false, 296, 31, 25, 36, false, true},       // LCDFm
    {"+", Face::Symbols, 32, false, 288, 75, 16, 36, false, false},      // LCDu
    {"DC", Face::Symbols, 20, true, 223, 14, 30, 22, false, false},      // LcdDc1
    {"RPM", Face::Symbols, 19, true, 286, 11, 46, 21, false, false},     // LcdRPM
    {"T", Face::Symbols, 19, true, 253, 13, 13, 21, false, false},       // LCDTRMST
    {"RMS", Face::Symbols, 12, true, 264, 19, 30, 14, false, false},     // LCDTRMS
    {"AC+DC", Face::Arial, 16, true, 77, 14, 56, 19, false, false},      // LcdACDC
    {"3", Face::Digits, 100, false, 40, 20, 38, 112, false, false},      // LcdD0
    {"", Face::Point, 0, false, 78, 105, 7, 8, false, true},             // LcdP0
    {"+", Face::Arial, 21, false, 211, 13, 12, 24, false, false},        // LCDJa
    {"W", Face::Symbols, 19, true, 296, 99, 19, 21, false, false},       // lcdW
}};

const Element& look(Lcd e) { return kElements[static_cast<std::size_t>(e)]; }

// The digit slot of a digit element, or -1.
int digitSlot(Lcd e)
{
    for (std::size_t i = 0; i < kDigitElements.size(); ++i)
        if (kDigitElements[i] == e)
            return static_cast<int>(i);
    return -1;
}

std::string captionOf(Lcd e, const LcdState& state)
{
    const int slot = digitSlot(e);
    return slot >= 0 ? state.caption(static_cast<Digit>(slot)) : std::string(look(e).caption);
}

QFont arialFont(const Element& el)
{
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(el.pixelHeight);
    font.setBold(el.bold);
    return font;
}

GlyphFont glyphFont(Face face) { return face == Face::Digits ? GlyphFont::KelvoA3 : GlyphFont::KelvoA2; }

QRect rectOf(Lcd e, std::string_view caption)
{
    const Element& el = look(e);
    if (el.fixedSize)
        return QRect(el.left, el.top, el.width, el.height);
    int width = 0;
    if (el.face == Face::Arial)
        width = QFontMetrics(arialFont(el)).horizontalAdvance(QString::fromLatin1(caption.data(),
                                                                                  static_cast<int>(caption.size())));
    else
        width = static_cast<int>(std::ceil(glyphTextWidth(glyphFont(el.face), el.pixelHeight, caption)));
    return QRect(el.left, el.top, width, el.height);
}

// The outline of a glyph label in panel coordinates, cut to the label where it keeps
// its size (as a label clips its text).
QPainterPath glyphOutline(Lcd e, std::string_view caption)
{
    const Element& el = look(e);
    QPainterPath path =
        glyphTextPath(glyphFont(el.face), el.pixelHeight, caption, el.bold).translated(el.left, el.top);
    if (el.fixedSize) {
        QPainterPath bounds;
        bounds.addRect(rectOf(e, caption));
        path = path.intersected(bounds);
    }
    return path;
}

bool sameDisplay(const LcdState& a, const LcdState& b)
{
    return a.shownFlags == b.shownFlags && a.digitCaptions == b.digitCaptions;
}

} // namespace

QRect LcdPanel::elementRect(Lcd element, const LcdState& state)
{
    return rectOf(element, captionOf(element, state));
}

LcdPanel::LcdPanel(QWidget* parent)
    : QFrame(parent)
{
    setObjectName(QStringLiteral("Panel1"));
    setFixedSize(kWidth, kHeight);
    setFrameStyle(QFrame::NoFrame);  // the bevel is drawn with the panel
    setAttribute(Qt::WA_OpaquePaintEvent);
    for (std::size_t i = 0; i < kLcdCount; ++i) {
        const Lcd e = static_cast<Lcd>(i);
        const Element& el = kElements[i];
        if (el.face == Face::Digits || el.face == Face::Symbols)
            glyphs_[i] = glyph(e, captionOf(e, state_));
        else if (el.face == Face::Arial)
            fonts_[i] = arialFont(el);
        rects_[i] = elementRect(e, state_);
    }
}

void LcdPanel::showState(const LcdState& state)
{
    if (sameDisplay(state, state_))
        return;
    QRect changed; // one rectangle around all changes: cheaper to gather and to paint
    for (std::size_t i = 0; i < kLcdCount; ++i) {
        const Lcd e = static_cast<Lcd>(i);
        const bool captionChanged = captionOf(e, state) != captionOf(e, state_);
        if (state.shownFlags[i] == state_.shownFlags[i] && !captionChanged)
            continue;
        // A pixel around the label: smoothed glyph edges and a text's overhang.
        changed |= rects_[i].adjusted(-1, -1, 1, 1);
        if (captionChanged) {
            const Element& el = kElements[i];
            if (el.face == Face::Digits || el.face == Face::Symbols)
                glyphs_[i] = glyph(e, captionOf(e, state));
            rects_[i] = elementRect(e, state);
            changed |= rects_[i].adjusted(-1, -1, 1, 1);
        }
    }
    state_ = state;
    // One rectangle: the paint then fills and copies under a plain rectangular clip.
    update(changed);
}

const LcdPanel::Glyph& LcdPanel::glyph(Lcd element, const std::string& caption)
{
    const auto key = std::make_pair(static_cast<std::size_t>(element), caption);
    auto found = glyphCache_.find(key);
    if (found != glyphCache_.end())
        return found->second;
    return glyphCache_.emplace(key, glyphPicture(glyphOutline(element, caption), Qt::black)).first->second;
}

void LcdPanel::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    painter.fillRect(event->rect(), kBackground);
    // The lowered bevel: shadow along the top and left, light along the bottom and
    // right; one-pixel strips, which the clip cuts to the changed rectangle cheaply.
    painter.fillRect(QRect(0, 0, width(), 1), kBevelShadow);
    painter.fillRect(QRect(0, 1, 1, height() - 1), kBevelShadow);
    painter.fillRect(QRect(1, height() - 1, width() - 1, 1), kBevelLight);
    painter.fillRect(QRect(width() - 1, 1, 1, height() - 2), kBevelLight);

    painter.setPen(Qt::black);  // the Arial labels' colour
    for (std::size_t i = 0; i < kLcdCount; ++i) {
        if (!state_.shownFlags[i] || !event->rect().intersects(rects_[i].adjusted(-1, -1, 1, 1)))
            continue;
        const Element& el = kElements[i];
        if (el.opaque)
            painter.fillRect(rects_[i], kBackground);
        switch (el.face) {
        case Face::Point:
            painter.fillRect(rects_[i], Qt::black);
            break;
        case Face::Arial:
            labels_.draw(painter, rects_[i], Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
                         QString::fromLatin1(el.caption), fonts_[i]);
            break;
        default:
            painter.drawImage(glyphs_[i].at, glyphs_[i].image);
            break;
        }
    }
}

} // namespace valdrin
