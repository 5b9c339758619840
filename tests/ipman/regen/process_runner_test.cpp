//! @file process_runner_test.cpp
//! @brief Output line splitting and single generator runs with real child scripts: relay
//! by kind and in order, the error flag, start failures, working directory.
#include <gtest/gtest.h>

#include "ipman/regen/regen_test_support.h"
#include "regen/ipman_process_runner.h"

namespace {

std::vector<std::string> split_chunks(const std::vector<std::string>& chunks, bool finish,
                                      std::vector<std::size_t>* lines_after_chunk = nullptr)
{
    std::vector<std::string> lines;
    IPMAN_OUTPUT_LINE_SPLITTER splitter([&lines](const std::string& line) { lines.push_back(line); });
    for (const std::string& chunk : chunks) {
        splitter.add(chunk.data(), chunk.size());
        if (lines_after_chunk) lines_after_chunk->push_back(lines.size());
    }
    if (finish) splitter.finish();
    return lines;
}

const std::string INFO = "IIPMAN_EXT_PROC_INFO_MSG";
const std::string WARNING = "WIPMAN_EXT_PROC_WARNING_MSG";
const std::string ERROR = "EIPMAN_EXT_PROC_ERROR_MSG";

class ProcessRunner : public ::testing::Test {
protected:
    void SetUp() override { take_posted(); }
    std::string script(const std::string& body) { return write_script(m_dir.file("gen dir/child"), body); }
    std::string quoted(const std::string& path) { return "\"" + path + "\""; }
    TEMP_DIR m_dir;
};

}  // namespace

TEST(OutputLineSplitter, HandsOnWholeCleanedLinesOnly)
{
    std::vector<std::size_t> counts;
    EXPECT_EQ(
        split_chunks({"one\ntw", "o\r\n", "  \n\t\r\n", "<b>Error:</b> x <b>y</b>  \n"}, false, &counts),
        (std::vector<std::string>{"one", "two", "Error: x y"}));
    EXPECT_EQ(counts, (std::vector<std::size_t>{1, 2, 2, 3})) << "a partial line waits for its break";
    EXPECT_EQ(split_chunks({"<b></b>\n"}, true), std::vector<std::string>{}) << "nothing left to show";
}

TEST(OutputLineSplitter, KeepsTheLastLineAndTextAroundZeroBytes)
{
    EXPECT_EQ(split_chunks({"first\nlast words"}, true), (std::vector<std::string>{"first", "last words"}));
    EXPECT_EQ(split_chunks({std::string("a\0b\nc\n", 6)}, true), (std::vector<std::string>{"ab", "c"}));
}

TEST_F(ProcessRunner, RelaysEachLineByKindInOrderAndNoticesErrors)
{
    const std::string child =
        script("printf 'plain line\\nWarning: careful\\n<b>Error:</b> broken\\n\\n   \\n"
               "Warning: and Error: both\\nlast Error: without break'\n");
    bool error = false;
    EXPECT_EQ(IPMAN_PROCESS_RUNNER::run(quoted(child), &error), 0) << "error lines do not change the result";
    EXPECT_TRUE(error);
    EXPECT_EQ(take_posted(), (std::vector<POSTED>{{INFO, "plain line"},
                                                  {WARNING, "Warning: careful"},
                                                  {ERROR, "Error: broken"},
                                                  {WARNING, "Warning: and Error: both"},
                                                  {ERROR, "last Error: without break"}}));
}

TEST_F(ProcessRunner, ProgramThatCannotStartFailsWithAMessage)
{
    bool error = true;
    EXPECT_EQ(IPMAN_PROCESS_RUNNER::run(quoted(m_dir.file("missing-tool")) + " x", &error), 1);
    EXPECT_FALSE(error);
    const std::vector<POSTED> posted = take_posted();
    ASSERT_EQ(posted.size(), 1u);
    EXPECT_EQ(posted[0].first, ERROR);
    EXPECT_NE(posted[0].second.find("Cannot start " + m_dir.file("missing-tool")), std::string::npos);
}

TEST_F(ProcessRunner, RunsInTheProjectDirectory)
{
    EXPECT_EQ(IPMAN_PROCESS_RUNNER::working_directory(), "");
    SCRATCH_PROJECT project("proj", "rev", "");
    EXPECT_EQ(IPMAN_PROCESS_RUNNER::working_directory(), project.path());
    EXPECT_EQ(IPMAN_PROCESS_RUNNER::run(quoted(script("pwd -P\n"))), 0);
    const std::string real_dir = std::filesystem::canonical(project.path()).string();
    EXPECT_EQ(take_posted(), (std::vector<POSTED>{{INFO, real_dir}}));
}
