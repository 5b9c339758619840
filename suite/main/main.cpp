//! @file main.cpp
//! @brief Process start-up state: the exception-handling switch, the termination flag and the
//! fatal-error callbacks. Everything is lock-free so that signal handlers may read it.
#include <main/main.h>

#include <atomic>
#include <cstdlib>
#include <cstring>

namespace {

std::atomic<bool> g_termination_called{false};
std::atomic<MAIN_TERMINATOR_CALLBACK> g_terminator_callback{nullptr};
std::atomic<MAIN_SEH_CALLBACK> g_seh_callback{nullptr};

static_assert(std::atomic<bool>::is_always_lock_free, "the flag is set from signal handlers");
static_assert(std::atomic<MAIN_SEH_CALLBACK>::is_always_lock_free, "callbacks are read from signal handlers");

}  // namespace

bool main_eh_enabled(void)
{
    const char* disabled = std::getenv("VORLIN_DISABLE_EH");
    return disabled == nullptr || std::strcmp(disabled, "1") != 0;
}

bool main_set_termination_called(void)
{
    return g_termination_called.exchange(true);
}

bool main_termination_called(void)
{
    return g_termination_called.load();
}

MAIN_TERMINATOR_CALLBACK main_terminator_callback(void)
{
    return g_terminator_callback.load();
}

MAIN_SEH_CALLBACK main_seh_callback(void)
{
    return g_seh_callback.load();
}

void main_set_terminator_callback(MAIN_TERMINATOR_CALLBACK callback)
{
    g_terminator_callback.store(callback);
}

void main_set_seh_callback(MAIN_SEH_CALLBACK callback)
{
    g_seh_callback.store(callback);
}
