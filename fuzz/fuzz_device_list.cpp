//! @file fuzz_device_list.cpp
//! @brief The device list (devices.xml) through the device database's reader.
#include "fuzz_scratch.h"
#include "fuzz_targets.h"

#include <dev/dev_database.h>

int fuzz_device_list(const std::uint8_t* data, std::size_t size)
{
    DEV_DATABASE::read(fuzz_write_scratch("devices.xml", data, size));
    return 0;
}

VORLIN_FUZZ_ENTRY(fuzz_device_list)
