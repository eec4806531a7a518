// valdrin: the program entry. The application with an empty title, the window FCOMM
// with its components (its core runs FormCreate), the unused form Form1, the event
// loop. No command line, no configuration file; nothing is kept between runs.
#include "base/SystemClock.h"
#include "link/HidapiSystem.h"
#include "ui/BrevastF.h"
#include "ui/WindowEdges.h"

#include <QApplication>

#include <cstdlib>
#include <memory>

int main(int argc, char** argv)
{
    using namespace valdrin;
    useSystemLocale();
    QApplication application(argc, argv);
    QApplication::setApplicationDisplayName(QString());

    WindowMessages messages;
    WindowBeeper beeper;
    SystemClock clock;
    WindowFileDialogs dialogs;
    CoreOptions options;
    options.LocaleDecimal = systemDecimalSeparator();
    options.LongTimeFormat = systemLongTimeFormat();

    TFCOMM FCOMM({messages, beeper, clock, dialogs, std::make_shared<HidapiSystem>(), options});
    messages.setParent(&FCOMM);
    dialogs.setParent(&FCOMM);

    // For scripts/bench-window only: start with this many rows in the table, as a
    // loaded file leaves them, to show that a frame costs the same with a million.
    if (const char* rows = std::getenv("VALDRIN_BENCH_ROWS")) {
        const long count = std::strtol(rows, nullptr, 10);
        for (long i = 0; i < count; ++i)
            FCOMM.core().cds1.appendReading(static_cast<int32_t>(i + 1), static_cast<int32_t>(i % 86400000), "DC",
                                            "1.2345", "V", "AUTO");
    }

    // The second form of the design: created, never shown, never used.
    QWidget Form1;
    Form1.setObjectName(QStringLiteral("Form1"));
    Form1.setWindowTitle(QStringLiteral("Form1"));
    Form1.resize(696, 480);

    FCOMM.show();
    return application.exec();
}
