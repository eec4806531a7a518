// Serial byte blocks of the Zentor family through HZentorRData.
#include "SerialFeed.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    valdrin::fuzz::feedSerial(data, size, &valdrin::FcommCore::HZentorRData);
    return 0;
}
