//! @file vorlin_sh_terminal.h
//! @brief The prompt of vorlin_sh on a terminal: line editing, multi-line commands, history
//! kept across sessions and completion of command and option names.
#pragma once

#include <tcl.h>

//! Reads and evaluates commands typed at the terminal until the end of input or `exit`,
//! then ends the process. The interpreter is ready: the suite's commands are there.
[[noreturn]] void vorlin_sh_run_terminal(Tcl_Interp* interp);
