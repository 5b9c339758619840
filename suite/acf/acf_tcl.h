//! @file acf_tcl.h
//! @brief The project commands of the shell: package ::vorlin::project, also imported into
//! the global namespace.
#pragma once

#include <tcl.h>

#include <string>

//! Creates project_open, project_close, set_global_assignment, get_global_assignment,
//! get_all_global_assignments, export_assignments and read_ip_list_file on the interpreter and provides the
//! package "::vorlin::project" 1.0. Answers TCL_OK or TCL_ERROR.
int acf_tcl_init(Tcl_Interp* interp);

//! Names the script the shell runs at the top level, exactly as `info script` will give it:
//! assignments it makes are permanent, those of files it sources transient.
void acf_tcl_set_top_level_script(const std::string& path);
