//! @file ipman_fatal_guards.h
//! @brief The fatal-error guards the module installs when it is loaded: an unhandled fault
//! signal or a call of the terminate hook ends the process with one line on standard error
//! and exit code 2, unless the suite registered a callback for it.
#pragma once

#include <signal.h>

//! With process-wide exception handling on, installs the terminate handler and the fault
//! signal handlers (on an alternate stack for this thread, so a stack overflow is caught too);
//! either way remembers this thread's previous terminate handler.
void ipman_install_fatal_guards();
//! Puts back what ipman_install_fatal_guards replaced wherever it is still in place: the
//! handlers must not outlive the module's code.
void ipman_remove_fatal_guards();

//! The terminate handler.
void ipman_terminate_handler();
//! Handles one fault signal: returns only when another termination is already under way or
//! the suite's callback returned (its answer). info may be null. Async-signal-safe.
int ipman_translate_fatal_signal(siginfo_t* info);
