//! @file ipman_process_runner.h
//! @brief Runs an external generator as a child process and relays its output lines as
//! information, warning and error messages while it runs.
#pragma once

#include <proc/proc_lines.h>

#include <cstddef>
#include <functional>
#include <string>

//! Generator output is relayed line by line through the suite's line assembler.
using IPMAN_OUTPUT_LINE_SPLITTER = THR_LINE_ASSEMBLER;

//! Launching and relaying of single generator runs; never instantiated.
class IPMAN_PROCESS_RUNNER {
public:
    IPMAN_PROCESS_RUNNER() = delete;

    //! Runs the command (split by the process library: blanks separate words, double quotes
    //! group them) in the project directory and posts each output line: a line containing
    //! "Warning:" as a warning, else one containing "Error:" as an error (which also sets
    //! *error_flag), else as information. The flag is cleared first. Answers 0 when the
    //! child exited with code 0, 1 when it could not start or ended otherwise.
    static int run(const std::string& command, bool* error_flag = nullptr);

    //! The same launching and reading, with the caller deciding what each line means.
    static int run_with_line_handler(const std::string& command,
                                     const IPMAN_OUTPUT_LINE_SPLITTER::LINE_HANDLER& handle_line);

    //! Where generators run: the open project's directory, empty (the caller's) without one.
    static std::string working_directory();
};
