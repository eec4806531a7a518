// How a load takes its file: a regular file window by window, lines cut where one
// window ends and the next begins, and a pipe read as its bytes come.
#include "TableFileFixture.h"

#include "record/FileIo.h"
#include "record/TableFiles.h"

#include <sys/stat.h>
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

} // namespace
} // namespace valdrin::testing
