//! @file ipman_port_diff.cpp
//! @brief Port comparison of old and new IP files, the generated-files query and the
//! deployment command.
#include "tcl/ipman_port_diff.h"
#include "support/ipman_debug.h"

#include "tcl/ipman_cmd.h"
#include "tcl/ipman_tcl_args_auto.h"

#include <gen/gen.h>
#include <ipdgen/ipdgen.h>
#include <msg/msg.h>
#include <rdb/rdb.h>
#include <ver/ver.h>

#include <ipman/ipman_ip_info_manager.h>

#include <fmt/format.h>

#include <iostream>
#include <optional>
#include <string>

namespace {

//! Longest "ip_deploy ARGS" text handed on; a longer one would lose arguments on the way.
constexpr std::size_t IP_DEPLOY_COMMAND_LIMIT = 4093;

bool ends_with(const std::string& text, const std::string& suffix)
{
    return text.size() >= suffix.size() &&
           text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

//! The HDL type of a file by its exact suffix; none for any other file.
std::optional<FIO_EXTENSION_TYPE> hdl_type(const std::string& path)
{
    if (ends_with(path, ".vhd")) return FIO_EXT_VHDL;
    if (ends_with(path, ".sv")) return FIO_EXT_SYSTEMVERILOG;
    if (ends_with(path, ".v")) return FIO_EXT_VERILOG;
    return std::nullopt;
}

FIO_EXTENSION_TYPE hdl_type_or_verilog(const std::string& path)
{
    if (const auto type = hdl_type(path)) return *type;
    ipman_debug(fmt::format("Unable to determine file type of {}. defaulting to verilog", path));
    return FIO_EXT_VERILOG;
}

void add_port_diff_pair(const std::string& old_file, const std::string& new_file,
                        const std::string& old_version, const std::string& new_version)
{
    const FIO_EXTENSION_TYPE old_type = hdl_type_or_verilog(old_file);
    const FIO_EXTENSION_TYPE new_type = hdl_type_or_verilog(new_file);
    if (gen_is_empty_string(old_version) && gen_is_empty_string(new_version)) {
        IPDGEN_PORTS_INFO::add_hdl_pair(new_file, new_type, old_file, old_type);
        return;
    }
    IPDGEN_PORTS_INFO::add_hdl_pair(new_file, new_version.empty() ? "new" : new_version, new_type, old_file,
                                    old_version.empty() ? "old" : old_version, old_type);
}

bool generated_by_system_tool(const IPMAN_IP_INFO& info)
{
    return gen_iequals(info.generated_by(), "Tessel") || gen_iequals(info.generated_by(), "TesselCrestPro");
}

//! The words after the command name, each after one blank. A word with blanks is quoted so
//! that it reaches the tool as one argument; one that brings its own quotes is left alone.
std::string joined_deploy_arguments(int objc, Tcl_Obj* const objv[])
{
    std::string text;
    for (int i = 1; i < objc; ++i) {
        const std::string word = Tcl_GetString(objv[i]);
        const bool needs_quotes =
            word.find_first_of(" \t") != std::string::npos && word.find('"') == std::string::npos;
        text += ' ';
        text += needs_quotes ? "\"" + word + "\"" : word;
    }
    return text;
}

}  // namespace

void ipman_add_upgraded_ip_port_diffs(const std::vector<IPMAN_IP_REGEN_RESULT>& results)
{
    for (const IPMAN_IP_REGEN_RESULT& result : results) {
        const IPMAN_IP_INFO& info = result.ip_info;
        if (result.status != 0 || result.backup_file.empty() || result.top_level_file.empty() ||
            !generated_by_system_tool(info))
            continue;
        const auto old_type = hdl_type(result.backup_file);
        const auto new_type = hdl_type(result.top_level_file);
        if (!old_type || !new_type) continue;
        if (info.tool_version().empty())
            IPDGEN_PORTS_INFO::add_hdl_pair(result.top_level_file, *new_type, result.backup_file, *old_type);
        else if (info.display_name() == "<Plandor>")
            IPDGEN_PORTS_INFO::add_hdl_pair(result.top_level_file, "KORS_v" + ver_get_version(), *new_type,
                                            result.backup_file, "KORS_v" + info.tool_version(), *old_type);
        else
            IPDGEN_PORTS_INFO::add_hdl_pair(result.top_level_file, info.new_tool_version(), *new_type,
                                            result.backup_file, info.tool_version(), *old_type);
    }
}

int ipman_port_diff_clear_body(Tcl_Interp*, const ATCL_ARGS&)
{
    ipman_debug("Calling port_diff_clear..");
    IPDGEN_PORTS_INFO::reset_data();
    return TCL_OK;
}

int ipman_port_diff_add_ip_body(Tcl_Interp*, const ATCL_ARGS& args)
{
    const std::string old_file = args.get_one_arg_option(IPMAN_AUTO_ARG_OLD_FILE);
    const std::string new_file = args.get_one_arg_option(IPMAN_AUTO_ARG_NEW_FILE);
    const std::string old_version = args.get_one_arg_option(IPMAN_AUTO_ARG_OLD_VERSION);
    const std::string new_version = args.get_one_arg_option(IPMAN_AUTO_ARG_NEW_VERSION);
    ipman_debug(fmt::format("OLD FILE: {} ", old_file));
    ipman_debug(fmt::format("NEW FILE: {} ", new_file));
    ipman_debug(fmt::format("OLD Version: {} ", old_version));
    ipman_debug(fmt::format("NEW Version: {} ", new_version));
    add_port_diff_pair(old_file, new_file, old_version, new_version);
    return TCL_OK;
}

int ipman_port_diff_gen_report_body(Tcl_Interp* interp, const ATCL_ARGS&)
{
    ipman_debug("Calling port_diff_gen_report ..");
    RDB_REPORT* report = ipman_get_ip_upgrade_report(IPMAN_CMD::get());
    if (!report) {
        ipman_debug("Error! report is NULL!");
        return TCL_ERROR;
    }
    ipman_debug("REPORT NOT NULL!!!");
    IPMAN_IP_INFO_MANAGER* manager = IPMAN_IP_INFO_MANAGER::get_ip_info_manager();
    if (!manager) MSG_INTERNAL_ERROR::report("ip_mgr != NULL", IPMAN_MODULE_TAG, __FILE__, __LINE__);
    std::string error;
    // A table that cannot be stored would be gone with the process: say so.
    if (!IPDGEN_REPORT_WRITER::write_report(report, manager->get_revision_name(), &error)) {
        atcl_error_msg_impl(interp,
                            "ERROR: The port differences could not be written into the report: " + error);
        return TCL_ERROR;
    }
    ipman_debug("made it after IPDGEN_REPORT_WRITER::write_report");
    return TCL_OK;
}

int ipman_get_generated_ip_files_body(Tcl_Interp* interp, const ATCL_ARGS& args)
{
    // The path is one double-quoted word whatever it holds: its special characters are escaped.
    const std::string path = args.get_one_arg_option(IPMAN_AUTO_ARG_IP_FILE_PATH);
    return atcl_tcl_eval(interp, "_internal_get_generated_ip_files_internal_ \"" +
                                     atcl_transform_string(path) + "\"");
}

int ipman_ip_deploy_command(Tcl_Interp* interp, int objc, Tcl_Obj* const objv[])
{
    std::string arguments = joined_deploy_arguments(objc, objv);
    if (std::string("ip_deploy").size() + arguments.size() >= IP_DEPLOY_COMMAND_LIMIT) {
        std::cout
            << "Command line arguments for ip-deploy are too long. Make sure TCL command length is less than "
            << IP_DEPLOY_COMMAND_LIMIT << ". ip-deploy will not be called to avoid losing arguments."
            << std::endl;
        return -1;
    }
    IPMAN_IP_REGEN_RESULT result;
    IPMAN_IP_INFO_MANAGER::get_ip_info_manager()->do_ip_deploy(arguments, result);
    if (result.status != 0 && result.fail_type != IPMAN_FAIL_NONE)
        std::cout << "Internal Error: Fatal error in ip-deploy." << std::endl;
    if (result.status != 0) Tcl_SetObjResult(interp, Tcl_NewStringObj("ERROR: ip-deploy failed.", -1));
    return result.status;
}
