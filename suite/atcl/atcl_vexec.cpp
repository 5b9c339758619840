//! @file atcl_vexec.cpp
//! @brief `vexec`: starts an installation tool without a shell, relays its output through
//! the message library line by line and turns a failed run into a Tcl error.
#include <atcl/atcl_vexec.h>

#include <atcl/atcl.h>

#include <gen/gen.h>
#include <msg/msg.h>
#include <proc/proc.h>
#include <proc/proc_lines.h>

#include <fmt/format.h>

#include <cerrno>
#include <cstring>
#include <vector>

namespace {

std::function<std::string()>& vexec_directory()
{
    static std::function<std::string()> directory;
    return directory;
}

constexpr const char* kUsage = "Usage: vexec [-h | -help | -long_help] <command_line>";
constexpr const char* kHelp = "Runs a tool of the installation's bin/ directory in the project directory.\n"
                              "\n"
                              "Options:\n"
                              "  -h              Shows the usage line.\n"
                              "  -help           Shows the usage and the option descriptions.\n"
                              "  -long_help      Shows the usage, the option descriptions and the details.\n"
                              "  <command_line>  The tool's name and its arguments in one word.";
constexpr const char* kDetails =
    "Double quotes keep blanks inside an argument; inside them \\\" is a double quote and\n"
    "\\\\ a backslash. Without an open project the tool runs in the current directory.\n"
    "Output lines are shown as messages: lines with Warning: as warnings, with Error: as\n"
    "errors. A tool that fails makes the command fail.\n"
    "\n"
    "Example:\n"
    "  vexec {ip_generate --file=\"my core.tessel\" --output-directory=gen}";

//! The help option a word stands for (unique prefixes of -help and -long_help too), else 0.
int help_option(const std::string& word)
{
    if (word == "-h") return ATCL_HELP_SHORT;
    if (word.size() < 3 || word[0] != '-') return 0;
    const std::string name = word.substr(1);
    if (std::string("help").rfind(name, 0) == 0) return ATCL_HELP_NORMAL;
    if (std::string("long_help").rfind(name, 0) == 0) return ATCL_HELP_LONG;
    return 0;
}

//! "Warning: x" is posted as the warning "x", not as "Warning: Warning: x".
void remove_severity_word(std::string& line, const char* word)
{
    const std::size_t length = std::strlen(word);
    if (line.compare(0, length, word) != 0) return;
    const std::size_t text = line.find_first_not_of(" \t", length);
    if (text != std::string::npos) line.erase(0, text);
}

void post_line(std::string line)
{
    // The same classification as the IP upgrade's generator runs: warnings first.
    if (line.find("Warning:") != std::string::npos) {
        remove_severity_word(line, "Warning:");
        msg_post_text(MSG_POST_WARNING, line);
    } else if (line.find("Error:") != std::string::npos) {
        remove_severity_word(line, "Error:");
        msg_post_text(MSG_POST_ERROR, line);
    } else {
        remove_severity_word(line, "Info:");
        msg_post_text(MSG_POST_INFO, line);
    }
}

//! The tool's path in the installation. The name must stay inside bin/.
std::string tool_path(const std::string& name)
{
    if (name.empty() || name == "." || name == ".." || name.find('/') != std::string::npos)
        throw ATCL_VEXEC_ERROR(fmt::format(
            "ERROR: vexec runs tools of the installation's bin/ directory by name; \"{}\" is not a tool name",
            name));
    return gen_get_vorlin_path() + "bin/" + name;
}

void relay_output(THR_PIPE* pipe)
{
    THR_LINE_ASSEMBLER relay([](const std::string& line) { post_line(line); });
    char buffer[2048];
    std::size_t count = 0;
    while (thr_process_read(pipe, buffer, sizeof buffer, &count) == 0)
        relay.add(buffer, count);
    relay.finish();
}

void print_help(Tcl_Interp* interp, const std::string& text)
{
    Tcl_Obj* words[2] = {Tcl_NewStringObj("puts", -1), Tcl_NewStringObj(text.c_str(), -1)};
    for (Tcl_Obj* word : words)
        Tcl_IncrRefCount(word);
    Tcl_EvalObjv(interp, 2, words, TCL_EVAL_GLOBAL);
    for (Tcl_Obj* word : words)
        Tcl_DecrRefCount(word);
}

int vexec_command(ClientData, Tcl_Interp* interp, int objc, Tcl_Obj* const objv[])
{
    try {
        const std::string first = objc > 1 ? Tcl_GetString(objv[1]) : "";
        const int help = objc == 2 ? help_option(first) : 0;
        if (help != 0) {
            print_help(interp, help == ATCL_HELP_SHORT ? std::string(kUsage)
                               : help == ATCL_HELP_NORMAL
                                   ? fmt::format("{}\n\n{}", kUsage, kHelp)
                                   : fmt::format("{}\n\n{}\n\n{}", kUsage, kHelp, kDetails));
            Tcl_ResetResult(interp);
            return TCL_OK;
        }
        if (objc != 2) throw ATCL_VEXEC_ERROR(fmt::format("ERROR: wrong number of arguments. {}", kUsage));
        atcl_vexec(first);
        Tcl_ResetResult(interp);
        return TCL_OK;
    } catch (const std::exception& error) {
        Tcl_SetObjResult(interp, Tcl_NewStringObj(error.what(), -1));
        return TCL_ERROR;
    }
}

}  // namespace

void atcl_vexec(const std::string& command_line)
{
    std::vector<std::string> words = thr_split_command_line(command_line);
    if (words.empty()) throw ATCL_VEXEC_ERROR(fmt::format("ERROR: vexec needs a tool name. {}", kUsage));
    const std::string name = words.front();
    words.front() = tool_path(name);

    THR_PIPE* raw_pipe = nullptr;
    const std::string directory = vexec_directory() ? vexec_directory()() : std::string();
    THR_PROCESS_PTR process(thr_process_create_words(words, directory, &raw_pipe, &raw_pipe));
    THR_PIPE_PTR pipe(raw_pipe);
    if (!process)
        throw ATCL_VEXEC_ERROR(
            fmt::format("ERROR: Cannot start {}: {}", words.front(), std::strerror(errno)));
    relay_output(pipe.get());
    pipe.reset();

    int32_t status[2] = {0, 0};
    if (thr_process_wait(process.get(), status, 0) != 0)
        throw ATCL_VEXEC_ERROR(fmt::format("ERROR: Lost track of {}", name));
    if (status[0] != 0)
        throw ATCL_VEXEC_ERROR(fmt::format("ERROR: {} was ended by signal {}", name, status[0]));
    if (status[1] != 0)
        throw ATCL_VEXEC_ERROR(fmt::format("ERROR: {} failed with exit code {}", name, status[1]));
}

void atcl_set_vexec_directory(std::function<std::string()> directory)
{
    vexec_directory() = std::move(directory);
}

int atcl_register_vexec_command(Tcl_Interp* interp)
{
    Tcl_CreateObjCommand(interp, "::vexec", vexec_command, nullptr, nullptr);
    return TCL_OK;
}
