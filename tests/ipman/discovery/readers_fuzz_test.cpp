//! @file readers_fuzz_test.cpp
//! @brief Seeded random mutations of CSV lines, list files and IP-XACT files: no crash,
//! and the readers' invariants hold.
#include "discovery/ipman_ip_file_reader.h"
#include "ipman/discovery/readers_test_support.h"
#include "support/ipman_basic_csv_parser.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

namespace {

class MUTATOR {
public:
    explicit MUTATOR(unsigned seed) : m_random(seed) {}

    std::size_t below(std::size_t bound)
    {
        return std::uniform_int_distribution<std::size_t>(0, bound - 1)(m_random);
    }
    char any_byte() { return static_cast<char>(below(256)); }

    //! Applies one to four random edits: byte flips, truncation, inserted quotes, commas,
    //! NULs and markup bytes, or a huge run of one byte.
    std::string mutate(std::string text)
    {
        static constexpr char kSpecial[] = {'"', ',', '\0', '\n', '\r', '<', '>', '&', ' ', '#'};
        for (std::size_t edits = 1 + below(4); edits > 0; --edits) {
            const std::size_t at = text.empty() ? 0 : below(text.size() + 1);
            switch (below(5)) {
            case 0:
                if (at < text.size()) text[at] = any_byte();
                break;
            case 1:
                text.resize(at);
                break;
            case 2:
                text.insert(at, 1, kSpecial[below(sizeof kSpecial)]);
                break;
            case 3:
                text.insert(at, 1 + below(3000), kSpecial[below(sizeof kSpecial)]);
                break;
            default:
                text.insert(at, 1 + below(20000), 'a' + static_cast<char>(below(26)));
                break;
            }
        }
        return text;
    }

    std::string random_field()
    {
        std::string field(below(12), '\0');
        for (char& c : field)
            do
                c = any_byte();
            while (c == '\n');
        return field;
    }

private:
    std::mt19937 m_random;
};

std::string quoted_line(const std::vector<std::string>& fields)
{
    std::string line;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        line += i ? ",\"" : "\"";
        for (char c : fields[i])
            line += c == '"' ? std::string("\"\"") : std::string(1, c);
        line += '"';
    }
    return line;
}

//! Without quotes a line is its comma-separated pieces trimmed of blanks and tabs; a
//! blank line has none.
std::vector<std::string> split_unquoted(const std::string& line)
{
    if (line.find_first_not_of(" \t") == std::string::npos) return {};
    std::vector<std::string> pieces;
    std::size_t start = 0;
    for (;;) {
        const auto comma = line.find(',', start);
        std::string piece = line.substr(start, comma - start);
        const auto first = piece.find_first_not_of(" \t");
        piece =
            first == std::string::npos ? "" : piece.substr(first, piece.find_last_not_of(" \t") - first + 1);
        pieces.push_back(piece);
        if (comma == std::string::npos) return pieces;
        start = comma + 1;
    }
}

}  // namespace

TEST(ReadersFuzz, QuotedFieldsRoundTripAndUnquotedLinesSplitAtCommas)
{
    MUTATOR mutator(20241);
    const IPMAN_BASIC_CSV_PARSER parser;
    for (int round = 0; round < 3000; ++round) {
        std::vector<std::string> fields(1 + mutator.below(6));
        for (auto& field : fields)
            field = mutator.random_field();
        const std::string line = quoted_line(fields);
        std::vector<std::string> parsed;
        parser.parse_line(line.data(), line.size(), parsed);
        ASSERT_EQ(parsed, fields) << line;

        std::string plain = mutator.mutate("alpha, beta gamma ,,\tdelta");
        plain.erase(std::remove(plain.begin(), plain.end(), '"'), plain.end());
        plain.erase(std::remove(plain.begin(), plain.end(), '\n'), plain.end());
        parsed.clear();
        parser.parse_line(plain.data(), plain.size(), parsed);
        ASSERT_EQ(parsed, split_unquoted(plain)) << plain;
    }
}

TEST(ReadersFuzz, MutatedCsvAndListFilesKeepTheirInvariants)
{
    MUTATOR mutator(7);
    TEMP_DIR dir;
    const std::string seed = "# catalog name, older name\nfifo_buffer, \"old \"\"fifo\"\"\"\n"
                             "  clock_pll ,pll_legacy\r\n,\n\n";
    for (int round = 0; round < 400; ++round) {
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
    MUTATOR mutator(1685);
    TEMP_DIR dir;
    const std::string sources[] = {read_text(ipxact_data_file("fifo_2009.gwip")),
                                   read_text(ipxact_data_file("pll_2014.gwip"))};
    int read_ok = 0;
    for (int round = 0; round < 600; ++round) {
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
    EXPECT_LT(read_ok, 600);
}
