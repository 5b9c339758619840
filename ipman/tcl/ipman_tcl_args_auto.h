//! @file ipman_tcl_args_auto.h
//! @brief The ::vorlin::ipman package: option numbers and names, the per-command option
//! tables, resolvers and definitions, the command table, and its registration.
#pragma once

#include <atcl/atcl.h>

#include <map>
#include <string>

//! Option numbers of every command of the package; the numbering is fixed.
enum IPMAN_AUTO_ARGUMENT_ENUM {
    IPMAN_AUTO_ARG_NONE = 0,  //!< a word that names no option of the command
    IPMAN_AUTO_ARG_H = 1,
    IPMAN_AUTO_ARG_HELP = 2,
    IPMAN_AUTO_ARG_LONG_HELP = 3,
    IPMAN_AUTO_ARG_ALL = 4,
    IPMAN_AUTO_ARG_ENTITY = 5,
    IPMAN_AUTO_ARG_FIELD = 6,
    IPMAN_AUTO_ARG_FILES = 7,
    IPMAN_AUTO_ARG_ID = 8,
    IPMAN_AUTO_ARG_IP_FILE_PATH = 9,
    IPMAN_AUTO_ARG_NEW_FILE = 10,
    IPMAN_AUTO_ARG_NEW_VERSION = 11,
    IPMAN_AUTO_ARG_OLD_FILE = 12,
    IPMAN_AUTO_ARG_OLD_VERSION = 13,
    IPMAN_AUTO_ARG_OPTIONAL = 14,
    IPMAN_AUTO_ARG_REQUIRED = 15,
    IPMAN_AUTO_ARG_EMPTY_WORD = 16,  //!< a null or empty word
};

//! The package's commands, in the order of its command table.
enum IPMAN_TCL_CMD_ENUM {
    IPMAN_TCL_REGENERATE_IP = 0,
    IPMAN_TCL_LIST_IP_CORES,
    IPMAN_TCL_LOAD_IP_UPGRADE_TABLE,
    IPMAN_TCL_UNLOAD_IP_UPGRADE_TABLE,
    IPMAN_TCL_GET_IP_LIST,
    IPMAN_TCL_FIND_IP_INFO,
    IPMAN_TCL_GET_IP_INFO_FIELD,
    IPMAN_TCL_PORT_DIFF_CLEAR,
    IPMAN_TCL_PORT_DIFF_ADD_IP,
    IPMAN_TCL_PORT_DIFF_GEN_REPORT,
    IPMAN_TCL_GET_GENERATED_IP_FILES,
    IPMAN_TCL_IP_DEPLOY,
    IPMAN_TCL_CMD_COUNT
};

constexpr const char* IPMAN_TCL_PACKAGE_NAME = "::vorlin::ipman";
constexpr const char* IPMAN_TCL_PACKAGE_VERSION = "1.0";

//! Option-name table: "" for 0, then the names of options 1 to 15.
extern const char* const IPMAN_AUTO_ARGUMENT_NAMES[16];

//! Name of an option number; numbers outside 1 to 15 are an internal error.
const char* ipman_get_option_name(int option);

//! The option of one word (without its dash) for one command: full names of the help
//! options and of the command's named options, or an accepted abbreviation; 16 for a null
//! or empty word; 0 otherwise.
IPMAN_AUTO_ARGUMENT_ENUM ipman_resolve_option(IPMAN_TCL_CMD_ENUM command, const char* word);
//! The abbreviations a command accepts: every proper prefix of one of its option names
//! (help names included) that begins no other of them.
const std::map<std::string, IPMAN_AUTO_ARGUMENT_ENUM>& ipman_get_abbreviations(IPMAN_TCL_CMD_ENUM command);

//! Name of a command ("regenerate_ip").
const char* ipman_get_command_name(IPMAN_TCL_CMD_ENUM command);
//! The command's static definition; null for ip_deploy, whose words are taken raw.
const ATCL_CMD_DEFINITION* ipman_get_command_definition(IPMAN_TCL_CMD_ENUM command);
//! True for the commands that refuse to run without an open project.
bool ipman_command_needs_project(IPMAN_TCL_CMD_ENUM command);
//! The command object, built on the command's first use and kept for the process.
const ATCL_CMD& ipman_get_command_object(IPMAN_TCL_CMD_ENUM command);
//! The rows handed to the framework at registration, ended by an all-null row.
const ATCL_CALLBACK* ipman_get_command_table();

//! The handlers of the command table, one per command; defined with the command bodies.
int ipman_tcl_regenerate_ip(ClientData, Tcl_Interp* interp, int objc, Tcl_Obj* const objv[]);
int ipman_tcl_list_ip_cores(ClientData, Tcl_Interp* interp, int objc, Tcl_Obj* const objv[]);
int ipman_tcl_load_ip_upgrade_table(ClientData, Tcl_Interp* interp, int objc, Tcl_Obj* const objv[]);
int ipman_tcl_unload_ip_upgrade_table(ClientData, Tcl_Interp* interp, int objc, Tcl_Obj* const objv[]);
int ipman_tcl_get_ip_list(ClientData, Tcl_Interp* interp, int objc, Tcl_Obj* const objv[]);
int ipman_tcl_find_ip_info(ClientData, Tcl_Interp* interp, int objc, Tcl_Obj* const objv[]);
int ipman_tcl_get_ip_info_field(ClientData, Tcl_Interp* interp, int objc, Tcl_Obj* const objv[]);
int ipman_tcl_port_diff_clear(ClientData, Tcl_Interp* interp, int objc, Tcl_Obj* const objv[]);
int ipman_tcl_port_diff_add_ip(ClientData, Tcl_Interp* interp, int objc, Tcl_Obj* const objv[]);
int ipman_tcl_port_diff_gen_report(ClientData, Tcl_Interp* interp, int objc, Tcl_Obj* const objv[]);
int ipman_tcl_get_generated_ip_files(ClientData, Tcl_Interp* interp, int objc, Tcl_Obj* const objv[]);
int ipman_tcl_ip_deploy(ClientData, Tcl_Interp* interp, int objc, Tcl_Obj* const objv[]);

//! Registers the package and its commands in an interpreter and provides the package.
int ipman_register_tcl_in(Tcl_Interp* interp);
//! Deletes the package's commands from an interpreter and forgets the package there.
int ipman_unregister_tcl_from(Tcl_Interp* interp);

extern "C" {
//! Tcl's load calls it with the interpreter; records it with the framework when the
//! framework has none, registers the package there. Always answers 0.
int Ipman_Init(Tcl_Interp* interp);
//! Tcl's unload calls it; unregisters the package from the interpreter. Answers 0.
int Ipman_Unload(Tcl_Interp* interp, int flags);
//! Registration on the framework's interpreter (internal error when there is none).
int ipman_ipman_register_tcl();
//! Unregistration from the framework's interpreter (internal error when there is none).
int ipman_ipman_unregister_tcl();
}
