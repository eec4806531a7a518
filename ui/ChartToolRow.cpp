#include "ui/ChartToolRow.h"

#include "meter/FcommCore.h"
#include "ui/ChartGlyphs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFrame>
#include <QKeyEvent>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QToolButton>

namespace valdrin {
namespace {

constexpr int RowTop = 3;
constexpr int RowHeight = 23;
constexpr int ButtonWidth = 23;

// Maxrecord takes the keys RecordSITimeKeyPress accepts: digits and backspace.
class PointsPerPageKeys : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::KeyPress) {
            // The characters a key types, control characters included; Delete types
            // none on the meter's home platform and edits freely.
            const QString text = static_cast<QKeyEvent*>(event)->text();
            if (text.size() == 1 && text[0] != QChar(0x7F)) {
                const char16_t c = text[0].unicode();
                if (!FcommCore::RecordSITimeKeyPress(c < 128 ? static_cast<char>(c) : '\0'))
                    return true;
            }
        }
        return QObject::eventFilter(watched, event);
    }
};

QToolButton* button(QWidget& parent, const char* name, const QString& hint, int left)
{
    auto* b = new QToolButton(&parent);
    b->setObjectName(name);
    b->setToolTip(hint);
    b->setAccessibleName(hint);
    b->setGeometry(left, RowTop, ButtonWidth, RowHeight);
    b->setAutoRaise(false);
    return b;
}

QToolButton* glyphButton(QWidget& parent, const char* name, const QString& hint, int left, ChartGlyph glyph)
{
    QToolButton* b = button(parent, name, hint, left);
    b->setIcon(chartGlyph(glyph));
    return b;
}

} // namespace

ChartToolRow buildChartToolRow(QWidget& chart, FcommCore& core, ChartToolActions actions)
{
    ChartToolRow row{};
    auto changed = actions.changed;
    // Every control runs its handler at the edge, then the chart shows the result.
    auto run = [&core, changed](auto handler) {
        return [&core, changed, handler] {
            core.guarded([&] { handler(core); });
            changed();
        };
    };

    row.Bevel1 = new QFrame(&chart);
    row.Bevel1->setObjectName("Bevel1");
    row.Bevel1->setFrameStyle(QFrame::Box | QFrame::Sunken);
    row.Bevel1->setGeometry(4, RowTop, 48, RowHeight);
    row.BtFill = new QCheckBox("Fill", row.Bevel1);
    row.BtFill->setObjectName("BtFill");
    row.BtFill->setToolTip("Graphic Fill");
    row.BtFill->setAccessibleName("Fill");
    row.BtFill->setChecked(true);
    row.BtFill->setGeometry(4, 2, 42, RowHeight - 4);
    QObject::connect(row.BtFill, &QCheckBox::clicked, &chart, [&core, changed](bool checked) {
        core.guarded([&] {
            core.S.chart.setBtFillChecked(checked);
            core.btFillClick();
        });
        changed();
    });

    row.Maxrecord = new QLineEdit("100", &chart);
    row.Maxrecord->setObjectName("Maxrecord");
    row.Maxrecord->setAccessibleName("100");
    row.Maxrecord->setGeometry(54, RowTop, 40, RowHeight);
    row.Maxrecord->installEventFilter(new PointsPerPageKeys(row.Maxrecord));
    // Every change of the text sets the points per page (MaxrecordExit reports a
    // text that is no number itself and keeps the previous value).
    QObject::connect(row.Maxrecord, &QLineEdit::textChanged, &chart, [&core, changed](const QString& text) {
        core.MaxrecordExit(text.toStdString());
        changed();
    });

    row.BtNew = glyphButton(chart, "BtNew", "New", 96, ChartGlyph::New);
    QObject::connect(row.BtNew, &QToolButton::clicked, &chart, run([](FcommCore& c) { c.BtNewClick(); }));
    row.BtSave = glyphButton(chart, "BtSave", "Save", 119, ChartGlyph::Save);
    QObject::connect(row.BtSave, &QToolButton::clicked, &chart, [actions] { actions.save(); });
    row.BtFirst = glyphButton(chart, "BtFirst", "First", 142, ChartGlyph::First);
    QObject::connect(row.BtFirst, &QToolButton::clicked, &chart, run([](FcommCore& c) { c.BtFirstClick(); }));
    row.BTPrevious = glyphButton(chart, "BTPrevious", "Previous", 165, ChartGlyph::Previous);
    QObject::connect(row.BTPrevious, &QToolButton::clicked, &chart, run([](FcommCore& c) { c.BTPreviousClick(); }));

    // The page number: a button that only shows it.
    row.Bt10 = button(chart, "Bt10", "Page No.", 188);
    row.Bt10->setGeometry(188, RowTop, 40, RowHeight);
    row.Bt10->setText("1");
    QPalette blue = row.Bt10->palette();
    blue.setColor(QPalette::ButtonText, Qt::blue);
    row.Bt10->setPalette(blue);

    row.BtNext = glyphButton(chart, "BtNext", "Next", 228, ChartGlyph::Next);
    QObject::connect(row.BtNext, &QToolButton::clicked, &chart, run([](FcommCore& c) { c.BtNextClick(); }));
    row.BTlast = glyphButton(chart, "BTlast", "last", 251, ChartGlyph::Last);
    QObject::connect(row.BTlast, &QToolButton::clicked, &chart, run([](FcommCore& c) { c.BTlastClick(); }));

    row.ComboBox1 = new QComboBox(&chart);
    row.ComboBox1->setObjectName("ComboBox1");
    row.ComboBox1->addItems({"atile", "btile"});
    row.ComboBox1->setGeometry(276, RowTop, 60, RowHeight);
    row.ComboBox1->hide();
    QObject::connect(row.ComboBox1, &QComboBox::currentIndexChanged, &chart, [&core, changed](int index) {
        if (index < 0)
            return;
        core.guarded([&] { core.ComboBox1Change(index); });
        changed();
    });

    // Enlarge and restore share a place; the model says which one shows.
    auto zoom = [&chart, &core, changed] {
        const QSize outer = chart.window()->frameGeometry().size();
        core.guarded([&] { core.TbFdClick(outer.width(), outer.height()); });
        changed();
    };
    row.TbFd = glyphButton(chart, "TbFd", "Graphic Enlarge", 341, ChartGlyph::Enlarge);
    row.TbSx = glyphButton(chart, "TbSx", "Graphic Restore", 341, ChartGlyph::Restore);
    for (QToolButton* b : {row.TbFd, row.TbSx}) {
        b->setGeometry(341, 2, 25, 25);
        b->setAutoRaise(true);
        QObject::connect(b, &QToolButton::clicked, &chart, zoom);
    }
    row.TbSx->hide();
    return row;
}

void mirrorChartControls(const ChartToolRow& row, const ChartControls& controls)
{
    {
        const QSignalBlocker quiet(row.BtFill);
        row.BtFill->setChecked(controls.BtFillChecked);
    }
    {
        const QSignalBlocker quiet(row.ComboBox1);
        row.ComboBox1->setCurrentIndex(controls.ComboBox1ItemIndex);
    }
    row.BtFirst->setEnabled(controls.BtFirstEnabled);
    row.BTPrevious->setEnabled(controls.BTPreviousEnabled);
    row.BtNext->setEnabled(controls.BtNextEnabled);
    row.BTlast->setEnabled(controls.BTlastEnabled);
    row.Bt10->setText(QString::fromStdString(controls.Bt10Caption));
    row.TbFd->setVisible(controls.TbFdVisible);
    row.TbSx->setVisible(controls.TbSxVisible);
}

} // namespace valdrin
