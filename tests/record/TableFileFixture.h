// A fresh folder per test, a recording message sink and whole-file helpers for the
// table file tests.
#pragma once

#include "record/ReadingTable.h"
#include "tests/support/RecordingEdges.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace valdrin {

// Rows in failure messages as their fields, with control characters and 8-bit bytes
// as hexadecimal escapes.
inline void PrintTo(const TableRow& row, std::ostream* os)
{
    auto text = [os](const std::string& t) {
        *os << '"';
        for (const char c : t) {
            const auto byte = static_cast<unsigned char>(c);
            if (byte < 0x20 || byte >= 0x7F || c == '"' || c == '\\') {
                char hex[8];
                std::snprintf(hex, sizeof hex, "\\x%02X", byte);
                *os << hex;
            } else {
                *os << c;
            }
        }
        *os << '"';
    };
    *os << "{No ";
    row.No ? *os << *row.No : *os << "null";
    *os << ", TimeMs ";
    row.TimeMs ? *os << *row.TimeMs : *os << "null";
    for (const std::string* t : {&row.DCAC, &row.Value, &row.Unit, &row.Auto}) {
        *os << ", ";
        text(*t);
    }
    *os << (row.logged ? ", logged}" : ", not logged}");
}

} // namespace valdrin

namespace valdrin::testing {

// One message the window showed: a message box (information, error) or a text given
// to the application's error handler (application), in a form tests compare.
struct Message {
    std::string kind;
    std::string text;
    std::string caption;
    bool operator==(const Message&) const = default;
};

inline void PrintTo(const Message& m, std::ostream* os) { *os << m.kind << " [" << m.caption << "] " << m.text; }

// The message boxes in the order shown, then the application's errors.
inline std::vector<Message> shownBy(const test::RecordingMessages& messages)
{
    std::vector<Message> shown;
    for (const auto& box : messages.shown)
        shown.push_back({box.kind, box.text, box.caption});
    for (const std::string& error : messages.errors)
        shown.push_back({"application", error, ""});
    return shown;
}

class TableFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "valdrin-files-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        folder = pattern;
    }
    void TearDown() override
    {
        std::error_code ignored;
        std::filesystem::permissions(folder, std::filesystem::perms::owner_all, ignored);
        std::filesystem::remove_all(folder, ignored);
    }

    std::string path(const std::string& name) const { return (folder / name).string(); }

    static std::string readBytes(const std::string& file)
    {
        std::ifstream in(file, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    static void writeBytes(const std::string& file, const std::string& bytes)
    {
        std::ofstream(file, std::ios::binary) << bytes;
    }
    static std::vector<TableRow> rowsOf(const ReadingTable& table)
    {
        std::vector<TableRow> rows;
        for (std::size_t i = 0; i < table.size(); ++i)
            rows.push_back(table.row(i));
        return rows;
    }
    // Files left in the folder (a failed or finished save leaves no temporary file).
    std::vector<std::string> folderEntries() const
    {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(folder))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    std::vector<Message> shown() const { return shownBy(messages); }

    std::filesystem::path folder;
    test::RecordingMessages messages;
};

// 14:03:27 and its parts in milliseconds since midnight.
inline constexpr int32_t kAt140327 = (14 * 3600 + 3 * 60 + 27) * 1000;

inline TableRow reading(int32_t no, int32_t timeMs, std::string mode, std::string value, std::string unit,
                        std::string range)
{
    TableRow row;
    row.No = no;
    row.TimeMs = timeMs;
    row.DCAC = std::move(mode);
    row.Value = std::move(value);
    row.Unit = std::move(unit);
    row.Auto = std::move(range);
    return row;
}

} // namespace valdrin::testing
