// The reading table cds1: six typed fields, rows in append order, a change log.
// Rows are packed (about 44 bytes each) so that ten million recorded readings fit
// in memory; the three short texts with few distinct values are interned.
#pragma once

#include "record/ShortText.h"

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
    // The recording path: a logged row with both numbers set. Inline: loads append a
    // million rows through here.
    void appendReading(int32_t no, int32_t timeMs, std::string_view mode, std::string_view value,
                       std::string_view unit, std::string_view range)
    {
        PackedRow& row = newRow();
        row.no = no;
        row.timeMs = timeMs;
        row.mode = modes_.intern(cut(mode));
        row.unit = units_.intern(cut(unit));
        row.range = ranges_.intern(cut(range));
        row.flags = NoSet | TimeSet | Logged;
        const std::string_view v = cut(value);
        row.valueLength = static_cast<uint8_t>(v.size());
        shorttext::copy(row.value, v.data(), v.size());
        ++loggedCount_;
    }

    TableRow row(std::size_t index) const;
    std::optional<int32_t> no(std::size_t index) const
    {
        const PackedRow& r = at(index);
        return (r.flags & NoSet) ? std::optional<int32_t>(r.no) : std::nullopt;
    }
    std::optional<int32_t> timeMs(std::size_t index) const
    {
        const PackedRow& r = at(index);
        return (r.flags & TimeSet) ? std::optional<int32_t>(r.timeMs) : std::nullopt;
    }
    // Text of a text field; empty when null.
    std::string_view text(std::size_t index, Field field) const
    {
        const PackedRow& r = at(index);
        switch (field) {
        case Field::DCAC: return modes_.at(r.mode);
        case Field::Value: return std::string_view(r.value, r.valueLength);
        case Field::Unit: return units_.at(r.unit);
        case Field::Auto: return ranges_.at(r.range);
        default: return {};
        }
    }
    bool logged(std::size_t index) const { return (at(index).flags & Logged) != 0; }
    std::size_t loggedCount() const { return loggedCount_; }

    // All fields of one row at once, for the file writers. DC/AC, Unit and Auto come
    // as ids of their distinct texts (textOfId), so that a writer can prepare each
    // distinct text once instead of once a row.
    struct RowFields {
        int32_t no;      // 0 when null
        int32_t timeMs;  // 0 when null
        bool hasNo, hasTime, logged;
        uint32_t textIds[3];  // DC/AC, Unit, Auto; id 0 is the empty text
        std::string_view value;
    };
    RowFields fields(std::size_t index) const
    {
        const PackedRow& r = at(index);
        return {r.no,
                r.timeMs,
                (r.flags & NoSet) != 0,
                (r.flags & TimeSet) != 0,
                (r.flags & Logged) != 0,
                {r.mode, r.unit, r.range},
                std::string_view(r.value, r.valueLength)};
    }
    // The interned fields in the order of RowFields::textIds.
    static constexpr std::array<Field, 3> kInternedFields = {Field::DCAC, Field::Unit, Field::Auto};
    // Ids of field (one of kInternedFields) run from 0 to textIdCount(field) - 1; an id
    // keeps its text until the table is emptied.
    std::size_t textIdCount(Field field) const { return dictionary(field).texts.size(); }
    std::string_view textOfId(Field field, uint32_t id) const { return dictionary(field).at(id); }

    // A load's many appends: from begin to end, the memory of the next chunk of rows
    // is made resident on another thread while rows go into the current one, so that
    // the appends do not wait for it page by page. end() is implied by destruction.
    void beginBulkAppend();
    void endBulkAppend();

    // Empties rows and the change log.
    void clear();
    // Advanced whenever rows go other than by an append (emptied, swapped, assigned), so
    // that a view can tell a replaced table from a grown one.
    uint64_t generation() const { return generation_.value; }
    void swap(ReadingTable& other) noexcept;

    // Bytes held by rows and dictionaries (for the memory benchmark).
    std::size_t bytesReserved() const;

private:
    enum RowFlag : uint8_t { NoSet = 1, TimeSet = 2, Logged = 4 };
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
        uint32_t lastId = 0;  // the recording path and loads repeat the same texts row after row
        uint32_t intern(std::string_view text)
        {
            return shorttext::same(texts[lastId], text) ? lastId : internOther(text);
        }
        uint32_t internOther(std::string_view text);
        std::string_view at(uint32_t id) const { return texts[id]; }
    };

    static std::string_view cut(std::string_view text)
    {
        return text.size() > kTextFieldWidth ? text.substr(0, kTextFieldWidth) : text;
    }
    PackedRow& newRow()
    {
        if (size_ % kChunkRows == 0 && size_ / kChunkRows == chunks_.size())
            addChunk();
        PackedRow& row = chunks_[size_ / kChunkRows][size_ % kChunkRows];
        ++size_;
        return row;
    }
    void addChunk();
    struct ChunkAhead;
    const PackedRow& at(std::size_t index) const { return chunks_[index / kChunkRows][index % kChunkRows]; }
    const Dictionary& dictionary(Field field) const
    {
        return field == Field::DCAC ? modes_ : field == Field::Unit ? units_ : ranges_;
    }

    std::vector<std::unique_ptr<PackedRow[]>> chunks_;
    std::size_t size_ = 0;
    std::size_t loggedCount_ = 0;
    Dictionary modes_, units_, ranges_;
    std::unique_ptr<ChunkAhead> ahead_;  // during a bulk append only
    // A move into a table advances it past both tables' values, so that both sides of
    // a swap read as replaced.
    struct Generation {
        uint64_t value = 0;
        Generation() = default;
        Generation(Generation&& other) noexcept : value(other.value + 1) {}
        Generation& operator=(Generation&& other) noexcept
        {
            value = (value > other.value ? value : other.value) + 1;
            return *this;
        }
    } generation_;
};

} // namespace valdrin
