// Helpers that give the window's controls their design settings: fonts in pixels
// (so nothing scales with the desktop's font size), names, places and colours,
// and the digit edits with their key filters.
#pragma once

#include <QColor>
#include <QFont>
#include <QRect>
#include <QString>
#include <QWidget>

class QLineEdit;

namespace valdrin {

enum class Face { MsSansSerif, Arial };

struct FontChoice {
    Face face = Face::MsSansSerif;
    int pixels = 11;
    bool bold = false;
    bool italic = false;
};

// MS Sans Serif is the default sans face; Arial is Liberation Sans.
QFont pixelFont(FontChoice choice);

// Object name, place in the parent (left, top, width, height), and the accessible
// name (the caption or hint that a screen reader and a test find it by).
template <class W>
W* placed(W* widget, const char* name, int left, int top, int width, int height, const QString& accessible = {})
{
    widget->setObjectName(QString::fromLatin1(name));
    widget->setGeometry(left, top, width, height);
    if (!accessible.isEmpty())
        widget->setAccessibleName(accessible);
    return widget;
}

// Background (and optionally text) colour of a widget that fills its background.
void paintColours(QWidget* widget, const QColor& background, const QColor& text = QColor());

// An edit that takes only the characters accept lets through as typed keys; keys
// without text and shortcuts pass, so a paste is not filtered.
QLineEdit* digitEdit(QWidget* parent, const char* name, const char* text, QRect place, bool (*accept)(char));

// Gives a widget the classic Windows look: the block bar, the plain scroll bar and
// the check box whose caption starts where the meter programs of its time put it
// (13-pixel box, 4-pixel gap). One style object serves the whole window.
void useClassicStyle(QWidget* widget);

inline const QColor kSilver(192, 192, 192);
inline const QColor kGrey(128, 128, 128);

} // namespace valdrin
