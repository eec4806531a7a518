// Saves and loads a table of N rows (default 1,000,000) in each table file format, in
// a folder on the disk under test, and compares each with the time cat takes to write
// the same bytes there. Each load runs in a fresh process of this program so that its
// resident memory can be read from /proc/self/status: the peak during the load against
// the memory of the finished table.
//
//   table_files_bench [FOLDER] [ROWS] [keep]   (FOLDER default: ./table-files-bench;
//                                             keep: leave table.txt and table.xml there)
//
// Bounds checked: save and load each at most 3 x cat; peak resident memory added by a
// load at most 2 x the memory the finished table adds. Exit status 1 if one is missed.
#include "base/Edges.h"
#include "record/TableFiles.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fcntl.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using valdrin::ReadingTable;

class SilentMessages : public valdrin::Messages {
public:
    void information(const std::string&, const std::string&) override {}
    void error(const std::string& text, const std::string&) override { std::fprintf(stderr, "%s\n", text.c_str()); }
    bool question(const std::string&) override { return true; }
    void applicationError(const std::string& text) override { std::fprintf(stderr, "%s\n", text.c_str()); }
};

double now()
{
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

long statusKb(const char* key)
{
    FILE* f = std::fopen("/proc/self/status", "r");
    char line[256];
    long value = -1;
    while (f && std::fgets(line, sizeof line, f))
        if (std::strncmp(line, key, std::strlen(key)) == 0)
            value = std::atol(line + std::strlen(key) + 1);
    if (f)
        std::fclose(f);
    return value;
}

// A recording as the meter gives it: about 2.5 readings a second, a few units and ranges.
ReadingTable recording(long rows)
{
    ReadingTable table;
    const char* units[] = {"V", "mV", "k*", "uA", "#"};
    char value[24];
    for (long i = 0; i < rows; ++i) {
        std::snprintf(value, sizeof value, "%ld.%03ld", (i * 7919) % 10000 / 1000, (i * 7919) % 1000);
        const int32_t ms = static_cast<int32_t>((8 * 3600000L + i * 400) % 86400000L);
        table.appendReading(static_cast<int32_t>(i + 1), ms, (i / 5000) % 2 ? "AC" : "DC", value,
                            units[(i / 20000) % 5], (i / 3000) % 3 ? "AUTO" : "MANU");
    }
    return table;
}

// Best of three runs of cat copying source to target (a fresh file each time).
double catMs(const std::string& source, const std::string& target)
{
    double best = 1e18;
    std::filesystem::remove(target);
    for (int run = 0; run < 5; ++run) {  // as `cat source > target`: later runs truncate the copy
        const double start = now();
        const pid_t child = ::fork();
        if (child == 0) {
            const int out = ::open(target.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            ::dup2(out, 1);
            ::execlp("cat", "cat", source.c_str(), static_cast<char*>(nullptr));
            ::_exit(127);
        }
        int status = 0;
        ::waitpid(child, &status, 0);
        best = std::min(best, now() - start);
    }
    std::filesystem::remove(target);
    return best;
}

// The child: load one file into an empty table, print ms, RSS before, peak and after (kB).
int measureLoad(const std::string& file)
{
    SilentMessages messages;
    ReadingTable table;
    const long before = statusKb("VmRSS:");
    const double start = now();
    const bool ok = valdrin::LoadTableFile(file, table, false, messages);
    const double ms = now() - start;
    std::printf("%d %.3f %ld %ld %ld %zu\n", ok ? 1 : 0, ms, before, statusKb("VmHWM:"), statusKb("VmRSS:"),
                table.size());
    return ok ? 0 : 1;
}

struct LoadFigures {
    double ms = 1e18;
    long before = 0, peak = 0, after = 0;
    std::size_t rows = 0;
};

LoadFigures loadInFreshProcess(const std::string& file)
{
    LoadFigures best;
    for (int run = 0; run < 5; ++run) {
        std::string self(4096, '\0');
        const ssize_t n = ::readlink("/proc/self/exe", self.data(), self.size());
        self.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
        FILE* pipe = ::popen(("'" + self + "' --measure-load '" + file + "'").c_str(), "r");
        LoadFigures f;
        int ok = 0;
        if (!pipe || std::fscanf(pipe, "%d %lf %ld %ld %ld %zu", &ok, &f.ms, &f.before, &f.peak, &f.after, &f.rows) != 6 ||
            !ok) {
            std::fprintf(stderr, "load of %s failed\n", file.c_str());
            std::exit(2);
        }
        ::pclose(pipe);
        if (f.ms < best.ms)
            best = f;
    }
    return best;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 3 && std::string(argv[1]) == "--measure-load")
        return measureLoad(argv[2]);
    const std::filesystem::path folder = argc > 1 ? argv[1] : "table-files-bench";
    const long rows = argc > 2 ? std::atol(argv[2]) : 1000000;
    const bool keep = argc > 3 && std::string(argv[3]) == "keep";
    std::filesystem::create_directories(folder);

    const ReadingTable table = recording(rows);
    std::printf("%ld rows in %s\n", rows, std::filesystem::absolute(folder).c_str());
    std::printf("%-5s %10s %8s %8s %6s %8s %6s %8s %6s %9s %9s %6s\n", "file", "bytes", "cat ms", "save ms", "x cat",
                "nosync", "x cat", "load ms", "x cat", "table MB", "peak MB", "x mem");
    bool within = true;
    SilentMessages messages;
    for (const char* extension : {"txt", "xml"}) {
        const std::string file = (folder / (std::string("table.") + extension)).string();
        // Saved as the window saves (waiting for the disk) and without the wait, which
        // is what cat does.
        double save = 1e18, saveNoSync = 1e18;
        for (int run = 0; run < 3; ++run) {
            for (const bool sync : {true, false}) {
                valdrin::TableFileOptions options;
                options.syncToDisk = sync;
                const double start = now();
                if (!valdrin::SaveTableFile(table, file, messages, options))
                    return 2;
                (sync ? save : saveNoSync) = std::min(sync ? save : saveNoSync, now() - start);
            }
        }
        const auto bytes = std::filesystem::file_size(file);
        const double cat = catMs(file, (folder / "cat.copy").string());
        const LoadFigures load = loadInFreshProcess(file);
        if (load.rows != static_cast<std::size_t>(rows)) {
            std::fprintf(stderr, "%s loaded %zu rows\n", file.c_str(), load.rows);
            return 2;
        }
        const double tableMb = static_cast<double>(load.after - load.before) / 1024.0;
        const double peakMb = static_cast<double>(load.peak - load.before) / 1024.0;
        const double saveRatio = save / cat, loadRatio = load.ms / cat, memoryRatio = peakMb / tableMb;
        std::printf("%-5s %10ju %8.1f %8.1f %6.2f %8.1f %6.2f %8.1f %6.2f %9.1f %9.1f %6.2f\n", extension,
                    static_cast<uintmax_t>(bytes), cat, save, saveRatio, saveNoSync, saveNoSync / cat, load.ms,
                    loadRatio, tableMb, peakMb, memoryRatio);
        within = within && saveRatio <= 3.0 && loadRatio <= 3.0 && memoryRatio <= 2.0;
        if (!keep)
            std::filesystem::remove(file);
    }
    std::printf("%s: save and load <= 3 x cat, peak load memory <= 2 x table\n", within ? "within" : "MISSED");
    return within ? 0 : 1;
}
