// The table file commands through the window with real files: the save and open
// tool buttons (and the hidden Save item) with their dialogs, the formats by
// extension, the outcome messages, and what the grid and the recording show after.
#include "WindowFixture.h"

#include "ui/ReadingGridModel.h"
#include "ui/TableFileCommands.h"
#include "ui/WindowGridView.h"

#include <QAction>
#include <QComboBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QTimer>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <pwd.h>
#include <sys/fsuid.h>
#include <sys/stat.h>

using namespace valdrin;
using namespace valdrin::test;

namespace {

// Messages that also note whether the busy cursor still stood when one was shown.
class CursorMessages final : public RecordingMessages {
public:
    int shownUnderBusyCursor = 0;
    void information(const std::string& text, const std::string& caption) override
    {
        note();
        RecordingMessages::information(text, caption);
    }
    void error(const std::string& text, const std::string& caption) override
    {
        note();
        RecordingMessages::error(text, caption);
    }
    void applicationError(const std::string& text) override
    {
        note();
        RecordingMessages::applicationError(text);
    }

private:
    void note() { shownUnderBusyCursor += QGuiApplication::overrideCursor() != nullptr; }
};

std::string readBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

void writeBytes(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

const char kHeader[] = "No\tTime\tDC/AC\tValue\tUnit\tAuto\r\n";

struct FilesWindow : ::testing::Test {
    CursorMessages messages;
    WindowFixture f{&messages};
    QTemporaryDir folder;

    std::string path(const std::string& name) const { return (folder.path() + u'/' + QString::fromStdString(name)).toStdString(); }
    ReadingTable& table() { return f.core().cds1; }
    int gridRows() const { return f.find<ReadingGridView>("DBGrid1")->model()->rowCount(); }
    std::vector<TableRow> rows()
    {
        std::vector<TableRow> out;
        for (std::size_t i = 0; i < table().size(); ++i)
            out.push_back(table().row(i));
        return out;
    }
    void save(const std::string& name)
    {
        f.dialogs.answers.push_back(name);
        f.click("saveas");
    }
    void open(const std::string& name)
    {
        f.dialogs.answers.push_back(name);
        f.click("OpenDataFiles");
    }
    void TearDown() override
    {
        EXPECT_EQ(messages.shownUnderBusyCursor, 0) << "a message was shown under the busy cursor";
        EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr) << "the busy cursor stayed";
    }
};

struct SaveCase {
    const char* name;
    bool xml;
};

TEST_F(FilesWindow, SaveWritesTheFormatOfTheExtensionAndNamesTheFile)
{
    f.zentor({"123451121", "123451121"});
    ASSERT_EQ(table().size(), 2u);
    const SaveCase cases[] = {{"a.xls", false}, {"b.txt", false}, {"c.XML", true}, {"d", false}};
    for (const SaveCase& c : cases) {
        SCOPED_TRACE(c.name);
        messages.shown.clear();
        save(path(c.name));
        ASSERT_EQ(messages.shown.size(), 1u);
        EXPECT_EQ(messages.shown[0].kind, "information");
        EXPECT_EQ(messages.shown[0].text, "Save table to specified file: " + path(c.name) + " Scuss!");
        EXPECT_EQ(messages.shown[0].caption, "Information");
        const std::string bytes = readBytes(path(c.name));
        if (c.xml) {
            EXPECT_EQ(bytes.rfind("<?xml version=\"1.0\" standalone=\"yes\"?>  <DATAPACKET Version=\"2.0\">", 0), 0u);
        } else {
            EXPECT_EQ(bytes.rfind(kHeader, 0), 0u);
            EXPECT_EQ(std::count(bytes.begin(), bytes.end(), '\n'), 3);
        }
    }
    // The dialog: the three formats, xls by default, asking before replacing.
    ASSERT_EQ(f.dialogs.asked.size(), std::size(cases));
    const FileDialogOptions& asked = f.dialogs.asked.back();
    EXPECT_EQ(asked.filter, "Excel File(*.xls)|*.xls|XML(*.xml)|*.xml|Txt File(*.txt)|*.txt");
    EXPECT_EQ(asked.defaultExtension, "xls");
    EXPECT_TRUE(asked.overwritePrompt);
    EXPECT_EQ(table().size(), 2u) << "saving leaves the rows";

    // The hidden menu item runs the same command; a cancelled dialog does nothing.
    messages.shown.clear();
    f.dialogs.answers.push_back(path("e.txt"));
    f.window->findChild<QAction*>(QStringLiteral("Save1"))->trigger();
    EXPECT_EQ(readBytes(path("e.txt")), readBytes(path("b.txt")));
    EXPECT_EQ(messages.texts("information").size(), 1u);
    f.click("saveas");
    EXPECT_EQ(messages.shown.size(), 1u);
}

// Root passes every permission check: the save runs with the file system rights of
// "nobody" (a per-thread identity) so the folder refuses it.
TEST_F(FilesWindow, SaveIntoAFolderThatCannotBeWrittenShowsTheErrorAndKeepsTheOldFile)
{
    f.zentor({"123451121"});
    const std::string locked = path("locked");
    ASSERT_EQ(::mkdir(locked.c_str(), 0755), 0);
    const std::string target = locked + "/old.txt";
    writeBytes(target, "old contents");
    ::chmod(target.c_str(), 0444);
    ::chmod(locked.c_str(), 0555);
    ::chmod(folder.path().toLocal8Bit().constData(), 0755);

    uid_t previousUid = ::geteuid();
    gid_t previousGid = ::getegid();
    if (::geteuid() == 0) {
        const passwd* nobody = ::getpwnam("nobody");
        if (!nobody)
            GTEST_SKIP() << "no user \"nobody\" to save as";
        previousGid = static_cast<gid_t>(::setfsgid(nobody->pw_gid));
        previousUid = static_cast<uid_t>(::setfsuid(nobody->pw_uid));
    }
    const int probe = ::open((locked + "/probe").c_str(), O_CREAT | O_WRONLY, 0644);
    const bool refused = probe < 0;
    if (probe >= 0)
        ::close(probe);
    save(target);
    ::setfsuid(previousUid);
    ::setfsgid(previousGid);
    if (!refused)
        GTEST_SKIP() << "the folder cannot be made unwritable here";

    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].kind, "error");
    EXPECT_EQ(messages.shown[0].text, "Could not save table to specified file: " + target);
    EXPECT_EQ(messages.shown[0].caption, "Error");
    EXPECT_EQ(readBytes(target), "old contents");
    EXPECT_EQ(table().size(), 1u);
    ::chmod(locked.c_str(), 0755);
}

TEST_F(FilesWindow, OpeningATextFileTwiceGivesEveryRowTwiceAndTheGridShowsThemAtOnce)
{
    const std::string file = path("old.txt");
    writeBytes(file, std::string(kHeader) + "7\t14:03:27\tDC\t1.234\tV\tAUTO\r\n8\t14:03:28\tNULL\t-0.5\tm*\tMANU\r\n");
    open(file);
    EXPECT_EQ(gridRows(), 2);
    open(file);
    EXPECT_EQ(gridRows(), 4);
    const std::vector<TableRow> loaded = rows();
    ASSERT_EQ(loaded.size(), 4u);
    EXPECT_EQ(loaded[0].No, 7);
    EXPECT_EQ(loaded[0].TimeMs, (14 * 3600 + 3 * 60 + 27) * 1000);
    EXPECT_EQ(loaded[1].DCAC, "NULL");
    EXPECT_EQ(loaded[1].Unit, "m*");
    EXPECT_EQ(loaded[2], loaded[0]);
    EXPECT_EQ(loaded[3], loaded[1]);
    EXPECT_TRUE(messages.shown.empty());

    ASSERT_EQ(f.dialogs.asked.size(), 2u);
    EXPECT_EQ(f.dialogs.asked[0].filter, "Exel File(*.xls)|*.xls|XML (*.xml)|*.xml|Txt File(*.txt)|*.txt");
    EXPECT_EQ(f.dialogs.asked[0].defaultExtension, "");

    // Recording goes on with its own numbers after the loaded rows.
    f.zentor({"123451121"});
    ASSERT_EQ(table().size(), 5u);
    EXPECT_EQ(table().no(4), 1);
}

TEST_F(FilesWindow, OpeningAnXmlFileReplacesTheRowsAndRecordingGoesOnWithTheNextNumber)
{
    f.zentor({"123451121", "123451121"});
    ASSERT_EQ(f.core().S.recording.RecordNo, 3);

    ReadingTable other;
    for (int32_t no = 10; no <= 12; ++no)
        other.appendReading(no, 1000 * no, "AC", "0.00" + std::to_string(no), "V", "AUTO");
    RecordingMessages quiet;
    ASSERT_TRUE(SaveTableFile(other, path("other.xml"), quiet));

    open(path("other.xml"));
    EXPECT_TRUE(messages.shown.empty());
    ASSERT_EQ(table().size(), 3u);
    EXPECT_EQ(gridRows(), 3);
    EXPECT_EQ(table().no(0), 10);
    EXPECT_EQ(table().text(2, Field::Value), "0.0012");

    f.zentor({"123451121"});
    ASSERT_EQ(table().size(), 4u);
    EXPECT_EQ(table().no(3), 3);
    EXPECT_EQ(gridRows(), 4);
}

TEST_F(FilesWindow, ABrokenFileGivesFailedToLoadAndKeepsTheTable)
{
    f.zentor({"123451121", "123451121"});
    const std::vector<TableRow> before = rows();
    const struct {
        const char* name;
        std::string bytes;
    } broken[] = {{"broken.xml", "<?xml version=\"1.0\"?><DATAPACKET"},
                  {"broken.txt", std::string(kHeader) + "one\t14:03:27\tDC\t1\tV\tAUTO\r\n"},
                  {"empty.xls", ""}};
    for (const auto& b : broken) {
        SCOPED_TRACE(b.name);
        messages.shown.clear();
        writeBytes(path(b.name), b.bytes);
        open(path(b.name));
        ASSERT_EQ(messages.shown.size(), 1u);
        EXPECT_EQ(messages.shown[0].kind, "error");
        EXPECT_EQ(messages.shown[0].text, "Failed to Load File!");
        EXPECT_EQ(messages.shown[0].caption, "Error");
        EXPECT_EQ(rows(), before);
        EXPECT_EQ(gridRows(), 2);
    }
    // Recording still works after the failures.
    f.zentor({"123451121"});
    EXPECT_EQ(table().size(), 3u);
}

// The window's save dialog: a name typed without extension takes that of the file
// type chosen, so that choosing XML saves the XML format.
TEST(FilesDialog, ANameWithoutExtensionTakesThatOfTheChosenType)
{
    QTemporaryDir folder;
    // The type chosen as the user does, with the arrow keys on the type box.
    const struct {
        int downs, ups;
        const char* saved;
    } cases[] = {{0, 0, "a.xls"}, {1, 0, "a.xml"}, {2, 0, "a.txt"}, {2, 2, "a.xls"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.saved);
        WindowFileDialogs dialogs;
        // The folder loads in the background and may reset the typed name: the name
        // is typed and Save pressed on every tick until the dialog has closed (or,
        // failing, is closed after about two seconds).
        QTimer answer;
        answer.setInterval(5);
        bool prepared = false;
        int tries = 0;
        QObject::connect(&answer, &QTimer::timeout, [&] {
            for (QWidget* w : QApplication::topLevelWidgets()) {
                auto* dialog = qobject_cast<QFileDialog*>(w);
                if (!dialog || !dialog->isVisible())
                    continue;
                if (!prepared) {
                    prepared = true;
                    dialog->setDirectory(folder.path());
                    auto* types = dialog->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
                    ASSERT_TRUE(types);
                    for (int i = 0; i < c.downs; ++i)
                        QTest::keyClick(types, Qt::Key_Down);
                    for (int i = 0; i < c.ups; ++i)
                        QTest::keyClick(types, Qt::Key_Up);
                    return;
                }
                if (++tries > 400) {
                    dialog->reject();
                    return;
                }
                auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
                ASSERT_TRUE(name);
                name->setText(QStringLiteral("a"));  // typed
                static_cast<QDialog*>(dialog)->accept();  // as the Save button does
            }
        });
        answer.start();
        const std::optional<std::string> name = dialogs.saveFileName(SaveDialog2());
        ASSERT_TRUE(name);
        EXPECT_EQ(*name, (folder.path() + u'/' + QString::fromLatin1(c.saved)).toStdString());
    }
}

} // namespace
