// Where a save writes: through symbolic links to the file they name, into a pipe, in
// place when the folder takes no temporary file or refuses the rename, and over a
// file of another owner.
#include "TableFileFixture.h"
#include "UnprivilegedChild.h"

#include "record/TableFiles.h"

#include <sys/stat.h>
#include <thread>

namespace valdrin::testing {
namespace {

ReadingTable someRows()
{
    ReadingTable table;
    for (int32_t i = 1; i <= 50; ++i)
        table.appendReading(i, kAt140327 + i * 1000, "DC", std::to_string(i) + ".5", "V", "AUTO");
    return table;
}

class SaveTargetByFormat : public TableFileTest, public ::testing::WithParamInterface<const char*> {
protected:
    std::string name(const std::string& stem) const { return stem + "." + GetParam(); }
    // The bytes a save of someRows() gives, saved to a plain new file.
    std::string savedBytes()
    {
        test::RecordingMessages quiet;
        const std::string reference = (folder / ".." / (folder.filename().string() + "-" + name("reference"))).string();
        EXPECT_TRUE(SaveTableFile(someRows(), reference, quiet));
        std::string bytes = readBytes(reference);
        std::filesystem::remove(reference);
        return bytes;
    }
    std::vector<Message> saved(const std::string& file) const
    {
        return {{"information", "Save table to specified file: " + file + " Scuss!", "Information"}};
    }
    static std::vector<std::string> entriesOf(const std::filesystem::path& dir)
    {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(dir))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
};

// chain -> hop (relative) -> data/real (absolute): both links stay, the file they
// name is saved, and no temporary file is left in either folder.
TEST_P(SaveTargetByFormat, ASymbolicLinkIsFollowedToTheFileItNamesAndStaysALink)
{
    std::filesystem::create_directory(folder / "data");
    const std::filesystem::path real = folder / "data" / name("real");
    writeBytes(real.string(), "old contents");
    std::filesystem::create_symlink(real, folder / name("hop"));
    std::filesystem::create_symlink(name("hop"), folder / name("chain"));

    ASSERT_TRUE(SaveTableFile(someRows(), path(name("chain")), messages));
    EXPECT_EQ(shown(), saved(path(name("chain"))));
    EXPECT_EQ(readBytes(real.string()), savedBytes());
    ASSERT_TRUE(std::filesystem::is_symlink(folder / name("chain")));
    ASSERT_TRUE(std::filesystem::is_symlink(folder / name("hop")));
    EXPECT_EQ(std::filesystem::read_symlink(folder / name("chain")), name("hop"));
    EXPECT_EQ(std::filesystem::read_symlink(folder / name("hop")), real);
    EXPECT_EQ(entriesOf(folder), (std::vector<std::string>{name("chain"), "data", name("hop")}));
    EXPECT_EQ(entriesOf(folder / "data"), std::vector<std::string>{name("real")});
}

TEST_P(SaveTargetByFormat, ALinkToAFileNotYetThereCreatesThatFile)
{
    std::filesystem::create_directory(folder / "data");
    std::filesystem::create_symlink(std::filesystem::path("data") / name("new"), folder / name("link"));

    ASSERT_TRUE(SaveTableFile(someRows(), path(name("link")), messages));
    EXPECT_TRUE(std::filesystem::is_symlink(folder / name("link")));
    EXPECT_EQ(readBytes(path("data/" + name("new"))), savedBytes());
}

TEST_P(SaveTargetByFormat, ALoopOfLinksFailsAndStays)
{
    std::filesystem::create_symlink(name("b"), folder / name("a"));
    std::filesystem::create_symlink(name("a"), folder / name("b"));
    EXPECT_FALSE(SaveTableFile(someRows(), path(name("a")), messages));
    ASSERT_EQ(shown().size(), 1u);
    EXPECT_TRUE(std::filesystem::is_symlink(folder / name("a")));
    EXPECT_EQ(entriesOf(folder), (std::vector<std::string>{name("a"), name("b")}));
}

// A pipe is written into, not replaced by a regular file.
TEST_P(SaveTargetByFormat, APipeIsWrittenAndStaysAPipe)
{
    const std::string pipe = path(name("pipe"));
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    std::string received;
    std::thread reader([&] { received = readBytes(pipe); });
    const bool written = SaveTableFile(someRows(), pipe, messages);
    reader.join();
    ASSERT_TRUE(written);
    EXPECT_EQ(received, savedBytes());
    struct stat info {};
    ASSERT_EQ(::lstat(pipe.c_str(), &info), 0);
    EXPECT_TRUE(S_ISFIFO(info.st_mode));
}

// The folder takes no temporary file, the file may be written: the file itself is
// written (the same file, its old longer contents gone).
TEST_P(SaveTargetByFormat, AWritableFileInAFolderThatCannotBeWrittenIsSavedInPlace)
{
    const std::string expected = savedBytes();
    const std::string target = path(name("old"));
    writeBytes(target, std::string(expected.size() + 5000, 'x'));
    struct stat before {};
    ASSERT_EQ(::stat(target.c_str(), &before), 0);
    ::chmod(folder.c_str(), 0555);

    const ChildOutcome outcome = runUnprivileged(folder, [&]() -> std::string {
        test::RecordingMessages childMessages;
        if (!SaveTableFile(someRows(), target, childMessages))
            return "the save failed";
        if (shownBy(childMessages) != saved(target))
            return "not the success message";
        return {};
    });
    if (!outcome.ran)
        GTEST_SKIP() << outcome.why;
    EXPECT_EQ(outcome.why, "");
    EXPECT_EQ(readBytes(target), expected);
    struct stat after {};
    ASSERT_EQ(::stat(target.c_str(), &after), 0);
    EXPECT_EQ(after.st_ino, before.st_ino);
    EXPECT_EQ(folderEntries(), std::vector<std::string>{name("old")});
}

// A folder with the sticky bit (as /tmp) lets only the owners replace a file; a file
// of another owner that the user may write is written in place.
TEST_P(SaveTargetByFormat, AWritableFileOfAnotherOwnerInAStickyFolderIsSavedInPlace)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "the file of another owner is made by root";
    const std::string expected = savedBytes();
    std::filesystem::create_directory(folder / "shared");
    ::chmod(folder.c_str(), 0711);
    ::chmod((folder / "shared").c_str(), 01777);
    const std::string target = path("shared/" + name("theirs"));
    writeBytes(target, std::string(expected.size() + 5000, 'x'));
    ::chmod(target.c_str(), 0666);
    struct stat before {};
    ASSERT_EQ(::stat(target.c_str(), &before), 0);

    const ChildOutcome outcome = runUnprivileged(
        folder / "shared",
        [&]() -> std::string {
            test::RecordingMessages childMessages;
            if (!SaveTableFile(someRows(), target, childMessages))
                return "the save failed: " + (childMessages.shown.empty() ? std::string() : childMessages.shown[0].text) +
                       (childMessages.errors.empty() ? std::string() : childMessages.errors[0]);
            return shownBy(childMessages) == saved(target) ? "" : "not the success message";
        },
        false);
    if (!outcome.ran)
        GTEST_SKIP() << outcome.why;
    EXPECT_EQ(outcome.why, "");
    EXPECT_EQ(readBytes(target), expected);
    struct stat after {};
    ASSERT_EQ(::stat(target.c_str(), &after), 0);
    EXPECT_EQ(after.st_ino, before.st_ino);
    EXPECT_EQ(after.st_uid, 0u);
    EXPECT_EQ(entriesOf(folder / "shared"), std::vector<std::string>{name("theirs")});
}

// Root saving over a user's file leaves it the user's.
TEST_P(SaveTargetByFormat, AFileOfAnotherOwnerKeepsItsOwner)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "only root can save a file of another owner";
    const std::string target = path(name("theirs"));
    writeBytes(target, "old contents");
    ASSERT_EQ(::chown(target.c_str(), 65534, 65534), 0);
    ASSERT_TRUE(SaveTableFile(someRows(), target, messages));
    struct stat info {};
    ASSERT_EQ(::stat(target.c_str(), &info), 0);
    EXPECT_EQ(info.st_uid, 65534u);
    EXPECT_EQ(info.st_gid, 65534u);
    EXPECT_EQ(readBytes(target), savedBytes());
}

INSTANTIATE_TEST_SUITE_P(Formats, SaveTargetByFormat, ::testing::Values("txt", "xml"),
                         [](const auto& test) { return std::string(test.param); });

} // namespace
} // namespace valdrin::testing
