// TFCOMM, the main window FCOMM: widgets only. The logic lives in the core
// (FcommCore) and the connection control; each widget event calls the handler of
// the same name there, and the window mirrors their state back into the widgets,
// refreshing only what changed: at once after a user's action, and after the
// meter's data at most once a screen frame.
#pragma once

#include "link/ConnectionControl.h"
#include "link/HidControllerClass.h"
#include "link/OwnerThread.h"
#include "link/SerialDrv.h"
#include "meter/FcommCore.h"
#include "record/TableFiles.h"
#include "ui/ReportPreview.h"
#include "ui/WindowEdges.h"
#include "ui/WindowMirrorState.h"

#include <QElapsedTimer>
#include <QMainWindow>
#include <QRect>
#include <QTimer>

#include <array>
#include <functional>
#include <memory>
#include <vector>

class QAction;
class QCheckBox;
class QFrame;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QSocketNotifier;
class QToolButton;

namespace valdrin {

class GlyphLabel;
class PanelButton;
class ReadingGridModel;
class ReadingGridView;

// What the window is built on: the core's edges and the HID system. The program
// passes the real ones; tests pass recording edges and a fake HID system.
struct WindowEdgeSet {
    Messages& messages;
    Beeper& beeper;
    Clock& clock;
    FileDialogs& dialogs;
    std::shared_ptr<HidSystem> hid;
    CoreOptions options;
};

class TFCOMM : public QMainWindow {
public:
    // Builds every control and component; the core's constructor runs FormCreate.
    explicit TFCOMM(WindowEdgeSet edges, QWidget* parent = nullptr);
    ~TFCOMM() override;

    FcommCore& core() { return core_; }
    ConnectionControl& connection() { return *conn_; }
    TSerialPortDriver& COMM2() { return COMM2_; }
    THidDeviceController& HidCtl() { return *HidCtl_; }
    QWidget* clientArea() const { return client_; }

    // Brings the widgets up to the state of the core now.
    void mirror();
    // Mirrors after the meter's data or a timer: at once when the last mirror is a
    // screen frame ago, otherwise once when the frame is over. Never skipped, never
    // more often than the screen shows.
    void requestMirror();
    // Ends the program; tests replace it.
    std::function<void()> terminate;

    void FormResize();
    void BitBtn1Click();
    void BtExit1Click();
    // The table files and the printed report.
    void saveasClick();
    void SpeedButton2Click();
    void BtPrintClick();
    void PrintClick() {}  // the hidden second print button has no command
    ReportPreview& Report1() { return Report1_; }

    static constexpr int kClientWidth = 711;
    static constexpr int kClientHeight = 485;
    static constexpr int kScreenFrameMs = 16;  // about 60 refreshes a second

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    // Runs a handler at the edge where a widget event enters the logic, then shows
    // its result.
    template <class F>
    void handle(F&& handler)
    {
        core_.guarded(std::forward<F>(handler));
        mirror();
    }
    // The same for the meter's data and the timers: the result is shown at the
    // screen's pace.
    template <class F>
    void handlePaced(F&& handler)
    {
        core_.guarded(std::forward<F>(handler));
        requestMirror();
    }

    void buildControls();
    void buildViews();
    void buildDial();
    void buildChart();
    void recallTextsChanged(const RecallControls& before);
    void buildPanel2();
    void buildPanel3();
    void buildMenu();
    void buildTimers();
    void watchHid();

    CoreStamp stamp() const;
    void mirrorLcd();
    void mirrorControls();
    void mirrorConnection();
    void mirrorViews();
    TableFileOptions tableFileOptions() const;
    void repaintAll();

    WindowEdgeSet edges_;
    OwnerThread owner_;
    WindowPollTimer pollTimer_;
    FcommCore core_;
    TSerialPortDriver COMM2_;
    std::unique_ptr<THidDeviceController> HidCtl_;
    std::unique_ptr<ConnectionControl> conn_;
    ShownState shown_;
    ReportPreview Report1_{this};

    QWidget* client_ = nullptr;
    QTimer ConTimer_, Trecord_, screenTimer_;
    QElapsedTimer sinceMirror_;
    QSocketNotifier* hidNotifier_ = nullptr;

    // Top-level controls.
    QLabel *USBtxt_ = nullptr, *USBtxt1_ = nullptr;
    QToolButton *RecordNew_ = nullptr, *Print_ = nullptr, *OpenDataFiles_ = nullptr, *saveas_ = nullptr,
                *BtPrint_ = nullptr;
    QPushButton *ReadBtn_ = nullptr, *USBCon_ = nullptr, *COMCon_ = nullptr;
    QPushButton *ClearBtn_ = nullptr, *InfoBtn_ = nullptr, *SetFeature_ = nullptr, *BitBtn1_ = nullptr,
                *RecallDataTest_ = nullptr;
    QFrame *Panel2_ = nullptr, *Panel3_ = nullptr, *ReportPanel_ = nullptr;
    QCheckBox *RepeatSet_ = nullptr, *RecordSI_ = nullptr;
    QLineEdit* RecordSITime_ = nullptr;
    ReadingGridView* DBGrid1_ = nullptr;
    ReadingGridModel* gridModel_ = nullptr;
    QWidget* Panel1_ = nullptr;
    QProgressBar* PBar2_ = nullptr;
    QFrame *KD_ = nullptr, *Chtshow_ = nullptr;
    QWidget *CONok_ = nullptr, *CONokN_ = nullptr, *oltext_ = nullptr;
    std::array<PanelButton*, 4> BtCOM_{};
    PanelButton *BTCon_ = nullptr, *BtDiscon_ = nullptr, *BtExit_ = nullptr;
    std::array<QCheckBox*, 9> variantSwitches_{};
    QPlainTextEdit* Memo1_ = nullptr;
    QListWidget *DevListBox_ = nullptr, *HistoryListBox_ = nullptr;

    // Panel2: recall.
    QCheckBox* RecallCheck_ = nullptr;
    QLineEdit *TimeH_ = nullptr, *TimeM_ = nullptr, *TimeS_ = nullptr, *TimeInt_ = nullptr;
    // Panel3: limits and extremes.
    QLineEdit *Setmax_ = nullptr, *SetMin_ = nullptr;
    QCheckBox *SetMaxB_ = nullptr, *SetMinB_ = nullptr;
    QLabel *MinText_ = nullptr, *MaxText_ = nullptr;
    GlyphLabel *MinTextU_ = nullptr, *MaxTextU_ = nullptr;

    // Menu MainMenu1.
    QMenu *ComSetup1_ = nullptr, *Connect1_ = nullptr, *Graphic_ = nullptr, *Record1_ = nullptr;
    std::array<QAction*, 4> COMItems_{};
    QAction *START1_ = nullptr, *STOP1_ = nullptr, *Fill_ = nullptr, *EXIT1_ = nullptr;
    std::array<QAction*, 6> rowLimitItems_{};

    // Views placed by the window and refreshed on the screen's pace.
    std::vector<std::function<void()>> viewRefreshers_;
};

} // namespace valdrin
