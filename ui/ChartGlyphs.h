// Glyphs of the chart's tool row: the desktop theme's icon where the theme has
// one, a drawn one otherwise, so the buttons never come out blank.
#pragma once

#include <QIcon>

namespace valdrin {

enum class ChartGlyph { New, Save, First, Previous, Next, Last, Enlarge, Restore };

QIcon chartGlyph(ChartGlyph glyph);

} // namespace valdrin
