// A fresh folder per test, a recording message sink and whole-file helpers for the
// table file tests.
#pragma once

#include "base/Edges.h"
#include "record/ReadingTable.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace valdrin::testing {

struct Message {
    std::string kind;  // information, error, application
    std::string text;
    std::string caption;
    bool operator==(const Message&) const = default;
};

inline void PrintTo(const Message& m, std::ostream* os) { *os << m.kind << " [" << m.caption << "] " << m.text; }

class RecordingMessages : public Messages {
public:
    void information(const std::string& text, const std::string& caption) override
    {
        shown.push_back({"information", text, caption});
    }
    void error(const std::string& text, const std::string& caption) override { shown.push_back({"error", text, caption}); }
    bool question(const std::string&) override { return true; }
    void applicationError(const std::string& text) override { shown.push_back({"application", text, ""}); }
    std::vector<Message> shown;
};

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

    std::filesystem::path folder;
    RecordingMessages messages;
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
