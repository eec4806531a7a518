// Pictures of the window: the tool buttons' glyphs (the desktop theme's icon where
// it has one, a drawn one otherwise) and the program's bar-chart icon.
#pragma once

#include <QIcon>

namespace valdrin {

enum class ToolGlyph { BlankPage, OpenFolder, Floppy, Printer };

QIcon toolIcon(ToolGlyph glyph);
// Four bars (red, blue, magenta, green) on a grey grid, 32 x 32 and 16 x 16.
QIcon barChartIcon();

} // namespace valdrin
