//! @file ipman_process_runner.cpp
//! @brief Generator runs: start through the process library, relay output lines as
//! messages while the child runs, and turn its exit status into 0 or 1.
#include "regen/ipman_process_runner.h"

#include <acf/acf.h>
#include <proc/proc.h>

#include <fmt/format.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <utility>

#include "report/ipman_messages.h"
#include "support/ipman_debug.h"
#include "support/ipman_project.h"

namespace {

constexpr std::size_t READ_SIZE = 2048;

bool contains(const std::string& line, const char* word)
{
    return line.find(word) != std::string::npos;
}

//! Single runs: a line naming both words counts as a warning.
void relay_single_run_line(const std::string& line, bool* error_flag)
{
    if (contains(line, "Warning:")) {
        ipman_post_msg(IPMAN_MSG::WIPMAN_EXT_PROC_WARNING_MSG, {line});
    } else if (contains(line, "Error:")) {
        ipman_post_msg(IPMAN_MSG::EIPMAN_EXT_PROC_ERROR_MSG, {line});
        if (error_flag) *error_flag = true;
    } else {
        ipman_post_msg(IPMAN_MSG::IIPMAN_EXT_PROC_INFO_MSG, {line});
    }
}

//! The program a command would start, for the message when it cannot be started.
std::string program_of(const std::string& command)
{
    const std::vector<std::string> words = thr_split_command_line(command);
    return words.empty() ? command : words.front();
}

//! A generator that fails without an error line, or dies, must not leave the user guessing.
void report_failed_exit(const std::string& program, const std::int32_t status[2])
{
    const std::string how = status[0] != 0 ? fmt::format("was ended by signal {}", status[0])
                                           : fmt::format("exited with code {}", status[1]);
    ipman_post_msg(IPMAN_MSG::EIPMAN_EXT_PROC_ERROR_MSG, {fmt::format("{} {}", program, how)});
}

}  // namespace

int IPMAN_PROCESS_RUNNER::run(const std::string& command, bool* error_flag)
{
    if (error_flag) *error_flag = false;
    return run_with_line_handler(
        command, [error_flag](const std::string& line) { relay_single_run_line(line, error_flag); });
}

int IPMAN_PROCESS_RUNNER::run_with_line_handler(const std::string& command,
                                                const IPMAN_OUTPUT_LINE_SPLITTER::LINE_HANDLER& handle_line)
{
    ipman_debug(fmt::format("Launching: {}", command));
    THR_PIPE* raw_pipe = nullptr;
    // Declared before the pipe, so the pipe closes before the process is reaped.
    THR_PROCESS_PTR process(thr_process_create(command, working_directory(), &raw_pipe, &raw_pipe));
    THR_PIPE_PTR pipe(raw_pipe);
    if (!process) {
        const int reason = errno;
        ipman_post_msg(IPMAN_MSG::EIPMAN_EXT_PROC_ERROR_MSG,
                       {fmt::format("Cannot start {}: {}", program_of(command), std::strerror(reason))});
        return 1;
    }

    IPMAN_OUTPUT_LINE_SPLITTER splitter(handle_line);
    char buffer[READ_SIZE];
    std::size_t count = 0;
    while (thr_process_read(pipe.get(), buffer, READ_SIZE, &count) == 0)
        splitter.add(buffer, count);
    splitter.finish();
    pipe.reset();

    std::int32_t status[2] = {0, 0};
    if (thr_process_wait(process.get(), status, 0) != 0) {
        ipman_post_msg(IPMAN_MSG::EIPMAN_EXT_PROC_ERROR_MSG,
                       {fmt::format("Lost track of {}", program_of(command))});
        return 1;
    }
    if (status[0] == 0 && status[1] == 0) return 0;
    report_failed_exit(program_of(command), status);
    return 1;
}

std::string IPMAN_PROCESS_RUNNER::working_directory()
{
    const ACF_MANAGER* project = ipman_open_project();
    if (project == nullptr) return {};
    return FIO_PATH(project->get_project_full_path()).full_directory();
}
