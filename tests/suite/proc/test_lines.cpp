//! @file test_lines.cpp
//! @brief Output relay of runaway lines: bounded per line, linear in the output.
#include <proc/proc_lines.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

TEST(LineAssembler, RunawayLinesAreCutWithTheirLengthAndTheRestStillFlows)
{
    std::vector<std::string> lines;
    THR_LINE_ASSEMBLER assembler([&lines](const std::string& line) { lines.push_back(line); }, 8);
    const std::string chunk(3, 'x');
    for (int i = 0; i < 4; ++i)
        assembler.add(chunk.data(), chunk.size());
    assembler.add("\0y\nlast", 7);
    assembler.finish();
    EXPECT_EQ(lines, (std::vector<std::string>{"xxxxxxxx ... (5 more characters not shown)", "last"}));
}

// Quadratic rescanning made a line of a few megabytes take seconds to minutes; this one
// arrives in small reads as a generator's output would.
TEST(LineAssembler, ManyMegabytesInSmallReadsGiveOneBoundedLine)
{
    std::vector<std::string> lines;
    THR_LINE_ASSEMBLER assembler([&lines](const std::string& line) { lines.push_back(line); });
    const std::string chunk(2048, 'a');
    for (int i = 0; i < 16 * 1024; ++i)
        assembler.add(chunk.data(), chunk.size());
    assembler.add("\n", 1);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].compare(0, THR_LINE_ASSEMBLER::DEFAULT_LINE_LIMIT,
                               std::string(THR_LINE_ASSEMBLER::DEFAULT_LINE_LIMIT, 'a')),
              0);
    EXPECT_NE(lines[0].find("more characters not shown"), std::string::npos);
}
