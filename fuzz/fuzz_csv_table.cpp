//! @file fuzz_csv_table.cpp
//! @brief The reference tables: CSV files and line lists, through the module's readers.
#include "fuzz_scratch.h"
#include "fuzz_targets.h"

#include "support/ipman_basic_csv_parser.h"

int fuzz_csv_table(const std::uint8_t* data, std::size_t size)
{
    const FIO_PATH path(fuzz_write_scratch("table.csv", data, size));
    std::vector<IPMAN_CSV_ROW> rows;
    read_csv_file(path, rows);
    std::vector<std::string> lines;
    read_list_file(path, lines);
    return 0;
}

VORLIN_FUZZ_ENTRY(fuzz_csv_table)
