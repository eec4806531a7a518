#include "ui/WindowWidgets.h"

#include "ui/WindowEventHook.h"

#include <QKeyEvent>
#include <QLineEdit>

#include <QPalette>
#include <QStyle>
#include <QStyleFactory>

namespace valdrin {

QFont pixelFont(FontChoice choice)
{
    QFont font(choice.face == Face::Arial ? QStringLiteral("Liberation Sans") : QStringLiteral("Sans Serif"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(choice.pixels);
    font.setBold(choice.bold);
    font.setItalic(choice.italic);
    return font;
}

void useClassicStyle(QWidget* widget)
{
    QWidget* owner = widget->window();
    auto* style = owner->findChild<QStyle*>(QStringLiteral("classicStyle"), Qt::FindDirectChildrenOnly);
    if (!style) {
        style = QStyleFactory::create(QStringLiteral("Windows"));
        if (!style)
            return;
        style->setObjectName(QStringLiteral("classicStyle"));
        style->setParent(owner);
    }
    widget->setStyle(style);
}

void paintColours(QWidget* widget, const QColor& background, const QColor& text)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, background);
    palette.setColor(QPalette::Base, background);
    palette.setColor(QPalette::Button, background);
    if (text.isValid()) {
        palette.setColor(QPalette::WindowText, text);
        palette.setColor(QPalette::Text, text);
        palette.setColor(QPalette::ButtonText, text);
    }
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

QLineEdit* digitEdit(QWidget* parent, const char* name, const char* text, QRect place, bool (*accept)(char))
{
    auto* edit = placed(new QLineEdit(QString::fromLatin1(text), parent), name, place.x(), place.y(),
                        place.width(), place.height(), QString::fromLatin1(name));
    paintColours(edit, kSilver, Qt::black);
    // The key filter sees typed characters only: keys without text and shortcuts
    // (a paste among them) pass, so pasted text is not filtered.
    new EventHook(edit, [accept](QEvent* event) {
        if (event->type() != QEvent::KeyPress)
            return false;
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->modifiers() & (Qt::ControlModifier | Qt::MetaModifier))
            return false;
        const QString typed = key->text();
        if (typed.size() != 1 || typed[0].unicode() > 0xFF)
            return !typed.isEmpty();
        return !accept(static_cast<char>(typed[0].unicode()));
    });
    return edit;
}

} // namespace valdrin
