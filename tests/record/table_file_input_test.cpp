// How a load takes its file: a regular file window by window, lines cut where one
// window ends and the next begins, and a pipe read as its bytes come.
#include "TableFileFixture.h"

#include "record/FileIo.h"
#include "record/TableFiles.h"

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <thread>

namespace valdrin::testing {
namespace {

using TableFileInputTest = TableFileTest;

// Lines of about a kilobyte (the Value piece is long; the table keeps its first 20
// characters) until the file passes the first window and two more.
std::string longLinesFile(std::size_t& lines)
{
    std::string file = "No\tTime\tDC/AC\tValue\tUnit\tAuto\r\n";
    const std::string tail(1000, 'x');
    for (lines = 0; file.size() < kFirstWindowSize + 2 * kFileBlockSize + 1000; ++lines) {
        file += std::to_string(lines + 1) + "\t14:03:27\tDC\t";
        file += std::to_string(100000000000000000 + lines) + "abc" + tail;
        file += lines % 2 ? "\tV\tAUTO\r\n" : "\tmV\tMANU\n";
    }
    return file;
}

TEST_F(TableFileInputTest, LinesAcrossWindowBoundariesKeepEveryRow)
{
    std::size_t lines = 0;
    const std::string file = longLinesFile(lines);
    writeBytes(path("long.txt"), file);
    ReadingTable table;
    ASSERT_TRUE(LoadTableFile(path("long.txt"), table, false, messages));
    ASSERT_EQ(table.size(), lines);
    for (std::size_t i = 0; i < lines; ++i) {
        const TableRow expected = reading(static_cast<int32_t>(i + 1), kAt140327, "DC",
                                          (std::to_string(100000000000000000 + i) + "abc").substr(0, 20),
                                          i % 2 ? "V" : "mV", i % 2 ? "AUTO" : "MANU");
        ASSERT_EQ(table.row(i), expected) << i;
    }
}

TEST_F(TableFileInputTest, APipeIsReadAsItsBytesCome)
{
    ReadingTable source;
    for (int32_t i = 0; i < 5000; ++i)
        source.appendReading(i + 1, kAt140327 + i * 1000, "DC", std::to_string(i) + ".25", "V", "AUTO");
    ASSERT_TRUE(SaveTableFile(source, path("saved.xml"), messages));
    ASSERT_TRUE(SaveTableFile(source, path("saved.txt"), messages));
    for (const char* extension : {"xml", "txt"}) {
        const std::string pipe = path(std::string("pipe.") + extension);
        ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
        const std::string bytes = readBytes(path(std::string("saved.") + extension));
        std::thread writer([&] { writeBytes(pipe, bytes); });
        ReadingTable table;
        const bool loaded = LoadTableFile(pipe, table, false, messages);
        writer.join();
        ASSERT_TRUE(loaded) << extension;
        EXPECT_EQ(rowsOf(table), rowsOf(source)) << extension;
    }
}

// Bytes of address space the process holds now.
std::size_t addressSpace()
{
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmSize:", 0) == 0)
            return std::stoul(line.substr(7)) * 1024;
    return 0;
}

// A packet whose last tag never ends (a sparse file of zeros after it) makes the
// reader hold more and more of it; with the memory bounded, the allocation fails
// before the tag's own bound: the load fails with its message, the table stays and
// the program goes on. Run in a child so the bound does not touch the test.
TEST_F(TableFileInputTest, ALoadThatRunsOutOfMemoryFailsAndTheProgramGoesOn)
{
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the address sanitizer needs more address space than the bound leaves";
#endif
    const std::string file = path("endless.xml");
    ReadingTable someRows;
    someRows.appendReading(1, kAt140327, "DC", "1.234", "V", "AUTO");
    ASSERT_TRUE(SaveTableFile(someRows, file, messages));
    std::string packet = readBytes(file);
    packet.resize(packet.find("<ROW "));
    writeBytes(file, packet + "<ROW Value=\"");
    std::filesystem::resize_file(file, std::size_t{900} << 20);

    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        const rlim_t bound = addressSpace() + (std::size_t{192} << 20);
        const rlimit limit{bound, bound};
        ::setrlimit(RLIMIT_AS, &limit);
        ReadingTable table;
        table.appendReading(7, 0, "AC", "7", "A", "MANU");
        test::RecordingMessages childMessages;
        const bool loaded = LoadTableFile(file, table, false, childMessages);
        const bool reported = shownBy(childMessages) == std::vector<Message>{{"error", "Failed to Load File!", "Error"}};
        ::_exit(!loaded && reported && table.size() == 1 && table.no(0) == 7 ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status)) << "the load ended the program (signal " << WTERMSIG(status) << ")";
    EXPECT_EQ(WEXITSTATUS(status), 0) << "the load did not fail with its message, or changed the table";
}

// A large text load under bounds of memory that run out at different points of it:
// on the load's thread or on the one that prepares the table's next chunks. Each
// load either completes or fails with its message; none ends the program.
TEST_F(TableFileInputTest, RunningOutOfMemoryAnywhereInALoadFailsTheLoadOnly)
{
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the address sanitizer needs more address space than the bounds leave";
#endif
    ReadingTable source;
    for (int32_t i = 0; i < 600000; ++i)
        source.appendReading(i + 1, i * 100 % 86400000, "DC", std::to_string(i % 977) + ".5", "V", "AUTO");
    TableFileOptions options;
    options.syncToDisk = false;
    ASSERT_TRUE(SaveTableFile(source, path("large.txt"), messages, options));

    for (const std::size_t extraMiB : {8, 16, 20, 24, 28, 32, 40, 48, 64, 96, 128, 160, 192, 256}) {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            const rlim_t bound = addressSpace() + (extraMiB << 20);
            const rlimit limit{bound, bound};
            ::setrlimit(RLIMIT_AS, &limit);
            ReadingTable table;
            test::RecordingMessages childMessages;
            const bool loaded = LoadTableFile(path("large.txt"), table, false, childMessages, options);
            const std::vector<Message> expected =
                loaded ? std::vector<Message>{} : std::vector<Message>{{"error", "Failed to Load File!", "Error"}};
            ::_exit(shownBy(childMessages) == expected && (!loaded || table.size() == source.size()) ? 0 : 1);
        }
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFEXITED(status)) << "with " << extraMiB << " MiB the load ended the program (signal "
                                       << WTERMSIG(status) << ")";
        EXPECT_EQ(WEXITSTATUS(status), 0) << "with " << extraMiB << " MiB";
    }
}

} // namespace
} // namespace valdrin::testing
