// The guards the module installs when it is loaded, seen from child processes: what a fatal
// event prints and how the process ends.
#include "tcl/ipman_fatal_guards.h"

#include "support/test_support.h"

#include <main/main.h>

#include <gmock/gmock.h>

#include <sys/wait.h>

#include <csignal>
#include <cstring>
#include <exception>

using ::testing::ExitedWithCode;

namespace {

volatile bool g_keep_recursing = true;

std::size_t overflow_stack(std::size_t depth)
{
    volatile char frame[4096];
    frame[depth % sizeof frame] = 1;
    return g_keep_recursing ? overflow_stack(depth + 1) + frame[0] : depth;
}

void say(const char* text)
{
    ::write(STDERR_FILENO, text, std::strlen(text));
}

}  // namespace

TEST(IpmanFatalGuardsDeathTest, FatalEventsPrintOneLineAndExitWithCode2)
{
    EXPECT_EXIT(std::terminate(), ExitedWithCode(2),
                "^Fatal error: Program termination requested\\. The Vorlin software will now exit\\.\n$");
    EXPECT_EXIT(std::raise(SIGSEGV), ExitedWithCode(2),
                "^Fatal error: SE 11 thrown\\. The Vorlin software will now exit\\.\n$");
    EXPECT_EXIT(overflow_stack(0), ExitedWithCode(2), "SE 11 thrown");
    EXPECT_EXIT(ipman_translate_fatal_signal(nullptr), ExitedWithCode(2), "SE -1 thrown");
}

TEST(IpmanFatalGuardsDeathTest, CallbacksReplaceTheMessageAndTroubleInThemIsReported)
{
    EXPECT_EXIT((main_set_terminator_callback([] { say("suite callback\n"), _exit(5); }), std::terminate()),
                ExitedWithCode(5), "^suite callback\n$");
    EXPECT_EXIT(
        (main_set_seh_callback([](siginfo_t* info) -> int { _exit(info->si_signo); }), std::raise(SIGBUS)),
        ExitedWithCode(SIGBUS), "^$");
    EXPECT_EXIT((main_set_terminator_callback([] { std::terminate(); }), std::terminate()), ExitedWithCode(2),
                "^\n\\*\\*\\* Internal Error: Recursive termination requested\\.\n$");
    EXPECT_EXIT((main_set_terminator_callback([] { throw 42; }), std::terminate()), ExitedWithCode(2),
                "^\n\\*\\*\\* Fatal Error: Failed to complete termination procedures\n$");
}

TEST(IpmanFatalGuardsDeathTest, SwitchedOffTheRunTimeDefaultsStay)
{
    // A fresh process has to load the module with the switch off.
    const std::string style = ::testing::FLAGS_gtest_death_test_style;
    ::testing::FLAGS_gtest_death_test_style = "threadsafe";
    SCOPED_ENV switch_off("VORLIN_DISABLE_EH", "1");
    EXPECT_EXIT(std::terminate(), ::testing::KilledBySignal(SIGABRT), "terminate called");
    // The fault meets whatever handled it before: the run time's default, or a sanitizer's.
    EXPECT_EXIT(
        std::raise(SIGSEGV), [](int status) { return !WIFEXITED(status) || WEXITSTATUS(status) != 2; },
        ::testing::Not(::testing::HasSubstr("Fatal error")));
    ::testing::FLAGS_gtest_death_test_style = style;
}
