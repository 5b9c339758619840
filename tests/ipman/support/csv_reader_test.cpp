//! @file csv_reader_test.cpp
//! @brief The CSV line state machine and the list-file reader.
#include "ipman/discovery/readers_test_support.h"
#include "support/ipman_basic_csv_parser.h"

#include <gtest/gtest.h>

using FIELDS = std::vector<std::string>;

namespace {

FIELDS parse_line(const std::string& line)
{
    FIELDS fields;
    IPMAN_BASIC_CSV_PARSER().parse_line(line.data(), line.size(), fields);
    return fields;
}

}  // namespace

TEST(CsvParseLine, QuotingBlanksAndEmptyFields)
{
    const struct {
        std::string line;
        FIELDS expected;
    } cases[] = {
        {"a, \"b,c\" ,d", {"a", "b,c", "d"}},           // blanks around quotes ignored
        {"\"say \"\"hi\"\"\",x", {"say \"hi\"", "x"}},  // doubled quote is one quote
        {"  x y \t,z", {"x y", "z"}},                   // interior blanks stay
        {"a,", {"a", ""}},
        {",,a", {"", "", "a"}},
        {"", {}},
        {"\"open, never closed", {"open, never closed"}},  // kept as read
        {"\"a\"junk,b", {"a", "b"}},                       // text after a closing quote
        {"\"a\" junk", {"a"}},
        {"\"\"", {""}},
        {"x\"y", {"x\"y"}},  // a quote inside is data
        {"a\r", {"a\r"}},    // CR is data at this level
        {std::string("n\0l,z", 5), {std::string("n\0l", 3), "z"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(parse_line(c.line), c.expected) << "line: " << c.line;
}

TEST(CsvFile, MissingFileIsRefusedWithoutTouchingRows)
{
    TEMP_DIR dir;
    std::vector<IPMAN_CSV_ROW> rows{{"untouched"}};
    EXPECT_FALSE(read_csv_file(FIO_PATH(dir.path(), "absent.csv"), rows));
    EXPECT_FALSE(read_csv_file(FIO_PATH(dir.path()), rows));  // a directory
    EXPECT_EQ(rows.size(), 1u);
}

TEST(ListFile, TrimsSkipsCommentsAndBlankLinesAndRefusesMissingFiles)
{
    TEMP_DIR dir;
    const std::string path = dir.write(
        "cores.txt", "  # a note\n#top note\n\n \t \r\n  fifo_buffer  \r\n\tdual port ram\t\nlast#name");
    std::vector<std::string> lines{"old"};
    ASSERT_TRUE(read_list_file(path, lines));
    EXPECT_EQ(lines, (std::vector<std::string>{"old", "fifo_buffer", "dual port ram", "last#name"}));

    EXPECT_FALSE(read_list_file(FIO_PATH(dir.path(), "absent.txt"), lines));
    EXPECT_EQ(lines.size(), 4u);
}
