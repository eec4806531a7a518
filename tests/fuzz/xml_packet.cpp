// An XML data packet: read in small blocks (and now and then as a .xml file by the
// load command, which must end alike with the same rows); a load that succeeds must
// survive a save and reload in both formats.
#include "TableLoads.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    using namespace valdrin;
    ReadingTable table;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const bool loaded = fuzz::readXml(bytes, table, fuzz::blockSeed(data, size), 64);
    if (fuzz::alsoFromFile(data, size)) {
        ReadingTable fromFile;
        fuzz::expectSameOutcome(fuzz::loadFromFile(data, size, ".xml", fromFile), loaded);
        if (loaded)
            fuzz::expectRows(fuzz::rowsOf(fromFile), table, "XML load in blocks", fuzz::exactly);
    }
    if (loaded)
        fuzz::roundTrip(table);
    return 0;
}
