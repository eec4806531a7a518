// Small Qt glue of the window: an event filter that runs a function (key filters,
// key releases, focus changes, labels sized when shown), and a panel that acts as
// a button.
#pragma once

#include <QEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QObject>

#include <functional>

namespace valdrin {

// Installed on a widget; the function sees each of its events and returns true to
// swallow it.
class EventHook final : public QObject {
public:
    EventHook(QObject* watched, std::function<bool(QEvent*)> filter)
        : QObject(watched), filter_(std::move(filter))
    {
        watched->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override { return filter_(event); }

private:
    std::function<bool(QEvent*)> filter_;
};

// A label that the mirror does not size while it is hidden sizes itself to its
// caption when it is shown.
inline void sizeWhenShown(QLabel* label)
{
    new EventHook(label, [label](QEvent* event) {
        if (event->type() == QEvent::Show)
            label->adjustSize();
        return false;
    });
}

// A panel used as a button: a click (press and release on it) runs onClick while
// it is enabled; a disabled panel takes no clicks.
class PanelButton final : public QLabel {
public:
    using QLabel::QLabel;
    std::function<void()> onClick;

protected:
    void mouseReleaseEvent(QMouseEvent* event) override
    {
        if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()) && onClick)
            onClick();
        QLabel::mouseReleaseEvent(event);
    }
};

} // namespace valdrin
