#include "record/ReadingTable.h"

#include "record/ShortText.h"

#include <algorithm>
#include <cstring>
#include <system_error>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <new>
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

namespace {
template <class Row>
std::unique_ptr<Row[]> newChunk(std::size_t rows)
{
    // Not zeroed: every append sets each field a reader looks at.
    return std::make_unique_for_overwrite<Row[]>(rows);
}
} // namespace

// During a bulk append one worker keeps a few chunks ahead of the appends made
// resident (a write to every page), so that the system's page clearing runs on the
// other core instead of stopping the load at every page.
struct ReadingTable::ChunkAhead {
    static constexpr std::size_t kChunksAhead = 2;

    std::mutex mutex;
    std::condition_variable wake;
    std::deque<std::unique_ptr<PackedRow[]>> ready;
    bool stop = false;
    bool exhausted = false;  // memory ran out here: the appends take their own chunks
    std::thread worker;

    ChunkAhead() : worker([this] { run(); }) {}
    ~ChunkAhead()
    {
        {
            const std::lock_guard lock(mutex);
            stop = true;
        }
        wake.notify_all();
        worker.join();
    }

    void run()
    {
        std::unique_lock lock(mutex);
        while (!stop) {
            if (exhausted || ready.size() >= kChunksAhead) {
                wake.wait(lock);
                continue;
            }
            lock.unlock();
            std::unique_ptr<PackedRow[]> chunk;
            try {
                chunk = newChunk<PackedRow>(kChunkRows);
            } catch (const std::bad_alloc&) {
                // Not an end of the program: an append that finds no memory either
                // fails the load on the load's own thread.
                lock.lock();
                exhausted = true;
                continue;
            }
            char* const bytes = reinterpret_cast<char*>(chunk.get());
            constexpr std::size_t kPage = 4096;
            for (std::size_t at = 0; at < kChunkRows * sizeof(PackedRow); at += kPage)
                bytes[at] = 0;
            lock.lock();
            ready.push_back(std::move(chunk));
        }
    }

    // A resident chunk when one is ready; otherwise a fresh one at once, so that the
    // appends never wait for the worker.
    std::unique_ptr<PackedRow[]> take()
    {
        std::unique_lock lock(mutex);
        if (ready.empty())
            return newChunk<PackedRow>(kChunkRows);
        auto chunk = std::move(ready.front());
        ready.pop_front();
        lock.unlock();
        wake.notify_all();
        return chunk;
    }
};

void ReadingTable::addChunk()
{
    chunks_.push_back(ahead_ ? ahead_->take() : newChunk<PackedRow>(kChunkRows));
}

void ReadingTable::beginBulkAppend()
{
    if (ahead_)
        return;
    try {
        ahead_ = std::make_unique<ChunkAhead>();
    } catch (const std::system_error&) {
        // No thread: the pages come at the appends.
    }
}

void ReadingTable::endBulkAppend()
{
    ahead_.reset();  // stops the worker; chunks made resident but not reached are freed
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
    ++generation_.value;
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
