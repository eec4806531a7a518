// The long time format in a locale's own words: %p writes the locale's AM/PM words and
// %r stands for its 12-hour pattern, so that what a save writes, a load reads back.
#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <locale.h>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "base/SystemClock.h"
#include "record/TableFiles.h"
#include "record/TimeText.h"
#include "tests/support/RecordingEdges.h"

using namespace valdrin;

namespace {

constexpr int32_t hms(int h, int m, int s) { return ((h * 60 + m) * 60 + s) * 1000; }

// --- Given words: no locale needed.

struct WordsCase {
    const char* name;
    const char* pattern;
    TimeWords words;
    int32_t ms;
    std::string text;
};

class TimeWordsTest : public ::testing::TestWithParam<WordsCase> {};

TEST_P(TimeWordsTest, FormatsInTheWordsAndReadsThemBack)
{
    const WordsCase& c = GetParam();
    const TimeOfDayFormat format(c.pattern, c.words);
    EXPECT_EQ(format.format(c.ms), c.text);
    EXPECT_LE(format.format(c.ms).size(), format.maxLength());
    EXPECT_EQ(format.parse(c.text), c.ms);
}

const TimeWords kCWords;
const TimeWords kGreekWords{"\xF0\xEC", "\xEC\xEC", "%I:%M:%S %p"};  // ISO-8859-7
const TimeWords kKoreanWords{"\xEC\x98\xA4\xEC\xA0\x84", "\xEC\x98\xA4\xED\x9B\x84",  // UTF-8
                             "%p %I\xEC\x8B\x9C %M\xEB\xB6\x84 %S\xEC\xB4\x88"};

INSTANTIATE_TEST_SUITE_P(
    Words, TimeWordsTest,
    ::testing::Values(
        WordsCase{"CommonFormat", "%H:%M:%S", kCWords, hms(13, 2, 3), "13:02:03"},
        WordsCase{"CTwelveHourAfterNoon", "%r", kCWords, hms(13, 2, 3), "01:02:03 PM"},
        WordsCase{"CTwelveHourMidnight", "%r", kCWords, hms(0, 0, 0), "12:00:00 AM"},
        WordsCase{"GreekBeforeNoon", "%r", kGreekWords, hms(11, 59, 59), "11:59:59 \xF0\xEC"},
        WordsCase{"GreekNoon", "%r", kGreekWords, hms(12, 0, 0), "12:00:00 \xEC\xEC"},
        WordsCase{"GreekLowerCaseLeavesItsLetters", "%I.%M %P", kGreekWords, hms(23, 5, 0), "11.05 \xEC\xEC"},
        WordsCase{"KoreanWordBeforeTheHour", "%r", kKoreanWords, hms(13, 2, 3),
                  "\xEC\x98\xA4\xED\x9B\x84 01\xEC\x8B\x9C 02\xEB\xB6\x84 03\xEC\xB4\x88"},
        WordsCase{"TwelveHourPatternOfItsOwnInsideAFormat", "[%r]", kKoreanWords, hms(0, 30, 0),
                  "[\xEC\x98\xA4\xEC\xA0\x84 12\xEC\x8B\x9C 30\xEB\xB6\x84 00\xEC\xB4\x88]"},
        WordsCase{"ShorterWordBeginsTheLonger", "%I:%M %p", TimeWords{"M", "MX", "%I:%M:%S %p"}, hms(15, 0, 0),
                  "03:00 MX"},
        WordsCase{"LocaleWithoutWords", "%H:%M %p", TimeWords{"", "", "%I:%M:%S %p"}, hms(15, 0, 0), "15:00 "}),
    [](const ::testing::TestParamInfo<WordsCase>& p) { return std::string(p.param.name); });

TEST(TimeWordsTest, ReadsTheWordsInAnyAsciiCaseAndNothingElse)
{
    const TimeOfDayFormat format("%r", kCWords);
    EXPECT_EQ(format.parse("01:02:03 pm"), hms(13, 2, 3));
    EXPECT_EQ(format.parse("01:02:03 Am"), hms(1, 2, 3));
    EXPECT_EQ(format.parse("01:02:03 \xEC\xEC"), std::nullopt);
    EXPECT_EQ(format.parse("01:02:03 P"), std::nullopt);
    const TimeOfDayFormat greek("%r", kGreekWords);
    EXPECT_EQ(greek.parse("01:02:03 PM"), std::nullopt);
    EXPECT_EQ(greek.parse("01:02:03 \xEC\xEC\xEC"), std::nullopt);  // a word and a byte too many
}

// --- Locales compiled for the test: each test switches its own thread to one.

struct LocaleCase {
    const char* name;  // the folder localedef writes
    const char* source, *charmap;
    TimeWords words;  // as the locale's data gives them
};

const LocaleCase kLocales[] = {
    {"en_US.UTF-8", "en_US", "UTF-8", TimeWords{"AM", "PM", "%I:%M:%S %p"}},
    {"el_GR", "el_GR", "ISO-8859-7", kGreekWords},
};

// The thread's locale for the life of the object, then the one before.
class ThreadLocale {
public:
    explicit ThreadLocale(locale_t locale) : previous_(uselocale(locale)) {}
    ~ThreadLocale() { uselocale(previous_); }
    ThreadLocale(const ThreadLocale&) = delete;
    ThreadLocale& operator=(const ThreadLocale&) = delete;

private:
    locale_t previous_;
};

class GeneratedLocaleTest : public ::testing::TestWithParam<LocaleCase> {
protected:
    static void TearDownTestSuite()
    {
        for (auto& [name, locale] : locales_)
            ::freelocale(locale);
        locales_.clear();
        std::error_code ignored;
        if (!folder_.empty())
            std::filesystem::remove_all(folder_, ignored);
        folder_.clear();
    }
    void SetUp() override
    {
        const std::string failure = open(GetParam());
        if (!failure.empty())
            GTEST_SKIP() << failure;
        locale_ = locales_.at(GetParam().name);
    }

    // localedef writes the locale into a folder of the suite's own, once per suite;
    // LOCPATH points newlocale at it only while the locale is opened. Returns why the
    // locale cannot be had, or nothing.
    static std::string open(const LocaleCase& c)
    {
        if (locales_.count(c.name))
            return {};
        if (folder_.empty()) {
            std::string pattern = (std::filesystem::temp_directory_path() / "valdrin-locales-XXXXXX").string();
            if (::mkdtemp(pattern.data()) == nullptr)
                return "no temporary folder for the locales";
            folder_ = pattern;
        }
        const std::string command = std::string("localedef -c -i ") + c.source + " -f " + c.charmap + " '" +
                                    (folder_ / c.name).string() + "' >/dev/null 2>&1";
        [[maybe_unused]] const int status = std::system(command.c_str());  // warnings give 1 as well
        const char* previousPath = std::getenv("LOCPATH");
        const std::optional<std::string> previous =
            previousPath ? std::optional<std::string>(previousPath) : std::nullopt;
        ::setenv("LOCPATH", folder_.c_str(), 1);
        const locale_t locale = ::newlocale(LC_ALL_MASK, c.name, nullptr);
        if (previous)
            ::setenv("LOCPATH", previous->c_str(), 1);
        else
            ::unsetenv("LOCPATH");
        if (locale == nullptr)
            return std::string("localedef could not make ") + c.name +
                   " (are localedef and the Debian package locales installed?)";
        locales_[c.name] = locale;
        return {};
    }

    // The text strftime gives for the time in the thread's locale.
    static std::string strftimeText(const char* format, int32_t ms)
    {
        std::tm tm{};
        tm.tm_hour = ms / 3600000;
        tm.tm_min = ms / 60000 % 60;
        tm.tm_sec = ms / 1000 % 60;
        char buffer[128];
        const std::size_t n = std::strftime(buffer, sizeof buffer, format, &tm);
        return std::string(buffer, n);
    }

    static inline std::filesystem::path folder_;
    static inline std::map<std::string, locale_t> locales_;
    locale_t locale_ = nullptr;
};

TEST_P(GeneratedLocaleTest, TheLocaleGivesItsTwelveHourFormatAndWords)
{
    const ThreadLocale inLocale(locale_);
    EXPECT_EQ(systemLongTimeFormat(), "%r");
    const TimeWords words = systemTimeWords();
    EXPECT_EQ(words.am, GetParam().words.am);
    EXPECT_EQ(words.pm, GetParam().words.pm);
    EXPECT_EQ(words.twelveHour, GetParam().words.twelveHour);
}

TEST_P(GeneratedLocaleTest, TimesAcrossTheDayWriteAsStrftimeAndReadBack)
{
    const ThreadLocale inLocale(locale_);
    const std::string pattern = systemLongTimeFormat();
    const TimeOfDayFormat format(pattern);
    std::vector<int32_t> times = {hms(0, 0, 0), hms(0, 59, 59), hms(11, 59, 59), hms(12, 0, 0), hms(12, 59, 59),
                                  hms(13, 0, 0), hms(23, 59, 59)};
    for (int32_t ms = 0; ms < kMsPerDay; ms += hms(0, 7, 13))
        times.push_back(ms);
    for (const int32_t ms : times) {
        const std::string text = format.format(ms);
        EXPECT_EQ(text, strftimeText(pattern.c_str(), ms)) << ms;
        EXPECT_EQ(format.parse(text), ms) << text;
        EXPECT_EQ(formatTimeOfDay(ms, pattern), text);
        EXPECT_EQ(parseTimeOfDay(text, pattern), ms) << text;
    }
}

TEST_P(GeneratedLocaleTest, AFileLineInTheLocalesWordsLoadsAndASaveWritesThem)
{
    const ThreadLocale inLocale(locale_);
    TableFileOptions options;
    options.longTimeFormat = systemLongTimeFormat();
    const std::string file = (folder_ / (std::string(GetParam().name) + ".txt")).string();
    const std::string afternoon = "01:02:03 " + GetParam().words.pm;
    const std::string morning = "11:22:33 " + GetParam().words.am;
    std::ofstream(file, std::ios::binary) << "No\tTime\tDC/AC\tValue\tUnit\tAuto\r\n"
                                          << "1\t" << afternoon << "\tDC\t1.234\tV\tAUTO\r\n"
                                          << "2\t" << morning << "\tAC\t5.678\tV\tMANU\r\n";
    test::RecordingMessages messages;
    ReadingTable table;
    ASSERT_TRUE(LoadTableFile(file, table, false, messages, options));
    ASSERT_EQ(table.size(), 2u);
    EXPECT_EQ(table.timeMs(0), hms(13, 2, 3));
    EXPECT_EQ(table.timeMs(1), hms(11, 22, 33));

    const std::string saved = (folder_ / (std::string(GetParam().name) + "-saved.txt")).string();
    ASSERT_TRUE(SaveTableFile(table, saved, messages, options));
    std::ifstream in(saved, std::ios::binary);
    const std::string bytes(std::istreambuf_iterator<char>(in), {});
    EXPECT_NE(bytes.find("1\t" + afternoon + "\tDC\t"), std::string::npos) << bytes;
    EXPECT_NE(bytes.find("2\t" + morning + "\tAC\t"), std::string::npos) << bytes;
    EXPECT_TRUE(messages.errors.empty());
}

INSTANTIATE_TEST_SUITE_P(Locales, GeneratedLocaleTest, ::testing::ValuesIn(kLocales),
                         [](const ::testing::TestParamInfo<LocaleCase>& p) { return std::string(p.param.source); });

} // namespace
