// The menu bar MainMenu1, items in the form's order. Hidden menus exist with their
// items wired, so code can still run them; the user reaches only "Record".
#include "ui/BrevastF.h"

#include <QAbstractButton>
#include <QFrame>
#include <QMenu>
#include <QMenuBar>

namespace valdrin {

namespace {
QAction* item(QMenu* menu, const char* name, const char* caption)
{
    QAction* action = menu->addAction(QString::fromLatin1(caption));
    action->setObjectName(QString::fromLatin1(name));
    return action;
}

QMenu* submenu(QMenuBar* bar, const char* name, const char* caption, bool visible)
{
    QMenu* menu = bar->addMenu(QString::fromLatin1(caption));
    menu->setObjectName(QString::fromLatin1(name));
    menu->menuAction()->setObjectName(QString::fromLatin1(name));
    menu->menuAction()->setVisible(visible);
    return menu;
}

void separator(QMenu* menu, const char* name, bool visible = true)
{
    QAction* action = menu->addSeparator();
    action->setObjectName(QString::fromLatin1(name));
    action->setVisible(visible);
}

// The two items of the bar without caption or handler.
void blank(QMenuBar* bar)
{
    bar->addAction(QString());
}
} // namespace

void TFCOMM::buildMenu()
{
    QMenuBar* bar = menuBar();
    bar->setObjectName(QStringLiteral("MainMenu1"));

    ComSetup1_ = submenu(bar, "ComSetup1", "ComSetup", false);
    static const char* const comNames[] = {"COM11", "COM21", "COM31", "COM41"};
    static const char* const comCaptions[] = {"COM1", "COM2", "COM3", "COM4"};
    for (int i = 0; i < 4; ++i) {
        QAction* action = item(ComSetup1_, comNames[i], comCaptions[i]);
        action->setCheckable(true);
        QObject::connect(action, &QAction::triggered, this, [this, i] {
            handle([this, i] {
                switch (i) {
                case 0: conn_->COM11Click(); break;
                case 1: conn_->COM21Click(); break;
                case 2: conn_->COM31Click(); break;
                default: conn_->COM41Click(); break;
                }
            });
        });
        COMItems_[static_cast<std::size_t>(i)] = action;
    }

    Connect1_ = submenu(bar, "Connect1", "Connect", false);
    START1_ = item(Connect1_, "START1", "START");
    START1_->setCheckable(true);
    QObject::connect(START1_, &QAction::triggered, this, [this] { handle([this] { conn_->BTCon1Click(); }); });
    STOP1_ = item(Connect1_, "STOP1", "STOP");
    STOP1_->setCheckable(true);
    QObject::connect(STOP1_, &QAction::triggered, this, [this] { handle([this] { conn_->BtDiscon1Click(); }); });

    blank(bar);

    Graphic_ = submenu(bar, "Graphic", "Graphic", false);
    const struct {
        const char* name;
        const char* caption;
        void (FcommCore::*handler)();
    } graphicItems[] = {{"First", "First", &FcommCore::BtFirstClick},
                        {"Previous", "Previous", &FcommCore::BTPreviousClick},
                        {"Next", "Next", &FcommCore::BtNextClick},
                        {"Last", "Last", &FcommCore::BTlastClick},
                        {"N1", nullptr, nullptr},
                        {"New", "New", &FcommCore::BtNewClick},
                        {"Save", "Save", nullptr},  // BtSaveClick: the chart view's picture save
                        {"N2", nullptr, nullptr},
                        {"Fill", "Fill", &FcommCore::FillClick}};
    for (const auto& g : graphicItems) {
        if (!g.caption) {
            separator(Graphic_, g.name);
            continue;
        }
        QAction* action = item(Graphic_, g.name, g.caption);
        if (g.handler)
            QObject::connect(action, &QAction::triggered, this,
                             [this, h = g.handler] { handle([this, h] { (core_.*h)(); }); });
        else
            QObject::connect(action, &QAction::triggered, this, [this] {
                if (auto* save = Chtshow_->findChild<QAbstractButton*>(QStringLiteral("BtSave")))
                    save->click();
            });
        if (std::string_view(g.name) == "Fill") {
            action->setCheckable(true);
            action->setChecked(true);
            Fill_ = action;
        }
    }

    Record1_ = submenu(bar, "Record1", "Record", true);
    QAction* New1 = item(Record1_, "New1", "New");
    New1->setVisible(false);
    QObject::connect(New1, &QAction::triggered, this, [this] { handle([this] { core_.RecordNewClick(); }); });
    QAction* Save1 = item(Record1_, "Save1", "Save");
    Save1->setVisible(false);
    QObject::connect(Save1, &QAction::triggered, this, [this] { saveasClick(); });
    separator(Record1_, "N3", false);
    static const char* const limitNames[] = {"N10001", "N50001", "N100001", "N500001", "N1000001", "limitess"};
    static void (FcommCore::*const limitHandlers[])() = {&FcommCore::N10001Click,   &FcommCore::N50001Click,
                                                         &FcommCore::N100001Click,  &FcommCore::N500001Click,
                                                         &FcommCore::N1000001Click, &FcommCore::limitessClick};
    for (std::size_t i = 0; i < rowLimitItems_.size(); ++i) {
        QAction* action = item(Record1_, limitNames[i], std::string(kRowLimitCaptions[i]).c_str());
        action->setCheckable(true);
        QObject::connect(action, &QAction::triggered, this,
                         [this, h = limitHandlers[i]] { handle([this, h] { (core_.*h)(); }); });
        rowLimitItems_[i] = action;
    }

    blank(bar);

    EXIT1_ = bar->addAction(QStringLiteral("Exit"));
    EXIT1_->setObjectName(QStringLiteral("EXIT1"));
    EXIT1_->setVisible(false);
    QObject::connect(EXIT1_, &QAction::triggered, this, [this] { BtExit1Click(); });
}

} // namespace valdrin
