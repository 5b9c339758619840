//! @file main.h
//! @brief Process start-up state shared by the suite and its modules: whether process-wide
//! exception handling is on, the flag that a termination is under way, and the callbacks
//! that replace the fatal-error message. Plain C so that any module can reach it.
#pragma once

#include <signal.h>

#ifdef __cplusplus
extern "C" {
#endif

//! Runs instead of the fatal message when the run-time terminate hook fires.
typedef void (*MAIN_TERMINATOR_CALLBACK)(void);
//! Runs instead of the fatal message for a fatal signal; info is null when the signal's
//! details are unknown. It runs inside a signal handler: only async-signal-safe calls.
typedef int (*MAIN_SEH_CALLBACK)(siginfo_t* info);

//! On unless the environment variable VORLIN_DISABLE_EH is "1".
bool main_eh_enabled(void);

//! Marks the process as terminating; true when it already was. One atomic step, so of two
//! threads failing together exactly one sees false.
bool main_set_termination_called(void);
bool main_termination_called(void);

//! The registered callbacks; null when none. Reading them is async-signal-safe.
MAIN_TERMINATOR_CALLBACK main_terminator_callback(void);
MAIN_SEH_CALLBACK main_seh_callback(void);
//! Registers a callback (null removes it).
void main_set_terminator_callback(MAIN_TERMINATOR_CALLBACK callback);
void main_set_seh_callback(MAIN_SEH_CALLBACK callback);

#ifdef __cplusplus
}
#endif
