// Saving and loading 1,000,000 rows through the window's save and open buttons, in
// both formats: the time from the click until the window has repainted with the
// outcome, and that the grid shows every loaded row.
// Run: cmake --build build-release --target window_files_bench && QT_QPA_PLATFORM=offscreen build-release/tests/bench/window_files_bench
#include "../ui/WindowFixture.h"

#include <QAbstractItemModel>
#include <QTemporaryDir>

#include <chrono>
#include <cstdio>

#include "ui/WindowGridView.h"

using namespace valdrin;
using namespace valdrin::test;

namespace {

template <class F>
double seconds(F&& run)
{
    const auto start = std::chrono::steady_clock::now();
    run();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QTemporaryDir folder;
    constexpr int32_t kRows = 1000000;
    bool ok = true;
    for (const char* name : {"million.txt", "million.xml"}) {
        WindowFixture f;
        ReadingTable& table = f.core().cds1;
        for (int32_t i = 1; i <= kRows; ++i)
            table.appendReading(i, (i % 86400) * 1000, i % 2 ? "DC" : "AC", std::to_string(i % 10000) + ".25", "V",
                                "AUTO");
        f.window->mirror();
        const std::string path = (folder.path() + u'/' + QString::fromLatin1(name)).toStdString();
        f.dialogs.answers.push_back(path);
        const double save = seconds([&] { f.click("saveas"); });
        table.clear();
        f.window->mirror();
        f.dialogs.answers.push_back(path);
        const double load = seconds([&] { f.click("OpenDataFiles"); });
        const int gridRows = f.find<ReadingGridView>("DBGrid1")->model()->rowCount();
        const bool whole = table.size() == static_cast<std::size_t>(kRows) && gridRows == kRows
                           && f.messages.texts("error").empty();
        ok = ok && whole;
        std::printf("%s: save %.3f s, load %.3f s, grid rows %d%s\n", name, save, load, gridRows,
                    whole ? "" : " (MISSING ROWS OR AN ERROR)");
    }
    return ok ? 0 : 1;
}
