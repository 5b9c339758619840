//! @file readers_fuzz_test.cpp
//! @brief Seeded random mutations of CSV and list files and of IP-XACT files: no crash, and
//! the readers' invariants hold.
#include "discovery/ipman_ip_file_reader.h"
#include "ipman/discovery/readers_test_support.h"
#include "support/fuzz.h"
#include "support/ipman_basic_csv_parser.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

const std::vector<std::string> CSV_PIECES{"\"", ",", std::string(1, '\0'), "\n", "\r", " ", "#", "a"};
const std::vector<std::string> XML_PIECES{"<",     ">",         "&", "\"", std::string(1, '\0'),
                                          "&amp;", "<![CDATA[", "a"};

}  // namespace

TEST(ReadersFuzz, MutatedCsvAndListFilesKeepTheirInvariants)
{
    FUZZ_MUTATOR mutator(7, CSV_PIECES);
    TEMP_DIR dir;
    const std::string seed = "# catalog name, older name\nfifo_buffer, \"old \"\"fifo\"\"\"\n"
                             "  clock_pll ,pll_legacy\r\n,\n\n";
    for (int round = 0; round < FUZZ_MUTATOR::rounds(400); ++round) {
        const std::string path = dir.write("fuzz.csv", mutator.mutate(seed));
        const std::string content = read_text(path);

        std::vector<IPMAN_CSV_ROW> rows;
        ASSERT_TRUE(read_csv_file(path, rows));
        std::size_t field_bytes = 0;
        for (const auto& row : rows) {
            ASSERT_FALSE(row.empty());
            for (const auto& field : row) {
                ASSERT_EQ(field.find('\n'), std::string::npos);
                field_bytes += field.size();
            }
        }
        ASSERT_LE(rows.size(), std::count(content.begin(), content.end(), '\n') + 1);
        ASSERT_LE(field_bytes, content.size());  // each field byte comes from one input byte

        std::vector<std::string> lines;
        ASSERT_TRUE(read_list_file(path, lines));
        for (const auto& line : lines) {
            ASSERT_FALSE(line.empty());
            ASSERT_NE(line.front(), '#');
            ASSERT_EQ(line.find('\n'), std::string::npos);
            ASSERT_EQ(std::string(" \t\r").find(line.front()), std::string::npos);
            ASSERT_EQ(std::string(" \t\r").find(line.back()), std::string::npos);
        }
    }
}

TEST(ReadersFuzz, MutatedIpxactFilesReadOrFailCleanly)
{
    FUZZ_MUTATOR mutator(1685, XML_PIECES);
    TEMP_DIR dir;
    const std::string sources[] = {read_text(ipxact_data_file("fifo_2009.gwip")),
                                   read_text(ipxact_data_file("pll_2014.gwip"))};
    int read_ok = 0;
    const int rounds = FUZZ_MUTATOR::rounds(600);
    for (int round = 0; round < rounds; ++round) {
        const std::string path = dir.write("fuzz.gwip", mutator.mutate(sources[round % 2]));
        IPMAN_IPXACT_READER reader(path);
        const IPMAN_IP_FILE_INFO info = ipman_read_ip_file_info(path);
        if (reader.read()) {
            ++read_ok;
            ASSERT_NE(reader.get_schema(), IPMAN_IPXACT_SCHEMA_UNKNOWN);
            ASSERT_FALSE(reader.get_name().empty() || reader.get_vendor().empty() ||
                         reader.get_version().empty());
            ASSERT_EQ(info.get_name(), reader.get_name());
            ASSERT_EQ(info.get_ipxact_version(), reader.get_schema_version_text());
        } else {
            ASSERT_EQ(info.get_ipxact_version() + info.get_name() + info.get_vendor(), "");
        }
    }
    EXPECT_GT(read_ok, 0);  // the mutations leave some files readable
    EXPECT_LT(read_ok, rounds);
}
