// A save that cannot be completed leaves the previous file as it was, leaves no
// temporary file behind and reports the failure with the system's own message.
#include "TableFileFixture.h"
#include "UnprivilegedChild.h"

#include "record/TableFiles.h"

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace valdrin::testing {
namespace {

using SaveFailureTest = TableFileTest;

ReadingTable someRows(int32_t count)
{
    ReadingTable table;
    for (int32_t i = 1; i <= count; ++i)
        table.appendReading(i, i * 1000, "DC", "1.234", "V", "AUTO");
    return table;
}

Message expectedFailure(const std::string& file)
{
    return {"error", "Could not save table to specified file: " + file, "Error"};
}

// Empty when the one message shown is the failure as the system reports it: the text
// save's own message, or the file error of the XML save (which names the file).
std::string failureReported(const std::vector<Message>& shown, const std::string& file, bool xml)
{
    if (shown.size() != 1)
        return std::to_string(shown.size()) + " messages instead of one";
    if (xml && (shown[0].kind != "application" || shown[0].text.find("\"" + file + "\"") == std::string::npos))
        return "not the file error: " + shown[0].kind + " " + shown[0].text;
    if (!xml && shown[0] != expectedFailure(file))
        return "not the save's failure message: " + shown[0].kind + " " + shown[0].text;
    return {};
}

class SaveFailureByFormat : public TableFileTest, public ::testing::WithParamInterface<const char*> {
protected:
    bool xml() const { return std::string(GetParam()) == "xml"; }
    std::string name(const std::string& stem) const { return stem + "." + GetParam(); }
};

TEST_P(SaveFailureByFormat, ATargetThatIsAFolderStaysAndNothingIsLeft)
{
    const std::string target = path(name("taken"));
    std::filesystem::create_directory(target);
    writeBytes(target + "/inside", "old");

    EXPECT_FALSE(SaveTableFile(someRows(3), target, messages));
    EXPECT_EQ(failureReported(shown(), target, xml()), "");
    EXPECT_EQ(readBytes(target + "/inside"), "old");
    EXPECT_EQ(folderEntries(), std::vector<std::string>{name("taken")});
}

TEST_P(SaveFailureByFormat, AFolderThatDoesNotExistFails)
{
    const std::string target = path("missing/" + name("a"));
    EXPECT_FALSE(SaveTableFile(someRows(1), target, messages));
    EXPECT_EQ(failureReported(shown(), target, xml()), "");
}

// A save that must fail: empty when it failed and said so with the system's message
// (the caller checks what it left on the disk).
std::string failsAndKeeps(const ReadingTable& table, const std::string& target, bool xml)
{
    test::RecordingMessages childMessages;
    if (SaveTableFile(table, target, childMessages))
        return "the save succeeded";
    if (std::string why = failureReported(shownBy(childMessages), target, xml); !why.empty())
        return why;
    return {};
}

TEST_P(SaveFailureByFormat, AFileTheUserMayNotWriteFailsAndStaysAsItWas)
{
    const std::string target = path(name("old"));
    writeBytes(target, "old contents");
    ::chmod(target.c_str(), 0444);
    const ChildOutcome outcome = runUnprivileged(folder, [&] { return failsAndKeeps(someRows(3), target, xml()); });
    if (!outcome.ran)
        GTEST_SKIP() << outcome.why;
    EXPECT_EQ(outcome.why, "");
    EXPECT_EQ(readBytes(target), "old contents");
    struct stat info {};
    ASSERT_EQ(::stat(target.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0444u);
    EXPECT_EQ(folderEntries(), std::vector<std::string>{name("old")});
}

TEST_P(SaveFailureByFormat, AReadOnlyFolderKeepsTheOldFile)
{
    const std::string target = path(name("old"));
    writeBytes(target, "old contents");
    ::chmod(target.c_str(), 0444);
    ::chmod(folder.c_str(), 0555);
    const ChildOutcome outcome = runUnprivileged(folder, [&] { return failsAndKeeps(someRows(3), target, xml()); });
    if (!outcome.ran)
        GTEST_SKIP() << outcome.why;
    EXPECT_EQ(outcome.why, "");
    EXPECT_EQ(readBytes(target), "old contents");
    EXPECT_EQ(folderEntries(), std::vector<std::string>{name("old")});
}

// The write itself fails half-way (the file size limit stands in for a full disk;
// it holds for root too). Run in a child so the limit does not touch the test.
TEST_P(SaveFailureByFormat, AWriteThatFailsHalfWayKeepsTheOldFile)
{
    const std::string target = path(name("old"));
    writeBytes(target, "old contents");
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{4096, 4096};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        ::_exit(failsAndKeeps(someRows(100000), target, xml()).empty() ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "the save did not fail with the system's message";
    EXPECT_EQ(readBytes(target), "old contents");
    EXPECT_EQ(folderEntries(), std::vector<std::string>{name("old")});
}

TEST_P(SaveFailureByFormat, ASuccessfulSaveReplacesTheFileAndKeepsItsMode)
{
    const std::string target = path(name("kept"));
    writeBytes(target, "old contents");
    ::chmod(target.c_str(), 0640);
    ASSERT_TRUE(SaveTableFile(someRows(2), target, messages));

    struct stat info {};
    ASSERT_EQ(::stat(target.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640u);
    EXPECT_NE(readBytes(target), "old contents");
    EXPECT_EQ(folderEntries(), std::vector<std::string>{name("kept")});
}

INSTANTIATE_TEST_SUITE_P(Formats, SaveFailureByFormat, ::testing::Values("txt", "xml"),
                         [](const auto& test) { return std::string(test.param); });

TEST_F(SaveFailureTest, ANewFileGetsTheUsualModeNotThatOfATemporaryFile)
{
    const mode_t mask = ::umask(022);
    ASSERT_TRUE(SaveTableFile(someRows(1), path("new.txt"), messages));
    ::umask(mask);
    struct stat info {};
    ASSERT_EQ(::stat(path("new.txt").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0644u);
}

} // namespace
} // namespace valdrin::testing
