#include "ui/AlarmPanel.h"

namespace valdrin {

AlarmPanel::AlarmPanel(QWidget* parent)
    : QLabel(QStringLiteral("OL !!"), parent)
{
    setObjectName(QStringLiteral("oltext"));
    setFixedSize(kWidth, kHeight);
    setAlignment(Qt::AlignCenter);
    setTextFormat(Qt::PlainText);
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(35);
    font.setBold(true);
    setFont(font);
    QPalette colours = palette();
    colours.setColor(QPalette::Window, QColor(128, 128, 128));
    colours.setColor(QPalette::WindowText, Qt::white);
    setPalette(colours);
    setAutoFillBackground(true);
    setFrameStyle(QFrame::Panel | QFrame::Raised);
    setLineWidth(1);
}

} // namespace valdrin
