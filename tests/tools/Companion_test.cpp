// The companion's command line, run in-process on real files.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>
#include <algorithm>

#include "Companion.h"
#include "meter/FrameEncoding.h"

using namespace valdrin;
namespace fs = std::filesystem;

namespace {
struct Outcome {
    int status;
    std::string out, err;
    std::vector<std::string> lines() const
    {
        std::vector<std::string> result;
        std::istringstream in(out);
        for (std::string line; std::getline(in, line);)
            result.push_back(line);
        return result;
    }
};

std::string readAll(std::FILE* f)
{
    std::rewind(f);
    std::string text;
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, f)) > 0;)
        text.append(buffer, n);
    std::fclose(f);
    return text;
}

Outcome run(std::vector<std::string> args)
{
    std::FILE* out = std::tmpfile();
    std::FILE* err = std::tmpfile();
    const int status = runCompanion(args, out, err);
    return {status, readAll(out), readAll(err)};
}

struct TempDir {
    fs::path path = fs::temp_directory_path() / ("valdrin-log-test-" + std::to_string(::getpid()) + "-" +
                                                  ::testing::UnitTest::GetInstance()->current_test_info()->name());
    TempDir() { fs::create_directories(path); }
    ~TempDir() { fs::remove_all(path); }
    std::string file(const std::string& name, const Bytes& bytes) const
    {
        std::ofstream(path / name, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                            static_cast<std::streamsize>(bytes.size()));
        return (path / name).string();
    }
};

Bytes frames(std::initializer_list<const char*> nibbles)
{
    Bytes out{0x0A};
    for (const char* n : nibbles) {
        const Bytes f = encodeLineFrame(n);
        out.insert(out.end(), f.begin(), f.end());
    }
    return out;
}

const std::string kSample = std::string(VALDRIN_SOURCE_DIR) + "/samples/zentor-demo.bin";
} // namespace

TEST(Companion, JsonLineForEveryDecoderCallWithTheContractKeys)
{
    const Outcome r = run({"--json", kSample});
    ASSERT_EQ(r.status, 0) << r.err;
    const auto lines = r.lines();
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(r.err, std::to_string(lines.size()) + " frames, " + std::to_string(lines.size()) + " rows, 0 errors\n");
    const char* keys[] = {"value", "mode", "unit", "range", "number", "point", "trace", "dial", "bar",
                          "chart", "alarm", "maxtext", "mintext", "digits", "lit", "recorded", "no", "time"};
    for (const std::string& line : lines) {
        ASSERT_EQ(line.front(), '{');
        ASSERT_EQ(line.back(), '}');
        std::size_t at = 0;
        for (const char* key : keys) {
            const auto found = line.find(std::string("\"") + key + "\":", at);
            ASSERT_NE(found, std::string::npos) << key << " in " << line;
            at = found;
        }
    }
    EXPECT_NE(lines.front().find("\"trace\":true"), std::string::npos);
}

TEST(Companion, ErrorKeyNamesTheTextAndTheNextFrameIsRecorded)
{
    TempDir dir;
    const Outcome r = run({"--json", dir.file("bad.bin", frames({"123451121", "12345B121", "123451121"}))});
    ASSERT_EQ(r.status, 0);
    const auto lines = r.lines();
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_NE(lines[1].find("\"recorded\":false,\"error\":\"'B' is not a valid integer value\""), std::string::npos)
        << lines[1];
    EXPECT_NE(lines[2].find("\"recorded\":true,\"no\":2"), std::string::npos) << lines[2];
    EXPECT_EQ(r.err, "3 frames, 2 rows, 1 errors\n");
}

TEST(Companion, OptionsMapToTheWindowsControls)
{
    TempDir dir;
    const std::string same = dir.file("same.bin", frames({"123451121", "123451121", "123451121", "223451121"}));
    struct Case {
        std::vector<std::string> args;
        std::string lastLineHas;
        std::string summary;
    };
    const Case cases[] = {
        {{"--no-repeat", same}, "\"no\":4", "4 frames, 2 rows, 0 errors\n"},
        {{"--limit", "2", same}, "\"recorded\":false", "4 frames, 2 rows, 0 errors\n"},
        {{"--upper", "20000", same}, "\"alarm\":true", "4 frames, 4 rows, 0 errors\n"},
        {{"--lower", "20000", same}, "\"alarm\":false", "4 frames, 4 rows, 0 errors\n"},
        {{"--recall", "23:59:58", "--interval", "1", same}, "\"time\":\"00:00:02\"", "4 frames, 4 rows, 0 errors\n"},
        {{"--decimal", ",", same}, "\"value\":\"2,2345\"", "4 frames, 4 rows, 0 errors\n"},
    };
    for (const Case& c : cases) {
        std::vector<std::string> args = c.args;
        args.insert(args.begin(), "--json");
        const Outcome r = run(args);
        ASSERT_EQ(r.status, 0) << r.err;
        EXPECT_NE(r.lines().back().find(c.lastLineHas), std::string::npos) << c.args[0] << ": " << r.lines().back();
        EXPECT_EQ(r.err, c.summary) << c.args[0];
    }
}

TEST(Companion, BadArgumentsAndUnreadableInputExitTwoWithOneLine)
{
    const std::vector<std::vector<std::string>> cases = {
        {"--family", "quellix"}, {"--bogus"},          {"--limit", "many"}, {"--usb", "--family", "brevast"},
        {"--recall", "12:00"},   {"--switch", "IFOlvira"}, {"--upper"},      {"/nonexistent/capture.bin"},
        {"a.bin", "b.bin"},
    };
    for (const auto& args : cases) {
        const Outcome r = run(args);
        EXPECT_EQ(r.status, 2) << args[0];
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
        EXPECT_EQ(r.err.rfind("valdrin-log: ", 0), 0u) << r.err;
    }
}

TEST(Companion, HelpListsEveryOptionAndAnUnknownOptionPointsAtIt)
{
    const Outcome help = run({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_TRUE(help.err.empty()) << help.err;
    for (const char* option : {"--family", "--usb", "--decimal", "--json", "--no-repeat", "--limit", "--upper",
                               "--lower", "--recall", "--interval", "--switch", "--load", "--output", "--port",
                               "--hid", "Exit status"})
        EXPECT_NE(help.out.find(option), std::string::npos) << option;

    const Outcome unknown = run({"--colour"});
    EXPECT_EQ(unknown.status, 2);
    EXPECT_EQ(unknown.err, "valdrin-log: unknown option --colour (see valdrin-log --help)\n");
}

TEST(Companion, LoadAndOutputConvertATableFile)
{
    TempDir dir;
    const std::string xml = (dir.path / "a.xml").string(), txt = (dir.path / "a.txt").string();
    ASSERT_EQ(run({"--output", xml, kSample}).status, 0);
    const Outcome convert = run({"--load", xml, "--output", txt, "/dev/null"});
    ASSERT_EQ(convert.status, 0) << convert.err;
    std::ifstream in(txt);
    std::string header;
    std::getline(in, header);
    EXPECT_EQ(header, "No\tTime\tDC/AC\tValue\tUnit\tAuto\r");
    std::size_t rows = 0;
    for (std::string line; std::getline(in, line);)
        ++rows;
    EXPECT_EQ(convert.err.substr(convert.err.find('\n', convert.err.find("Scuss!")) + 1),
              "0 frames, " + std::to_string(rows) + " rows, 0 errors\n");

    const Outcome failed = run({"--load", dir.file("broken.xml", {'<', 'x'}), "/dev/null"});
    EXPECT_EQ(failed.status, 2);
    EXPECT_EQ(failed.err, "valdrin-log: Failed to Load File!\n");
}

// A source without line ends is no table file: the load fails at its first overlong
// line instead of taking the source into memory until the program ends.
TEST(Companion, LoadOfASourceWithoutLineEndsFails)
{
    const Outcome r = run({"--load", "/dev/zero", "/dev/null"});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, "valdrin-log: Failed to Load File!\n");
}

TEST(Companion, UsbReportLines)
{
    const Outcome r = run({"--usb", std::string(VALDRIN_SOURCE_DIR) + "/samples/zentor-demo-usb.txt"});
    ASSERT_EQ(r.status, 0);
    const Outcome serial = run({kSample});
    EXPECT_EQ(r.err, serial.err);
}

TEST(Companion, LiveDevicesThatCannotBeOpenedExitTwoWithOneLine)
{
    const struct {
        std::vector<std::string> args;
        std::string err;
    } cases[] = {
        {{"--port", "/dev/valdrin-no-such-port"},
         "valdrin-log: Could not open /dev/valdrin-no-such-port: No such file or directory\n"},
        {{"--hid", "/dev/valdrin-no-such-hid"}, "valdrin-log: Could not open /dev/valdrin-no-such-hid: not a HID device present\n"},
    };
    for (const auto& c : cases) {
        const Outcome r = run(c.args);
        EXPECT_EQ(r.status, 2) << c.args[0];
        EXPECT_EQ(r.err, c.err);
        EXPECT_EQ(r.out, "");
    }
}
