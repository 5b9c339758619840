//! @file hdb_tcl.cpp
//! @brief elaborate_design: elaborates the open project's active revision and keeps the
//! design hierarchy for the modules that ask for it.
#include <hdb/hdb_tcl.h>

#include <hdb/hdb.h>

#include <atcl/atcl.h>

#include <fmt/format.h>

#include <string>

namespace {

constexpr const char* package_name = "::vorlin::design";
constexpr const char* package_version = "1.0";

constexpr ATCL_OPTION_ENTRY no_options[] = {{0, 0, 0, 0, nullptr, nullptr}};

int resolve_option(const char* word)
{
    return atcl_resolve_option_by_prefix(word, atcl_help_option_name, no_options);
}

int elaborate_design_command(ClientData, Tcl_Interp* interp, int objc, Tcl_Obj* const objv[])
{
    static const ATCL_OPTION_HELP option_help[] = {{0, nullptr}};
    static const ATCL_CMD_HELP help{
        "Elaborates the open project's active revision and keeps its design hierarchy.",
        "Reads the revision's Verilog and SystemVerilog files and those its IP lists name, from "
        "the top-level entity down; VHDL files are not elaborated and a warning names them. "
        "Protected files take part as black boxes. The hierarchy is kept until the project "
        "closes or is elaborated again; when elaboration fails, the one kept before stays. "
        "Returns the number of instances, the top-level one included. Needs yosys; the user "
        "setting hdb_elaboration_time_limit gives its time limit in seconds (default 300).\n\n"
        "Example:\n  elaborate_design\n  load_ip_upgrade_table",
        option_help};
    static const ATCL_CMD cmd(ATCL_CMD_DEFINITION{"design", "elaborate_design", atcl_help_option_name,
                                                  resolve_option, nullptr, nullptr, no_options, nullptr,
                                                  nullptr, nullptr},
                              &help);
    ATCL_ARGS args;
    bool help_shown = false;
    if (args.process_tcl_command_arguments(interp, cmd, help_shown, objc, objv) != TCL_OK) return TCL_ERROR;
    if (help_shown) return TCL_OK;
    std::string error;
    if (!hdb_elaborate_active_revision(error)) {
        atcl_error_msg_impl(interp, error);
        return TCL_ERROR;
    }
    Tcl_SetObjResult(
        interp, Tcl_NewWideIntObj(static_cast<Tcl_WideInt>(hdb_get_elaborated_design()->instance_count())));
    return TCL_OK;
}

constexpr ATCL_CALLBACK design_commands[] = {{elaborate_design_command, "elaborate_design", nullptr},
                                             {nullptr, nullptr, nullptr}};

}  // namespace

int hdb_tcl_init(Tcl_Interp* interp)
{
    atcl_begin_package_setup(package_name, package_version, "HDB", "hdb", false);
    atcl_register_callbacks(design_commands);
    if (atcl_end_package_setup(interp) != TCL_OK) return TCL_ERROR;
    const std::string import =
        fmt::format("namespace eval :: {{namespace import -force {}::*}}", package_name);
    if (Tcl_EvalEx(interp, import.c_str(), -1, TCL_EVAL_GLOBAL) != TCL_OK) return TCL_ERROR;
    return Tcl_PkgProvideEx(interp, package_name, package_version, nullptr);
}
