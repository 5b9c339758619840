//! @file fuzz_csv_table.cpp
//! @brief The reference tables: CSV files and line lists, through the module's readers.
#include "fuzz_scratch.h"
#include "fuzz_targets.h"

#include "support/ipman_basic_csv_parser.h"

#include <algorithm>

namespace {

bool is_blank(char c)
{
    return c == ' ' || c == '\t' || c == '\r';
}

}  // namespace

int fuzz_csv_table(const std::uint8_t* data, std::size_t size)
{
    const std::string content = fuzz_text(data, size);
    const FIO_PATH path(fuzz_write_scratch("table.csv", data, size));
    std::vector<IPMAN_CSV_ROW> rows;
    if (read_csv_file(path, rows)) {
        std::size_t field_bytes = 0;
        for (const auto& row : rows) {
            FUZZ_CHECK(!row.empty());
            for (const auto& field : row) {
                FUZZ_CHECK(field.find('\n') == std::string::npos);
                field_bytes += field.size();
            }
        }
        FUZZ_CHECK(rows.size() <=
                   static_cast<std::size_t>(std::count(content.begin(), content.end(), '\n')) + 1);
        FUZZ_CHECK(field_bytes <= content.size());  // each field byte comes from one input byte
    }
    std::vector<std::string> lines;
    if (read_list_file(path, lines)) {
        for (const auto& line : lines) {
            FUZZ_CHECK(!line.empty() && line.front() != '#' && line.find('\n') == std::string::npos);
            FUZZ_CHECK(!is_blank(line.front()) && !is_blank(line.back()));
        }
    }
    return 0;
}

VORLIN_FUZZ_ENTRY(fuzz_csv_table)
