//! @file hdl_text_reader_test.cpp
//! @brief Bounded line reading: lines across read buffers, overlong lines, line ends, and
//! paths that are no regular file.
#include "support/test_support.h"

#include <wizman/hdl_text_reader.h>

#include <sys/stat.h>
#include <unistd.h>

#include <fstream>

namespace {

std::vector<std::string> read_lines(const std::string& path)
{
    HDL_TEXT_READER reader(path);
    std::vector<std::string> lines;
    for (std::string line; reader.next_line(line);) {
        lines.push_back(line);
        EXPECT_EQ(reader.line_number(), static_cast<int>(lines.size()));
    }
    return lines;
}

}  // namespace

TEST(HdlTextReader, LinesAcrossBuffersOverlongLinesAndLineEnds)
{
    TEMP_DIR dir;
    const std::string path = dir.file("variation.v");
    std::vector<std::string> expected;
    std::string text;
    // Enough short lines that several cross the boundaries of the reader's buffer.
    for (int i = 0; i < 3000; ++i) {
        expected.push_back("wire w" + std::to_string(i) + ";");
        text += expected.back() + (i % 3 == 0 ? "\r\n" : "\n");
    }
    // Long lines are read whole (they used to be cut at 4096 bytes without a word); a
    // carriage return is dropped only before the line feed.
    const std::string overlong(100000, 'x');
    text += overlong + "\n";
    expected.push_back(overlong);
    text += std::string(5000, 'y') + "\r" + "tail\r\n";
    expected.push_back(std::string(5000, 'y') + "\r" + "tail");
    text += std::string("nul\0byte", 8) + "\n\n";
    expected.push_back(std::string("nul\0byte", 8));
    expected.push_back("");
    text += "last line without a line feed";
    expected.push_back("last line without a line feed");
    std::ofstream(path, std::ios::binary) << text;

    EXPECT_TRUE(HDL_TEXT_READER(path).is_open());
    EXPECT_EQ(read_lines(path), expected);
}

TEST(HdlTextReader, OnlyRegularFilesOfBoundedSizeOpen)
{
    TEMP_DIR dir;
    const std::string huge = dir.file("huge.v");
    std::ofstream(huge) << "module huge;\n";
    ASSERT_EQ(::truncate(huge.c_str(), HDL_TEXT_READER::MAX_FILE_SIZE + 1), 0);  // sparse: costs no disk
    EXPECT_FALSE(HDL_TEXT_READER(huge).is_open());

    const std::string fifo = dir.file("pipe.v");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    // Neither a directory, a FIFO without a writer (which must not block) nor a missing
    // file opens; each reads as an empty file.
    for (const std::string& path : {dir.dir(), fifo, dir.file("missing.v")}) {
        HDL_TEXT_READER reader(path);
        EXPECT_FALSE(reader.is_open()) << path;
        std::string line = "kept?";
        EXPECT_FALSE(reader.next_line(line)) << path;
        EXPECT_EQ(line, "");
    }
    const std::string empty = write_text(dir.file("empty.v"), "");
    HDL_TEXT_READER reader(empty);
    EXPECT_TRUE(reader.is_open());
    std::string line;
    EXPECT_FALSE(reader.next_line(line));
    EXPECT_TRUE(reader.is_open());
}
