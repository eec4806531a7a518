#include "ui/ConnectionPicture.h"

#include <QPainter>

namespace valdrin {

namespace {

const QColor kOutline(64, 64, 64);
const QColor kCase(192, 192, 192);
const QColor kMeterBody(255, 200, 0);
const QColor kScreenLit(255, 255, 255);
const QColor kScreenDark(40, 48, 56);

} // namespace

ConnectionPicture::ConnectionPicture(bool lit, QWidget* parent)
    : QWidget(parent), lit_(lit)
{
    setObjectName(lit ? QStringLiteral("CONok") : QStringLiteral("CONokN"));
    setFixedSize(kWidth, kHeight);
}

void ConnectionPicture::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QColor screen = lit_ ? kScreenLit : kScreenDark;
    painter.setPen(kOutline);

    // The computer: a monitor on a foot, a keyboard in front.
    painter.setBrush(kCase);
    painter.drawRect(0, 4, 12, 10);
    painter.fillRect(2, 6, 9, 7, screen);
    painter.fillRect(5, 15, 3, 2, kOutline);
    painter.drawRect(0, 17, 12, 3);

    // The cable between them.
    painter.drawLine(13, 19, 15, 19);

    // The meter: its body, its display, the range knob and two jacks.
    painter.setBrush(kMeterBody);
    painter.drawRoundedRect(15, 1, 9, 22, 2, 2);
    painter.drawRect(16, 2, 7, 6);
    painter.fillRect(17, 3, 6, 5, screen);
    painter.setBrush(kOutline);
    painter.drawEllipse(QPoint(20, 13), 2, 2);
    painter.fillRect(17, 19, 2, 2, Qt::black);
    painter.fillRect(21, 19, 2, 2, Qt::red);
}

} // namespace valdrin
