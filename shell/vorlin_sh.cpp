//! @file vorlin_sh.cpp
//! @brief The suite's Tcl shell: `vorlin_sh -t script.tcl ?args?` runs a script, no argument
//! gives an interactive prompt; the suite's commands and the ipman package are available.
#include <atcl/atcl.h>
#include <atcl/atcl_vexec.h>
#if __has_include(<acf/acf_tcl.h>)
#include <acf/acf_tcl.h>
#define VORLIN_SH_HAS_PROJECT_COMMANDS 1
#endif
#if __has_include(<hdb/hdb_tcl.h>)
#include <hdb/hdb_tcl.h>
#define VORLIN_SH_HAS_DESIGN_COMMANDS 1
#endif

#include "vorlin_sh_library.h"
#include "vorlin_sh_terminal.h"

#include <tcl.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include <unistd.h>

extern "C" {
// Marks this shell as linking its modules at build time, so that they offer their packages
// as static packages when the shell starts.
extern const int atcl_shell_links_modules;
const int atcl_shell_links_modules = 1;
}

namespace {

constexpr const char* kUsage = "Usage: vorlin_sh ?-t script.tcl ?arg ...??\n";

int init_suite_commands(Tcl_Interp* interp)
{
    if (Tcl_Init(interp) != TCL_OK) return TCL_ERROR;
    atcl_set_interpreter(interp);
    atcl_register_collection_commands(interp);
    atcl_register_vexec_command(interp);
#ifdef VORLIN_SH_HAS_PROJECT_COMMANDS
    if (acf_tcl_init(interp) != TCL_OK) return TCL_ERROR;
#endif
#ifdef VORLIN_SH_HAS_DESIGN_COMMANDS
    if (hdb_tcl_init(interp) != TCL_OK) return TCL_ERROR;
#endif
    // The module offered itself as the static package "Ipman" when the shell started.
    if (Tcl_Eval(interp, "package ifneeded ::vorlin::ipman 1.0 {load {} Ipman}") != TCL_OK) return TCL_ERROR;
    return Tcl_EvalEx(interp, kShellTclLibrary, -1, TCL_EVAL_GLOBAL);
}

int init_interactive_shell(Tcl_Interp* interp)
{
    if (init_suite_commands(interp) != TCL_OK) return TCL_ERROR;
    return Tcl_Eval(interp, "set tcl_prompt1 {puts -nonewline {vorlin_sh> }}");
}

void set_script_arguments(Tcl_Interp* interp, const char* script, int argc, char** argv)
{
    Tcl_Obj* arguments = Tcl_NewListObj(0, nullptr);
    for (int i = 0; i < argc; ++i) {
        Tcl_ListObjAppendElement(nullptr, arguments, Tcl_NewStringObj(argv[i], -1));
    }
    Tcl_SetVar2Ex(interp, "argv0", nullptr, Tcl_NewStringObj(script, -1), TCL_GLOBAL_ONLY);
    Tcl_SetVar2Ex(interp, "argv", nullptr, arguments, TCL_GLOBAL_ONLY);
    Tcl_SetVar2Ex(interp, "argc", nullptr, Tcl_NewIntObj(argc), TCL_GLOBAL_ONLY);
    Tcl_SetVar2Ex(interp, "tcl_interactive", nullptr, Tcl_NewIntObj(0), TCL_GLOBAL_ONLY);
}

//! Prints why the script failed to standard error: the error's trace, else the result.
//! The trace comes from the failure's own return options; errorInfo may be stale.
void report_failure(Tcl_Interp* interp, int code)
{
    const ATCL_OBJ_PTR options(Tcl_GetReturnOptions(interp, code));
    const ATCL_OBJ_PTR key(Tcl_NewStringObj("-errorinfo", -1));
    Tcl_Obj* trace = nullptr;
    Tcl_DictObjGet(nullptr, options.get(), key.get(), &trace);
    std::fprintf(stderr, "%s\n", trace ? Tcl_GetString(trace) : Tcl_GetStringResult(interp));
}

[[noreturn]] void run_script(const char* program, const char* script, int argc, char** argv)
{
    Tcl_FindExecutable(program);
    Tcl_Interp* interp = Tcl_CreateInterp();
    set_script_arguments(interp, script, argc, argv);
    int code = init_suite_commands(interp);
    // Run by an absolute name, so that no file it sources can be taken for it.
    std::error_code ignored;
    const std::string absolute_script =
        std::filesystem::absolute(script, ignored).lexically_normal().string();
#ifdef VORLIN_SH_HAS_PROJECT_COMMANDS
    acf_tcl_set_top_level_script(absolute_script);
#endif
    if (code == TCL_OK) code = Tcl_EvalFile(interp, absolute_script.c_str());
    if (code != TCL_OK) report_failure(interp, code);
    // Tcl_Exit flushes the channels; `exit N` inside the script ends the process the same way.
    Tcl_Exit(code == TCL_OK ? 0 : 1);
}

//! The prompt with line editing, history and completion, for a user at a terminal.
[[noreturn]] void run_terminal(const char* program)
{
    Tcl_FindExecutable(program);
    Tcl_Interp* interp = Tcl_CreateInterp();
    Tcl_SetVar2Ex(interp, "argv0", nullptr, Tcl_NewStringObj(program, -1), TCL_GLOBAL_ONLY);
    Tcl_SetVar2Ex(interp, "argv", nullptr, Tcl_NewListObj(0, nullptr), TCL_GLOBAL_ONLY);
    Tcl_SetVar2Ex(interp, "argc", nullptr, Tcl_NewIntObj(0), TCL_GLOBAL_ONLY);
    Tcl_SetVar2Ex(interp, "tcl_interactive", nullptr, Tcl_NewIntObj(1), TCL_GLOBAL_ONLY);
    // As tclsh does: a failed start-up is reported and the prompt still offers what works.
    if (init_suite_commands(interp) != TCL_OK) {
        std::fprintf(stderr, "application-specific initialization failed: %s\n", Tcl_GetStringResult(interp));
    }
    vorlin_sh_run_terminal(interp);
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc >= 2 && std::strcmp(argv[1], "-t") == 0) {
        if (argc < 3) {
            std::fputs(kUsage, stderr);
            return 1;
        }
        run_script(argv[0], argv[2], argc - 3, argv + 3);
    }
    if (argc >= 2 && (std::strcmp(argv[1], "-h") == 0 || std::strcmp(argv[1], "--help") == 0)) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    // Piped or redirected input is read by Tcl's own loop, without prompts or editing.
    if (argc == 1 && ::isatty(STDIN_FILENO)) run_terminal(argv[0]);
    Tcl_Main(argc, argv, init_interactive_shell);
    return 0;
}
