//! @file test_process.cpp
//! @brief The process library with real children: word splitting, awkward paths, exit codes,
//! start failures, clean descriptors and reaping.
#include <proc/proc.h>

#include "support/test_support.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <filesystem>

#include <fcntl.h>
#include <unistd.h>

namespace {

using WORDS = std::vector<std::string>;

//! What one run of a child gave: its whole output and how it ended.
struct RUN_RESULT {
    bool started = false;
    std::string output;
    int32_t status[2] = {-1, -1};
};

//! Reads a started child's output to the end and waits for it.
RUN_RESULT finish(THR_PROCESS* created, THR_PIPE* raw, std::size_t read_size = 2048)
{
    RUN_RESULT result;
    THR_PROCESS_PTR process(created);
    THR_PIPE_PTR pipe(raw);
    if (!process) return result;
    result.started = true;
    std::vector<char> buffer(read_size);
    std::size_t count = 0;
    while (thr_process_read(pipe.get(), buffer.data(), buffer.size(), &count) == 0) {
        EXPECT_LE(count, read_size);
        result.output.append(buffer.data(), count);
    }
    EXPECT_EQ(thr_process_wait(process.get(), result.status, 0), 0);
    return result;
}

RUN_RESULT run_words(const WORDS& words, const std::string& directory = "", std::size_t read_size = 2048)
{
    THR_PIPE* raw = nullptr;
    THR_PROCESS* process = thr_process_create_words(words, directory, &raw, &raw);
    return finish(process, raw, read_size);
}

RUN_RESULT run_shell(const std::string& script, const std::string& directory = "")
{
    return run_words({"/bin/sh", "-c", script}, directory);
}

}  // namespace

TEST(ProcessCommandLine, SplitsAtBlanksAndGroupsDoubleQuotes)
{
    EXPECT_EQ(thr_split_command_line("  tool  a\tb  "), (WORDS{"tool", "a", "b"}));
    EXPECT_EQ(thr_split_command_line("tool \"a b\" --batch=\"c d\" x\"y z\"w"),
              (WORDS{"tool", "a b", "--batch=c d", "xy zw"}));
    EXPECT_EQ(thr_split_command_line("tool \"open to the end "), (WORDS{"tool", "open to the end "}));
    // Shell syntax is plain text.
    EXPECT_EQ(thr_split_command_line("tool $HOME;rm `x` 'a b' \\n *"),
              (WORDS{"tool", "$HOME;rm", "`x`", "'a", "b'", "\\n", "*"}));
}

TEST(ProcessCommandLine, QuotedWordsSplitBackToThemselves)
{
    for (const std::string word :
         {"", "plain", "a b", "say \"hi\"", "\"", "\\", "end\\", "x\\\"y", "--rev=r\" -x"}) {
        EXPECT_EQ(thr_split_command_line("tool " + thr_quote_word(word) + " next"),
                  (WORDS{"tool", word, "next"}))
            << word;
        EXPECT_EQ(thr_split_command_line("tool " + thr_command_word(word)), (WORDS{"tool", word})) << word;
    }
    EXPECT_EQ(thr_command_word("plain\\path"), "plain\\path");
}

TEST(Process, AwkwardProgramPathAndArgumentsReachTheChildUnchanged)
{
    TEMP_DIR dir;
    const std::string awkward = "we'ird $HOME; `touch hacked` & \\ (x) * |y| <z> #";
    std::filesystem::create_directory(dir.file(awkward));
    const std::string tool =
        write_script(dir.file(awkward + "/echo args"), "for a in \"$@\"; do echo \"[$a]\"; done\n");

    const std::string command = "\"" + tool + "\" \"" + awkward + "\" plain;rm $(x) \"\"";
    THR_PIPE* raw = nullptr;
    THR_PROCESS* process = thr_process_create(command, dir.path(), &raw, &raw, nullptr, nullptr);
    const RUN_RESULT result = finish(process, raw, 64);
    ASSERT_TRUE(result.started);

    EXPECT_EQ(result.output, "[" + awkward + "]\n[plain;rm]\n[$(x)]\n[]\n");
    EXPECT_EQ(result.status[1], 0);
    EXPECT_FALSE(std::filesystem::exists(dir.file("hacked")));
    EXPECT_FALSE(std::filesystem::exists(dir.file(awkward + "/hacked")));
}

TEST(Process, ChildGetsNoInputAndNoDescriptorOfTheCaller)
{
    const int leaked = ::open("/dev/null", O_RDONLY);  // deliberately without O_CLOEXEC
    ASSERT_GE(leaked, 3);
    const RUN_RESULT result = run_shell("ls /proc/$$/fd; cat");
    ::close(leaked);
    EXPECT_EQ(result.output, "0\n1\n2\n");
    EXPECT_EQ(result.status[1], 0);
}

TEST(Process, WaitingWithoutBlockingAndFreeingLeaveNoZombie)
{
    THR_PIPE* raw = nullptr;
    THR_PROCESS* process = thr_process_create("/bin/sh -c \"read x; exit 4\"", "", &raw, &raw);
    ASSERT_NE(process, nullptr);
    // Standard input is /dev/null, so read ends at once; before that the child may run.
    int32_t status[2] = {0, 0};
    int rc = thr_process_wait(process, status, THR_WAIT_NO_HANG);
    EXPECT_TRUE(rc == 0 || rc == 1);
    EXPECT_EQ(thr_process_wait(process, status, 0), 0);
    EXPECT_EQ(status[1], 4);
    EXPECT_EQ(thr_process_wait(process, status, THR_WAIT_NO_HANG), 0);  // the same status again
    EXPECT_EQ(status[1], 4);
    thr_process_close_pipe(raw);
    thr_process_free(process);

    THR_PROCESS* sleeper = thr_process_create("/bin/sleep 0.2", "", nullptr, nullptr);
    ASSERT_NE(sleeper, nullptr);
    EXPECT_EQ(thr_process_wait(sleeper, status, THR_WAIT_NO_HANG), 1);
    const pid_t pid = static_cast<pid_t>(thr_process_id(sleeper));
    thr_process_free(sleeper);  // never waited for: reaped here
    errno = 0;
    EXPECT_EQ(::kill(pid, 0), -1);
    EXPECT_EQ(errno, ESRCH);
}

TEST(Process, ExitCodesAndSignalsAreReported)
{
    for (int code : {0, 1, 3, 255}) {
        const RUN_RESULT result = run_shell("exit " + std::to_string(code));
        ASSERT_TRUE(result.started);
        EXPECT_EQ(result.status[0], 0);
        EXPECT_EQ(result.status[1], code);
    }
    const RUN_RESULT killed = run_shell("kill -9 $$");
    EXPECT_EQ(killed.status[0], SIGKILL);
    EXPECT_EQ(killed.status[1], 128 + SIGKILL);
}

TEST(Process, ProgramOrDirectoryThatCannotBeUsedFailsToStart)
{
    TEMP_DIR dir;
    THR_PIPE* pipe = reinterpret_cast<THR_PIPE*>(&dir);  // must be reset to null
    errno = 0;
    EXPECT_EQ(thr_process_create(dir.file("no such tool") + " arg", "", &pipe, &pipe), nullptr);
    EXPECT_EQ(errno, ENOENT);
    EXPECT_EQ(pipe, nullptr);

    const std::string not_executable = dir.write("plain.txt", "echo hi\n");
    EXPECT_EQ(thr_process_create(not_executable, "", &pipe, &pipe), nullptr);
    EXPECT_EQ(errno, EACCES);

    EXPECT_EQ(thr_process_create("/bin/true", dir.file("missing dir"), &pipe, &pipe), nullptr);
    EXPECT_EQ(thr_process_create("no-such-program-on-the-path-at-all", "", &pipe, &pipe), nullptr);
    EXPECT_EQ(thr_process_create("   ", "", &pipe, &pipe), nullptr);
}
