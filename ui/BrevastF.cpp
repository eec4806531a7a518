#include "ui/BrevastF.h"

#include "ui/WindowEventHook.h"
#include "ui/WindowIcons.h"
#include "ui/WindowWidgets.h"

#include <QCoreApplication>
#include <QLayout>
#include <QMenuBar>
#include <QScreen>
#include <QSocketNotifier>

namespace valdrin {

namespace {
// "Are you ensure to exit the program" and the full-width question mark.
const char kExitQuestion[] = "Are you ensure to exit the program\xEF\xBC\x9F";
} // namespace

TFCOMM::TFCOMM(WindowEdgeSet edges, QWidget* parent)
    : QMainWindow(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                              | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint)
    , edges_(std::move(edges))
    , core_(edges_.messages, edges_.beeper, edges_.clock, edges_.options)
    , COMM2_(pollTimer_)
{
    setObjectName(QStringLiteral("FCOMM"));
    setWindowIcon(barChartIcon());
    terminate = [] { QCoreApplication::exit(0); };

    client_ = new QWidget(this);
    client_->setObjectName(QStringLiteral("FCOMMClient"));
    client_->setFixedSize(kClientWidth, kClientHeight);
    client_->setFont(pixelFont({Face::MsSansSerif, 11, true}));
    paintColours(client_, kGrey);
    setCentralWidget(client_);

    buildControls();
    buildMenu();
    // The window keeps the size of its client area and menu bar: not resizable.
    layout()->setSizeConstraint(QLayout::SetFixedSize);

    // Reader threads hand their reports to the GUI loop and wait until they ran.
    owner_.setWakeup([this] {
        QMetaObject::invokeMethod(
            this, [this] { handlePaced([this] { owner_.processPending(); }); }, Qt::QueuedConnection);
    });
    HidCtl_ = std::make_unique<THidDeviceController>(owner_, edges_.hid);
    conn_ = std::make_unique<ConnectionControl>(core_, COMM2_, *HidCtl_);
    watchHid();
    buildTimers();

    mirror();
    adjustSize();
    // The window has its size now: the create-time resize places the outside panels.
    FormResize();
    if (const QScreen* s = screen())
        move(s->availableGeometry().center() - QPoint(width() / 2, height() / 2));
}

TFCOMM::~TFCOMM()
{
    pollTimer_.afterTick = nullptr;
    screenTimer_.stop();
    ConTimer_.stop();
    Trecord_.stop();
    // The link goes before the controller: it hands the claimed devices back.
    conn_.reset();
    HidCtl_.reset();
    // The views read the core while they go, so they go before it.
    delete takeCentralWidget();
}

void TFCOMM::buildTimers()
{
    ConTimer_.setObjectName(QStringLiteral("ConTimer"));
    // The watchdog runs from the event loop, not inside the timer's own slot: the
    // USB-idle message box it may open would hold the timer (Qt does not fire a timer
    // again while its slot runs), and the link picture would stop following the link.
    QObject::connect(&ConTimer_, &QTimer::timeout, this, [this] {
        QMetaObject::invokeMethod(
            this, [this] { handlePaced([this] { core_.ConTimerTimer(); }); }, Qt::QueuedConnection);
    });
    ConTimer_.start(100);
    Trecord_.setObjectName(QStringLiteral("Trecord"));
    QObject::connect(&Trecord_, &QTimer::timeout, this,
                     [this] { handlePaced([this] { core_.TrecordTimer(); }); });
    Trecord_.start(1000);
    pollTimer_.afterTick = [this] { requestMirror(); };
    screenTimer_.setSingleShot(true);
    QObject::connect(&screenTimer_, &QTimer::timeout, this, [this] { mirror(); });
}

void TFCOMM::requestMirror()
{
    if (screenTimer_.isActive())
        return;  // the frame's mirror is already due
    if (shown_.valid && stamp() == shown_.stamp)
        return;  // a poll that read nothing, a tick that changed nothing
    const qint64 since = sinceMirror_.isValid() ? sinceMirror_.elapsed() : kScreenFrameMs;
    if (since >= kScreenFrameMs)
        mirror();
    else
        screenTimer_.start(static_cast<int>(kScreenFrameMs - since));
}

// Devices coming and going: the controller's notification socket, watched by the
// GUI loop.
void TFCOMM::watchHid()
{
    const int fd = HidCtl_->NotificationFd();
    if (fd < 0)
        return;
    hidNotifier_ = new QSocketNotifier(fd, QSocketNotifier::Read, this);
    QObject::connect(hidNotifier_, &QSocketNotifier::activated, this,
                     [this] { handle([this] { HidCtl_->ProcessNotification(); }); });
}

void TFCOMM::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    FormResize();
}

// The three off-screen panels keep their distance from the window's right edge.
void TFCOMM::FormResize()
{
    if (!BtExit_)
        return;
    const int outer = frameGeometry().width();
    BtExit_->move(outer - 80, BtExit_->y());
    BTCon_->move(outer - 190, BTCon_->y());
    BtDiscon_->move(outer - 190, BtDiscon_->y());
}

void TFCOMM::BitBtn1Click()
{
    if (!edges_.messages.question(kExitQuestion))
        return;
    BtExit1Click();
}

// Nothing is saved: the table is closed with its rows.
void TFCOMM::BtExit1Click()
{
    core_.cds1.clear();
    terminate();
}

} // namespace valdrin
