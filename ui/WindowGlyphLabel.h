// A label written in one of the meter's glyph faces (the limits panel's captions and
// unit signs), drawn with the same outlines as the LCD panel.
#pragma once

#include "ui/Glyphs.h"

#include <QWidget>

#include <string>

namespace valdrin {

class GlyphLabel final : public QWidget {
public:
    GlyphLabel(GlyphFont font, int pixelHeight, bool bold, QWidget* parent);
    void setCaption(const std::string& caption);
    const std::string& caption() const { return caption_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    GlyphFont font_;
    int pixelHeight_;
    bool bold_;
    std::string caption_;
};

} // namespace valdrin
