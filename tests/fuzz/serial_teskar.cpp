// Serial byte blocks of the Teskar family through HTeskarRData.
#include "SerialFeed.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    valdrin::fuzz::feedSerial(data, size, &valdrin::FcommCore::HTeskarRData);
    return 0;
}
