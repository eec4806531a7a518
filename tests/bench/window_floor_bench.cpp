// What any Qt window costs at the meter's pace on this machine and display: a
// window of the main window's size whose one small widget repaints 20 times a
// second from a timer, nothing else. scripts/bench-window runs it beside the real
// window, so that the window's own share can be told from the toolkit's and the
// X server's per-repaint cost. Runs until killed.
#include <QApplication>
#include <QPainter>
#include <QTimer>
#include <QWidget>

namespace {

class Blinker final : public QWidget {
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.fillRect(rect(), (++paints_ % 2) ? Qt::black : Qt::white);
    }

private:
    unsigned paints_ = 0;
};

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("window floor"));
    window.setFixedSize(711, 505);
    auto* blinker = new Blinker(&window);
    blinker->setGeometry(10, 10, 20, 20);
    window.show();
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, blinker, [blinker] { blinker->update(); });
    tick.start(50);
    return app.exec();
}
