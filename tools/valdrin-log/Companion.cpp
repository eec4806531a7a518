#include "Companion.h"

#include <cerrno>
#include <csignal>
#include <sstream>
#include <cstring>

#include "CaptureInput.h"
#include "ConsoleEdges.h"
#include "JsonFrameWriter.h"
#include "LogOptions.h"
#include "base/SystemClock.h"
#include "record/TableFiles.h"

#include "link/LiveLink.h"

namespace valdrin {

namespace {

// SIGINT and SIGTERM end live reading like the end of input. A signal handler can
// reach nothing but a flag of this kind.
volatile std::sig_atomic_t interruptRequested = 0;
extern "C" void onInterrupt(int) { interruptRequested = 1; }

// Each option does what the window's control would do, through the same handler.
void applyControls(FcommCore& core, const LogOptions& o)
{
    if (o.noRepeat) {
        core.C.recording.RepeatSet = false;
        core.btFillClick();  // the check box's click handler
    }
    if (o.limit) {
        bool onMenu = false;
        for (std::size_t i = 0; i < kRowLimitValues.size(); ++i)
            if (kRowLimitValues[i] == *o.limit) {
                chooseRowLimit(core.S.recording, core.C.recording, static_cast<RowLimitItem>(i));
                onMenu = true;
            }
        if (!onMenu)
            core.S.recording.MaxRecords = *o.limit;
    }
    if (o.upper) {
        core.C.limits.Setmax = *o.upper;
        core.SetmaxExit();
        core.C.limits.SetMaxB = true;
        core.SetmaxExit();
    }
    if (o.lower) {
        core.C.limits.SetMin = *o.lower;
        core.SetMinExit();
        core.C.limits.SetMinB = true;
        core.SetMinExit();
    }
    if (o.recall) {
        core.C.recall.RecallCheck = true;
        core.RecallCheckClick();
        const std::string& t = *o.recall;
        const auto first = t.find(':'), second = t.find(':', first + 1);
        for (auto [edit, text] : {std::pair{&core.C.recall.TimeH, t.substr(0, first)},
                                  std::pair{&core.C.recall.TimeM, t.substr(first + 1, second - first - 1)},
                                  std::pair{&core.C.recall.TimeS, t.substr(second + 1)}}) {
            *edit = text;
            core.RecordSITimeChange();
            core.TimeHKeyUp();
        }
    }
    if (o.interval) {
        core.C.recall.TimeInt = *o.interval;
        core.RecordSITimeChange();
    }
}

CoreOptions coreOptions(const LogOptions& o)
{
    CoreOptions c;
    c.LocaleDecimal = o.decimal ? *o.decimal : systemDecimalSeparator();
    c.LongTimeFormat = systemLongTimeFormat();
    c.switches.IFQuellix = o.family == "zentor";
    c.switches.IFTeskar = o.family == "teskar";
    for (const std::string& name : o.switches) {
        c.switches.IFMorvane = c.switches.IFMorvane || name == "IFMorvane";
        c.switches.IFBrevast = c.switches.IFBrevast || name == "IFBrevast";
        c.switches.IFDornel = c.switches.IFDornel || name == "IFDornel";
    }
    return c;
}

} // namespace

int runCompanion(const std::vector<std::string>& args, std::FILE* out, std::FILE* err)
{
    std::string problem;
    const auto options = parseLogOptions(args, problem);
    if (!options) {
        std::fprintf(err, "valdrin-log: %s\n", problem.c_str());
        return 2;
    }
    const LogOptions& o = *options;
    if (o.help) {
        std::fputs(logUsage(), out);
        return 0;
    }

    ConsoleMessages messages(err);
    SilentBeeper beeper;
    SystemClock clock;
    FcommCore core(messages, beeper, clock, coreOptions(o));
    // The build that serves the Brevast family attaches its assembler to the serial link.
    if (o.family == "brevast")
        core.serialAssembler = SerialAssembler::Brevast;
    applyControls(core, o);

    JsonFrameWriter json(out);
    if (o.json)
        core.observer = &json;

    TableFileOptions fileOptions;
    fileOptions.longTimeFormat = core.LongTimeFormat;
    if (o.load && !LoadTableFile(*o.load, core.cds1, false, messages, fileOptions)) {
        std::fprintf(err, "valdrin-log: %s\n", messages.lastError().c_str());
        return 2;
    }

    if (o.port || o.hid) {
        const auto stop = [] { return interruptRequested != 0; };
        std::signal(SIGINT, onInterrupt);
        std::signal(SIGTERM, onInterrupt);
        std::ostringstream problems;
        const int status = o.port ? runLivePort(*o.port, core, stop, problems)
                                  : runLiveHid(*o.hid, core, o.family == "teskar", stop, problems);
        if (!problems.str().empty())
            std::fprintf(err, "valdrin-log: %s%s", problems.str().c_str(),
                         problems.str().back() == '\n' ? "" : "\n");
        if (status != 0)
            return status;
    } else {
        std::FILE* in = stdin;
        if (o.input && *o.input != "-") {
            in = std::fopen(o.input->c_str(), "rb");
            if (!in) {
                std::fprintf(err, "valdrin-log: cannot read %s: %s\n", o.input->c_str(), std::strerror(errno));
                return 2;
            }
        }
        std::size_t skipped = 0;
        const bool ok = o.usb ? feedUsbCapture(in, core, o.family == "teskar", skipped) : feedSerialCapture(in, core);
        if (in != stdin)
            std::fclose(in);
        if (skipped)
            std::fprintf(err, "valdrin-log: %zu lines were not reports and were skipped\n", skipped);
        if (!ok) {
            std::fprintf(err, "valdrin-log: cannot read %s\n", o.input ? o.input->c_str() : "standard input");
            return 2;
        }
    }
    std::fflush(out);

    if (o.output && !SaveTableFile(core.cds1, *o.output, messages, fileOptions)) {
        std::fprintf(err, "valdrin-log: %s\n", messages.lastError().c_str());
        return 2;
    }
    std::fprintf(err, "%llu frames, %zu rows, %llu errors\n", static_cast<unsigned long long>(core.framesDecoded),
                 core.cds1.size(), static_cast<unsigned long long>(core.frameErrors));
    return 0;
}

} // namespace valdrin
