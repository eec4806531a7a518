#include "record/ReadingTable.h"

#include "record/ShortText.h"

#include <algorithm>
#include <cstring>
#include <system_error>
#include <thread>

namespace valdrin {

namespace {
char lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }
} // namespace

std::optional<Field> fieldByName(std::string_view name)
{
    for (std::size_t i = 0; i < kFieldCount; ++i) {
        const std::string_view candidate = kFieldNames[i];
        if (candidate.size() == name.size() &&
            std::equal(candidate.begin(), candidate.end(), name.begin(),
                       [](char a, char b) { return lower(a) == lower(b); }))
            return static_cast<Field>(i);
    }
    return std::nullopt;
}

ReadingTable::ReadingTable() = default;
ReadingTable::ReadingTable(ReadingTable&&) noexcept = default;
ReadingTable& ReadingTable::operator=(ReadingTable&&) noexcept = default;
ReadingTable::~ReadingTable() = default;

uint32_t ReadingTable::Dictionary::internOther(std::string_view text)
{
    if (text.empty())
        return lastId = 0;
    const std::string key(text);
    auto found = ids.find(key);
    if (found != ids.end())
        return lastId = found->second;
    const auto id = static_cast<uint32_t>(texts.size());
    texts.push_back(key);
    ids.emplace(key, id);
    return lastId = id;
}

struct ReadingTable::ChunkAhead {
    std::unique_ptr<PackedRow[]> chunk;  // the next chunk, being made resident
    std::thread worker;
    ~ChunkAhead()
    {
        if (worker.joinable())
            worker.join();
    }
};

namespace {
template <class Row>
std::unique_ptr<Row[]> newChunk(std::size_t rows)
{
    // Not zeroed: every append sets each field a reader looks at.
    return std::make_unique_for_overwrite<Row[]>(rows);
}
} // namespace

void ReadingTable::addChunk()
{
    if (!ahead_) {
        chunks_.push_back(newChunk<PackedRow>(kChunkRows));
        return;
    }
    if (ahead_->worker.joinable())
        ahead_->worker.join();
    chunks_.push_back(ahead_->chunk ? std::move(ahead_->chunk) : newChunk<PackedRow>(kChunkRows));
    ahead_->chunk = newChunk<PackedRow>(kChunkRows);
    char* const bytes = reinterpret_cast<char*>(ahead_->chunk.get());
    try {
        ahead_->worker = std::thread([bytes] {
            // A write to every page: the system gives the memory now, not at the append.
            constexpr std::size_t kPage = 4096;
            for (std::size_t at = 0; at < kChunkRows * sizeof(PackedRow); at += kPage)
                bytes[at] = 0;
        });
    } catch (const std::system_error&) {
        // No thread: the pages come at the appends, as without a bulk append.
    }
}

void ReadingTable::beginBulkAppend()
{
    if (!ahead_)
        ahead_ = std::make_unique<ChunkAhead>();
}

void ReadingTable::endBulkAppend()
{
    ahead_.reset();  // waits for the worker; a chunk made resident but not reached is freed
}

void ReadingTable::append(const TableRow& in)
{
    PackedRow& row = newRow();
    row.no = in.No.value_or(0);
    row.timeMs = in.TimeMs.value_or(0);
    row.mode = modes_.intern(cut(in.DCAC));
    row.unit = units_.intern(cut(in.Unit));
    row.range = ranges_.intern(cut(in.Auto));
    row.flags = static_cast<uint8_t>((in.No ? NoSet : 0) | (in.TimeMs ? TimeSet : 0) | (in.logged ? Logged : 0));
    const std::string_view v = cut(in.Value);
    row.valueLength = static_cast<uint8_t>(v.size());
    shorttext::copy(row.value, v.data(), v.size());
    if (in.logged)
        ++loggedCount_;
}

TableRow ReadingTable::row(std::size_t index) const
{
    TableRow out;
    out.No = no(index);
    out.TimeMs = timeMs(index);
    out.DCAC = text(index, Field::DCAC);
    out.Value = text(index, Field::Value);
    out.Unit = text(index, Field::Unit);
    out.Auto = text(index, Field::Auto);
    out.logged = logged(index);
    return out;
}

void ReadingTable::clear()
{
    chunks_.clear();
    size_ = 0;
    loggedCount_ = 0;
    modes_ = Dictionary();
    units_ = Dictionary();
    ranges_ = Dictionary();
}

void ReadingTable::swap(ReadingTable& other) noexcept
{
    std::swap(*this, other);
}

std::size_t ReadingTable::bytesReserved() const
{
    std::size_t bytes = chunks_.size() * kChunkRows * sizeof(PackedRow);
    for (const Dictionary* d : {&modes_, &units_, &ranges_})
        for (const std::string& t : d->texts)
            bytes += sizeof(std::string) + t.capacity() + 32;
    return bytes;
}

} // namespace valdrin
