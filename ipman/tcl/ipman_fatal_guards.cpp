//! @file ipman_fatal_guards.cpp
//! @brief Terminate handler and fault-signal translator. Both end the process with _exit:
//! once something is fatally wrong, static destructors and exit handlers are not safe to run.
#include "tcl/ipman_fatal_guards.h"

#include <main/main.h>

#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <exception>

#include <unistd.h>

namespace {

constexpr int kFatalExitCode = 2;
constexpr char kRecursiveText[] = "\n*** Internal Error: Recursive termination requested.\n";
constexpr char kGuardFailedText[] = "\n*** Fatal Error: Failed to complete termination procedures\n";
constexpr char kTerminateText[] =
    "Fatal error: Program termination requested. The Vorlin software will now exit.\n";

constexpr std::array<int, 4> kFaultSignals = {SIGSEGV, SIGBUS, SIGFPE, SIGILL};

// Put back when the module is unloaded, so no handler points into unmapped code.
thread_local std::terminate_handler t_previous_terminate_handler = nullptr;
std::array<struct sigaction, kFaultSignals.size()> g_previous_actions;
bool g_signal_handlers_installed = false;
// Room for the handler and a callback, set aside up front: a handler must not allocate.
alignas(16) char g_alternate_stack[64 * 1024];

// --- Terminate path: runs in normal context, stdio is fine. ---

[[noreturn]] void end_with(const char* text)
{
    std::fflush(stdout);
    std::fputs(text, stderr);
    std::fflush(stderr);
    _exit(kFatalExitCode);
}

// --- Signal path: only async-signal-safe calls (write, _exit, sigaction, raise). Standard
// output is not flushed here: the fault may have struck inside stdio, holding its lock. ---

void write_text(const char* text)
{
    std::size_t left = std::strlen(text);
    while (left > 0) {
        const ssize_t written = ::write(STDERR_FILENO, text, left);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return;
        text += written;
        left -= static_cast<std::size_t>(written);
    }
}

[[noreturn]] void end_with_from_signal(const char* text)
{
    write_text(text);
    _exit(kFatalExitCode);
}

//! Decimal text of value in buffer (snprintf is not async-signal-safe).
const char* decimal(int value, std::array<char, 16>& buffer)
{
    char* end = buffer.data() + buffer.size() - 1;
    *end = '\0';
    char* digits = end;
    long magnitude = value < 0 ? -static_cast<long>(value) : value;
    do {
        *--digits = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude > 0);
    if (value < 0) *--digits = '-';
    return digits;
}

[[noreturn]] void end_with_signal_message(const siginfo_t* info)
{
    std::array<char, 16> number;
    write_text("Fatal error: SE ");
    write_text(decimal(info ? info->si_signo : -1, number));
    write_text(" thrown. The Vorlin software will now exit.\n");
    _exit(kFatalExitCode);
}

//! The fault takes its default course, as it would without the guards: a fault signal comes
//! back when the instruction reruns, a sent one is delivered once the handler returns.
void let_signal_take_default_course(int signal_number)
{
    struct sigaction default_action {};
    default_action.sa_handler = SIG_DFL;
    sigemptyset(&default_action.sa_mask);
    sigaction(signal_number, &default_action, nullptr);
    raise(signal_number);
}

void on_fault_signal(int signal_number, siginfo_t* info, void* /*context*/)
{
    ipman_translate_fatal_signal(info);
    let_signal_take_default_course(signal_number);
}

bool is_our_handler(const struct sigaction& action)
{
    return (action.sa_flags & SA_SIGINFO) != 0 && action.sa_sigaction == on_fault_signal;
}

//! A handler for a stack overflow needs a stack of its own; a thread that has one keeps it.
void use_alternate_stack()
{
    stack_t current{};
    if (sigaltstack(nullptr, &current) == 0 && (current.ss_flags & SS_DISABLE) == 0) return;
    stack_t ours{};
    ours.ss_sp = g_alternate_stack;
    ours.ss_size = sizeof g_alternate_stack;
    sigaltstack(&ours, nullptr);
}

void drop_alternate_stack()
{
    stack_t current{};
    if (sigaltstack(nullptr, &current) != 0 || current.ss_sp != g_alternate_stack) return;
    if ((current.ss_flags & SS_ONSTACK) != 0) return;
    stack_t disabled{};
    disabled.ss_flags = SS_DISABLE;
    sigaltstack(&disabled, nullptr);
}

void install_signal_handlers()
{
    if (g_signal_handlers_installed) return;
    struct sigaction action {};
    action.sa_sigaction = on_fault_signal;
    action.sa_flags = SA_SIGINFO | SA_ONSTACK;
    sigemptyset(&action.sa_mask);
    for (std::size_t i = 0; i < kFaultSignals.size(); ++i)
        sigaction(kFaultSignals[i], &action, &g_previous_actions[i]);
    g_signal_handlers_installed = true;
}

void remove_signal_handlers()
{
    if (!g_signal_handlers_installed) return;
    for (std::size_t i = 0; i < kFaultSignals.size(); ++i) {
        struct sigaction current {};
        if (sigaction(kFaultSignals[i], nullptr, &current) == 0 && is_our_handler(current))
            sigaction(kFaultSignals[i], &g_previous_actions[i], nullptr);
    }
    g_signal_handlers_installed = false;
}

}  // namespace

void ipman_terminate_handler()
{
    try {
        if (main_set_termination_called()) end_with(kRecursiveText);
        if (MAIN_TERMINATOR_CALLBACK callback = main_terminator_callback()) {
            // Returning from here makes the run-time abort.
            callback();
            return;
        }
        end_with(kTerminateText);
    } catch (...) {
        end_with(kGuardFailedText);
    }
}

int ipman_translate_fatal_signal(siginfo_t* info)
{
    try {
        if (main_termination_called()) return 0;
        if (main_set_termination_called()) end_with_from_signal(kRecursiveText);
        if (MAIN_SEH_CALLBACK callback = main_seh_callback()) return callback(info);
        end_with_signal_message(info);
    } catch (...) {
        end_with_from_signal(kGuardFailedText);
    }
}

void ipman_install_fatal_guards()
{
    const std::terminate_handler current = std::get_terminate();
    if (current != ipman_terminate_handler) t_previous_terminate_handler = current;
    if (!main_eh_enabled()) return;
    std::set_terminate(ipman_terminate_handler);
    use_alternate_stack();
    install_signal_handlers();
}

void ipman_remove_fatal_guards()
{
    remove_signal_handlers();
    drop_alternate_stack();
    // A null handler puts the run-time's default back.
    if (std::get_terminate() == ipman_terminate_handler) std::set_terminate(t_previous_terminate_handler);
}
