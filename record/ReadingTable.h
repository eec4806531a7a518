// The reading table cds1: six typed fields, rows in append order, a change log.
// Rows are packed (about 44 bytes each) so that ten million recorded readings fit
// in memory; the three short texts with few distinct values are interned.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace valdrin {

enum class Field : uint8_t { No, Time, DCAC, Value, Unit, Auto };
inline constexpr std::size_t kFieldCount = 6;
inline constexpr std::array<std::string_view, kFieldCount> kFieldNames = {"No", "Time", "DC/AC", "Value",
                                                                         "Unit", "Auto"};
// Text fields hold at most this many characters; longer texts are cut when stored.
inline constexpr std::size_t kTextFieldWidth = 20;

// Field named without regard to case ("dc/ac" finds DC/AC).
std::optional<Field> fieldByName(std::string_view name);

// One row as a plain value, for files and tests. An empty text is a null field.
struct TableRow {
    std::optional<int32_t> No;
    std::optional<int32_t> TimeMs;  // milliseconds since midnight
    std::string DCAC, Value, Unit, Auto;
    bool logged = true;  // part of the change log (an appended row)
    bool operator==(const TableRow&) const = default;
};

class ReadingTable {
public:
    ReadingTable();
    ReadingTable(ReadingTable&&) noexcept;
    ReadingTable& operator=(ReadingTable&&) noexcept;
    ~ReadingTable();

    std::size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }

    // Appends a row; texts are cut to 20 characters.
    void append(const TableRow& row);
    // The recording path: a logged row with both numbers set.
    void appendReading(int32_t no, int32_t timeMs, std::string_view mode, std::string_view value,
                       std::string_view unit, std::string_view range);

    TableRow row(std::size_t index) const;
    std::optional<int32_t> no(std::size_t index) const;
    std::optional<int32_t> timeMs(std::size_t index) const;
    // Text of a text field; empty when null.
    std::string_view text(std::size_t index, Field field) const;
    bool logged(std::size_t index) const;
    std::size_t loggedCount() const { return loggedCount_; }

    // Empties rows and the change log.
    void clear();
    void swap(ReadingTable& other) noexcept;

    // Bytes held by rows and dictionaries (for the memory benchmark).
    std::size_t bytesReserved() const;

private:
    struct PackedRow {
        int32_t no;
        int32_t timeMs;
        uint32_t mode, unit, range;  // dictionary ids; 0 is the empty text
        uint8_t flags;
        uint8_t valueLength;
        char value[kTextFieldWidth];
    };
    static constexpr std::size_t kChunkRows = 1u << 16;

    struct Dictionary {
        std::vector<std::string> texts{std::string()};
        std::unordered_map<std::string, uint32_t> ids;
        uint32_t lastId = 0;  // the recording path repeats the same texts frame after frame
        uint32_t intern(std::string_view text);
        std::string_view at(uint32_t id) const { return texts[id]; }
    };

    PackedRow& newRow();
    const PackedRow& at(std::size_t index) const { return chunks_[index / kChunkRows][index % kChunkRows]; }

    std::vector<std::unique_ptr<PackedRow[]>> chunks_;
    std::size_t size_ = 0;
    std::size_t loggedCount_ = 0;
    Dictionary modes_, units_, ranges_;
};

} // namespace valdrin
