//! @file fuzz_catalog.cpp
//! @brief Catalog files through the catalog's file reader.
#include "fuzz_scratch.h"
#include "fuzz_targets.h"

#include <ipcatalog/ipcatalog_reader.h>

int fuzz_catalog(const std::uint8_t* data, std::size_t size)
{
    fuzz_use_bundled_installation();
    IPCATALOG_FILE_CONTENT content;
    IPCATALOG_FILE_READER::read("fuzz_catalog.xml", fuzz_text(data, size), content);
    return 0;
}

VORLIN_FUZZ_ENTRY(fuzz_catalog)
