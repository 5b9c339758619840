//! @file atcl_vexec.h
//! @brief The shell's `vexec` command: runs a tool of the installation's bin/ directory in
//! the current directory and relays its output lines as messages.
#pragma once

#include <tcl.h>

#include <functional>
#include <stdexcept>
#include <string>

//! A tool that cannot be started or that ended in failure; the text begins with "ERROR: ".
class ATCL_VEXEC_ERROR : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

//! Where tools start: the directory the function answers (the open project's, once the
//! project library has set it), the current directory while it answers empty or none is set.
void atcl_set_vexec_directory(std::function<std::string()> directory);

//! Runs the command line: its first word names a tool of gen_get_vorlin_path() + "bin/",
//! the other words (split as the process library splits them) are its arguments. Each
//! output line is posted as a warning when it contains "Warning:", as an error when it
//! contains "Error:", else as information. Throws ATCL_VEXEC_ERROR when the tool cannot
//! be started or exits with a non-zero code.
void atcl_vexec(const std::string& command_line);

//! Creates `vexec CMDLINE` in the global namespace of the interpreter. Answers TCL_OK.
int atcl_register_vexec_command(Tcl_Interp* interp);
