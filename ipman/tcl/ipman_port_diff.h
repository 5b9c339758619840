//! @file ipman_port_diff.h
//! @brief The port comparison of old and new IP files, the generated-files query and the
//! deployment command: bodies of the commands that stand beside the upgrade itself.
#pragma once

#include <atcl/atcl.h>

#include <ipman/ipman_ip_regen_result.h>

#include <vector>

//! Adds the old/new top-level file pairs of upgraded system-generated variations.
void ipman_add_upgraded_ip_port_diffs(const std::vector<IPMAN_IP_REGEN_RESULT>& results);

// Bodies run after the common prologue; each answers its Tcl code.
int ipman_port_diff_clear_body(Tcl_Interp* interp, const ATCL_ARGS& args);
int ipman_port_diff_add_ip_body(Tcl_Interp* interp, const ATCL_ARGS& args);
int ipman_port_diff_gen_report_body(Tcl_Interp* interp, const ATCL_ARGS& args);
int ipman_get_generated_ip_files_body(Tcl_Interp* interp, const ATCL_ARGS& args);
//! ip_deploy takes its words raw: no prologue. Answers the generator's status as the code.
int ipman_ip_deploy_command(Tcl_Interp* interp, int objc, Tcl_Obj* const objv[]);
