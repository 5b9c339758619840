//! @file hdb_tcl.h
//! @brief The design commands of the shell: package ::vorlin::design, also imported into
//! the global namespace.
#pragma once

#include <tcl.h>

//! Creates elaborate_design on the interpreter and provides the package "::vorlin::design"
//! 1.0. Answers TCL_OK or TCL_ERROR.
int hdb_tcl_init(Tcl_Interp* interp);
