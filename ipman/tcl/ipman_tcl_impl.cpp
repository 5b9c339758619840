//! @file ipman_tcl_impl.cpp
//! @brief The command handlers of ::vorlin::ipman: the common prologue and each command's
//! body. Bodies that this build does not carry answer a clear error.
#include "tcl/ipman_tcl_impl.h"
#include "support/ipman_debug.h"
#include "support/ipman_installation.h"

#include "tcl/ipman_port_diff.h"
#include "tcl/ipman_tcl_ip_table.h"
#include "tcl/ipman_upgrade_driver.h"

#include "manager/ipman_upgrade_candidates.h"

#include <ipman/ipman_ip_info_manager.h>

#include <acf/proj_project.h>
#include <msg/msg.h>

#include <fmt/format.h>

#include <exception>

namespace {

//! Each command's body until its real one is in place.
template <IPMAN_TCL_CMD_ENUM command>
int unavailable_body(Tcl_Interp* interp, const ATCL_ARGS&)
{
    atcl_error_msg_impl(
        interp, fmt::format("ERROR: {} is not available in this build", ipman_get_command_name(command)));
    return TCL_ERROR;
}

//! Runs a piece of a command; an exception becomes its "ERROR: " result.
template <typename WORK>
int guarded(Tcl_Interp* interp, IPMAN_TCL_CMD_ENUM command, WORK&& work)
{
    try {
        return work();
    } catch (const std::exception& error) {
        const std::string text = error.what();
        atcl_error_msg_impl(interp,
                            text.compare(0, 7, "ERROR: ") == 0
                                ? text
                                : fmt::format("ERROR: {}: {}", ipman_get_command_name(command), text));
    } catch (...) {
        atcl_error_msg_impl(interp, fmt::format("ERROR: {} failed.", ipman_get_command_name(command)));
    }
    return TCL_ERROR;
}

//! Every way regenerate_ip ends, the remembered upgrade outcomes are those of the report.
class RELOAD_ATTEMPTS_AT_EXIT {
public:
    RELOAD_ATTEMPTS_AT_EXIT() = default;
    ~RELOAD_ATTEMPTS_AT_EXIT()
    {
        IPMAN_IP_INFO_MANAGER::get_ip_info_manager()->load_ip_regen_results_from_report(nullptr);
    }
    RELOAD_ATTEMPTS_AT_EXIT(const RELOAD_ATTEMPTS_AT_EXIT&) = delete;
    RELOAD_ATTEMPTS_AT_EXIT& operator=(const RELOAD_ATTEMPTS_AT_EXIT&) = delete;
};

int regenerate_ip_body(Tcl_Interp* interp, const ATCL_ARGS& args)
{
    RELOAD_ATTEMPTS_AT_EXIT reload;
    // The run's report lists the messages of this run, not of the whole session.
    msg_clear_posted_messages();
    if (args.is_option_specified_by_user(IPMAN_AUTO_ARG_FILES))
        return ipman_upgrade_listed_files(args.get_one_arg_option(IPMAN_AUTO_ARG_FILES), interp);
    IPMAN_CANDIDATE_CHOICE choice;
    choice.all = args.get_no_arg_option(IPMAN_AUTO_ARG_ALL);
    choice.optional = args.get_no_arg_option(IPMAN_AUTO_ARG_OPTIONAL);
    choice.required = true;  // the default list; -required only says so
    std::vector<IPMAN_IP_INFO> records;
    ipman_select_upgrade_candidates(choice, records);
    return records.empty() ? TCL_OK : ipman_run_upgrade_driver(records, interp);
}

int list_ip_cores_body(Tcl_Interp* interp, const ATCL_ARGS& args)
{
    IPMAN_CANDIDATE_CHOICE choice;
    choice.all = args.get_no_arg_option(IPMAN_AUTO_ARG_ALL);
    choice.optional = args.get_no_arg_option(IPMAN_AUTO_ARG_OPTIONAL);
    choice.required = args.get_no_arg_option(IPMAN_AUTO_ARG_REQUIRED);
    choice.quiet = true;
    std::vector<IPMAN_IP_INFO> records;
    ipman_select_upgrade_candidates(choice, records);
    for (const auto& line : ipman_candidate_lines(records))
        Tcl_AppendElement(interp, line.second.c_str());
    return TCL_OK;
}

//! The commands that analyse the project's variations, which a broken installation would
//! silently turn wrong.
bool loads_variations(IPMAN_TCL_CMD_ENUM command)
{
    return command == IPMAN_TCL_REGENERATE_IP || command == IPMAN_TCL_LIST_IP_CORES ||
           command == IPMAN_TCL_LOAD_IP_UPGRADE_TABLE;
}

}  // namespace

int ipman_tcl_command_prologue(IPMAN_TCL_CMD_ENUM command, Tcl_Interp* interp, int objc,
                               Tcl_Obj* const objv[], ATCL_ARGS& args, bool& finished)
{
    bool help_shown = false;
    const int code =
        args.process_tcl_command_arguments(interp, ipman_get_command_object(command), help_shown, objc, objv);
    finished = code != TCL_OK || help_shown;
    if (finished) return code;
    if (ipman_command_needs_project(command) && PROJ_PROJECT::m_current == nullptr) {
        atcl_error_msg_impl(interp, "ERROR: You must open a project before you can use this command.");
        finished = true;
        return TCL_ERROR;
    }
    if (loads_variations(command)) {
        const std::string problem = ipman_installation_problem();
        if (!problem.empty()) {
            atcl_error_msg_impl(interp, fmt::format("ERROR: The installation cannot be used: {}.", problem));
            finished = true;
            return TCL_ERROR;
        }
    }
    return TCL_OK;
}

int ipman_run_tcl_command(IPMAN_TCL_CMD_ENUM command, Tcl_Interp* interp, int objc, Tcl_Obj* const objv[],
                          IPMAN_TCL_BODY body)
{
    return guarded(interp, command, [&] {
        ATCL_ARGS args;
        bool finished = false;
        const int code = ipman_tcl_command_prologue(command, interp, objc, objv, args, finished);
        return finished ? code : body(interp, args);
    });
}

int ipman_tcl_regenerate_ip(ClientData, Tcl_Interp* interp, int objc, Tcl_Obj* const objv[])
{
    return ipman_run_tcl_command(IPMAN_TCL_REGENERATE_IP, interp, objc, objv, regenerate_ip_body);
}

int ipman_tcl_list_ip_cores(ClientData, Tcl_Interp* interp, int objc, Tcl_Obj* const objv[])
{
    return ipman_run_tcl_command(IPMAN_TCL_LIST_IP_CORES, interp, objc, objv, list_ip_cores_body);
}

int ipman_tcl_load_ip_upgrade_table(ClientData, Tcl_Interp* interp, int objc, Tcl_Obj* const objv[])
{
    return ipman_run_tcl_command(IPMAN_TCL_LOAD_IP_UPGRADE_TABLE, interp, objc, objv,
                                 ipman_load_ip_upgrade_table_body);
}

int ipman_tcl_unload_ip_upgrade_table(ClientData, Tcl_Interp* interp, int objc, Tcl_Obj* const objv[])
{
    return ipman_run_tcl_command(IPMAN_TCL_UNLOAD_IP_UPGRADE_TABLE, interp, objc, objv,
                                 ipman_unload_ip_upgrade_table_body);
}

int ipman_tcl_get_ip_list(ClientData, Tcl_Interp* interp, int objc, Tcl_Obj* const objv[])
{
    return ipman_run_tcl_command(IPMAN_TCL_GET_IP_LIST, interp, objc, objv, ipman_get_ip_list_body);
}

int ipman_tcl_find_ip_info(ClientData, Tcl_Interp* interp, int objc, Tcl_Obj* const objv[])
{
    return ipman_run_tcl_command(IPMAN_TCL_FIND_IP_INFO, interp, objc, objv, ipman_find_ip_info_body);
}

int ipman_tcl_get_ip_info_field(ClientData, Tcl_Interp* interp, int objc, Tcl_Obj* const objv[])
{
    return ipman_run_tcl_command(IPMAN_TCL_GET_IP_INFO_FIELD, interp, objc, objv,
                                 ipman_get_ip_info_field_body);
}

int ipman_tcl_port_diff_clear(ClientData, Tcl_Interp* interp, int objc, Tcl_Obj* const objv[])
{
    return ipman_run_tcl_command(IPMAN_TCL_PORT_DIFF_CLEAR, interp, objc, objv, ipman_port_diff_clear_body);
}

int ipman_tcl_port_diff_add_ip(ClientData, Tcl_Interp* interp, int objc, Tcl_Obj* const objv[])
{
    return ipman_run_tcl_command(IPMAN_TCL_PORT_DIFF_ADD_IP, interp, objc, objv, ipman_port_diff_add_ip_body);
}

int ipman_tcl_port_diff_gen_report(ClientData, Tcl_Interp* interp, int objc, Tcl_Obj* const objv[])
{
    ipman_debug("Entering port_diff_gen_report ..");
    return ipman_run_tcl_command(IPMAN_TCL_PORT_DIFF_GEN_REPORT, interp, objc, objv,
                                 ipman_port_diff_gen_report_body);
}

int ipman_tcl_get_generated_ip_files(ClientData, Tcl_Interp* interp, int objc, Tcl_Obj* const objv[])
{
    return ipman_run_tcl_command(IPMAN_TCL_GET_GENERATED_IP_FILES, interp, objc, objv,
                                 ipman_get_generated_ip_files_body);
}

int ipman_tcl_ip_deploy(ClientData, Tcl_Interp* interp, int objc, Tcl_Obj* const objv[])
{
    // ip_deploy has no definition: its words go to the generator unparsed.
    return guarded(interp, IPMAN_TCL_IP_DEPLOY, [&] { return ipman_ip_deploy_command(interp, objc, objv); });
}
