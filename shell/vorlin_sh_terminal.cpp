//! @file vorlin_sh_terminal.cpp
//! @brief The prompt of vorlin_sh on a terminal.
#include "vorlin_sh_terminal.h"

#include "vorlin_sh_completion.h"
#include "vorlin_sh_history.h"

#include <cstdlib>
#include <memory>
#include <string>

#include <readline/readline.h>

namespace {

constexpr const char* kPrompt = "vorlin> ";
constexpr const char* kContinuationPrompt = "> ";

void write_line(int channel_kind, Tcl_Obj* text)
{
    Tcl_Channel channel = Tcl_GetStdChannel(channel_kind);
    if (channel == nullptr) return;
    Tcl_WriteObj(channel, text);
    Tcl_WriteChars(channel, "\n", 1);
    Tcl_Flush(channel);
}

//! Output of `puts -nonewline` and of timers waits in Tcl's buffers until flushed.
void flush_standard_channels()
{
    for (int kind : {TCL_STDOUT, TCL_STDERR}) {
        if (Tcl_Channel channel = Tcl_GetStdChannel(kind)) Tcl_Flush(channel);
    }
}

//! Timers and file events run while the prompt waits, as they do in tclsh.
int service_tcl_events()
{
    while (Tcl_DoOneEvent(TCL_ALL_EVENTS | TCL_DONT_WAIT)) {
    }
    return 0;
}

//! One command, over as many lines as it takes to be complete; false at the end of input.
bool read_command(std::string& command)
{
    command.clear();
    do {
        flush_standard_channels();
        const std::unique_ptr<char, decltype(&std::free)> line(
            readline(command.empty() ? kPrompt : kContinuationPrompt), &std::free);
        if (!line) return false;
        if (!command.empty()) command += '\n';
        command += line.get();
    } while (!Tcl_CommandComplete(command.c_str()));
    return true;
}

}  // namespace

void vorlin_sh_run_terminal(Tcl_Interp* interp)
{
    VORLIN_SH_HISTORY history;
    vorlin_sh_install_completion(interp);
    rl_event_hook = service_tcl_events;
    std::string command;
    while (read_command(command)) {
        history.add(command);
        const int code = Tcl_RecordAndEval(interp, command.c_str(), 0);
        Tcl_Obj* result = Tcl_GetObjResult(interp);
        if (code != TCL_OK) {
            write_line(TCL_STDERR, result);
        } else if (Tcl_GetCharLength(result) > 0) {
            write_line(TCL_STDOUT, result);
        }
    }
    // Leave the terminal on a fresh line.
    if (Tcl_Channel out = Tcl_GetStdChannel(TCL_STDOUT)) Tcl_WriteChars(out, "\n", 1);
    Tcl_Exit(0);
}
