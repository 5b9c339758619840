// The guards the module installs when it is loaded, seen from child processes: what a fatal
// event prints and how the process ends.
#include "tcl/ipman_fatal_guards.h"

#include "support/test_support.h"

#include <main/main.h>

#include <gtest/gtest.h>

#include <csignal>
#include <cstddef>
#include <exception>

#include <unistd.h>

namespace {

using ::testing::ExitedWithCode;
using ::testing::KilledBySignal;

const char kTerminateText[] =
    "Fatal error: Program termination requested\\. The Vorlin software will now exit\\.";

volatile bool g_keep_recursing = true;

std::size_t overflow_stack(std::size_t depth)
{
    volatile char frame[4096];
    frame[depth % sizeof frame] = 1;
    return g_keep_recursing ? overflow_stack(depth + 1) + frame[0] : depth;
}

void terminate_again()
{
    std::terminate();
}

void throw_from_callback()
{
    throw 42;
}

void say_and_exit()
{
    const char text[] = "suite callback\n";
    ::write(STDERR_FILENO, text, sizeof text - 1);
    _exit(5);
}

int report_signal(siginfo_t* info)
{
    const char text[] = "suite saw a fault\n";
    ::write(STDERR_FILENO, text, sizeof text - 1);
    _exit(info && info->si_signo == SIGSEGV ? 6 : 7);
}

}  // namespace

TEST(IpmanFatalGuardsDeathTest, FatalEventsPrintOneLineAndExitWithCode2)
{
    EXPECT_EXIT(std::terminate(), ExitedWithCode(2), kTerminateText);
    EXPECT_EXIT(std::raise(SIGSEGV), ExitedWithCode(2),
                "^Fatal error: SE 11 thrown\\. The Vorlin software will now exit\\.\n$");
    EXPECT_EXIT(std::raise(SIGFPE), ExitedWithCode(2), "SE 8 thrown");
    EXPECT_EXIT(overflow_stack(0), ExitedWithCode(2), "SE 11 thrown");
    EXPECT_EXIT(ipman_translate_fatal_signal(nullptr), ExitedWithCode(2), "SE -1 thrown");
}

TEST(IpmanFatalGuardsDeathTest, TroubleWhileTerminatingIsReportedAsSuch)
{
    EXPECT_EXIT(
        {
            main_set_terminator_callback(terminate_again);
            std::terminate();
        },
        ExitedWithCode(2), "^\n\\*\\*\\* Internal Error: Recursive termination requested\\.\n$");
    EXPECT_EXIT(
        {
            main_set_terminator_callback(throw_from_callback);
            std::terminate();
        },
        ExitedWithCode(2), "^\n\\*\\*\\* Fatal Error: Failed to complete termination procedures\n$");
}

TEST(IpmanFatalGuardsDeathTest, RegisteredCallbacksReplaceTheMessage)
{
    EXPECT_EXIT(
        {
            main_set_terminator_callback(say_and_exit);
            std::terminate();
        },
        ExitedWithCode(5), "^suite callback\n$");
    EXPECT_EXIT(
        {
            main_set_seh_callback(report_signal);
            std::raise(SIGSEGV);
        },
        ExitedWithCode(6), "^suite saw a fault\n$");
}

TEST(IpmanFatalGuardsDeathTest, SwitchedOffTheRunTimeDefaultsStay)
{
    // A fresh process has to load the module with the switch off.
    const std::string style = ::testing::FLAGS_gtest_death_test_style;
    ::testing::FLAGS_gtest_death_test_style = "threadsafe";
    SCOPED_ENV switch_off("VORLIN_DISABLE_EH", "1");
    EXPECT_EXIT(std::terminate(), KilledBySignal(SIGABRT), "terminate called");
    EXPECT_EXIT(std::raise(SIGSEGV), KilledBySignal(SIGSEGV), "^$");
    ::testing::FLAGS_gtest_death_test_style = style;
}
