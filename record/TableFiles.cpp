#include "record/TableFiles.h"

#include "record/FileIo.h"
#include "record/XmlPacketReader.h"
#include "record/XmlPacketWriter.h"

#include <cerrno>
#include <cstring>
#include <memory>
#include <new>

namespace valdrin {

namespace {

char lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// Feeds the whole file to reader in blocks; false when it cannot be read.
template <class Reader>
bool readFile(const std::string& fileName, Reader& reader, std::size_t firstWindow = kFileBlockSize)
{
    InputFile file;
    if (!file.open(fileName, firstWindow))
        return false;
    for (;;) {
        std::string_view block;
        const int got = file.next(block);
        if (got < 0)
            return false;
        if (got == 0)
            return reader.finish();
        if (!reader.feed(block))
            return false;
    }
}

// A load is one bulk append to its table.
class BulkAppend {
public:
    explicit BulkAppend(ReadingTable& table) : table_(table) { table_.beginBulkAppend(); }
    BulkAppend(const BulkAppend&) = delete;
    BulkAppend& operator=(const BulkAppend&) = delete;
    ~BulkAppend() { table_.endBulkAppend(); }

private:
    ReadingTable& table_;
};

} // namespace

TableFileFormat tableFileFormat(std::string_view fileName)
{
    const auto slash = fileName.rfind('/');
    const std::string_view name = slash == std::string_view::npos ? fileName : fileName.substr(slash + 1);
    const auto dot = name.rfind('.');
    if (dot == std::string_view::npos)
        return TableFileFormat::Text;
    const std::string_view extension = name.substr(dot);
    constexpr std::string_view xml = ".xml";
    if (extension.size() != xml.size())
        return TableFileFormat::Text;
    for (std::size_t i = 0; i < xml.size(); ++i)
        if (lower(extension[i]) != xml[i])
            return TableFileFormat::Text;
    return TableFileFormat::XmlPacket;
}

bool SaveTableFile(const ReadingTable& table, const std::string& fileName, Messages& messages,
                   const TableFileOptions& options)
{
    const bool xml = tableFileFormat(fileName) == TableFileFormat::XmlPacket;
    std::string error;
    bool written = false;
    try {
        ReplacingFile file;
        const ByteSink sink = [&](std::string_view bytes) { return file.write(bytes, error); };
        written = file.open(fileName, error) &&
                  (xml ? writeXmlPacket(table, sink)
                       : writeTextTable(table, options.columnTitles, options.longTimeFormat, sink)) &&
                  file.commit(options.syncToDisk, error);
    } catch (const std::bad_alloc&) {
        // Memory ran out: the save fails like any other, the previous file stays.
        error = "Cannot write file \"" + fileName + "\". " + std::strerror(ENOMEM);
    }
    if (!written) {
        if (xml)
            messages.applicationError(error);
        else
            messages.error("Could not save table to specified file: " + fileName, "Error");
        return false;
    }
    messages.information("Save table to specified file: " + fileName + " Scuss!", "Information");
    return true;
}

bool LoadTableFile(const std::string& fileName, ReadingTable& table, bool emptyFirst, Messages& messages,
                   const TableFileOptions& options)
{
    bool loaded = false;
    try {
        if (tableFileFormat(fileName) == TableFileFormat::XmlPacket) {
            // Read into a fresh table so that a failure leaves the rows as they were.
            ReadingTable fresh;
            XmlPacketReader reader(fresh);
            {
                const BulkAppend bulk(fresh);
                loaded = readFile(fileName, reader, kFirstWindowSize);
            }
            if (loaded)
                table.swap(fresh);
        } else {
            if (emptyFirst)
                table.clear();
            TextTableReader reader(table, options.longTimeFormat);
            const BulkAppend bulk(table);
            loaded = readFile(fileName, reader);
        }
    } catch (const std::bad_alloc&) {
        // A file too large for memory fails the load; the readings go on. A text load
        // keeps the rows it appended, as for a failing line.
        loaded = false;
    }
    if (!loaded)
        messages.error("Failed to Load File!", "Error");
    return loaded;
}

} // namespace valdrin
