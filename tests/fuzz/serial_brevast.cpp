// Serial byte blocks of the Brevast family through HBrevastRData.
#include "SerialFeed.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    valdrin::fuzz::feedSerial(data, size, &valdrin::FcommCore::HBrevastRData);
    return 0;
}
