//! @file ipman_tcl_impl.h
//! @brief What the command handlers of ::vorlin::ipman share: the common prologue (options,
//! help, open project) and the dispatch to each command's body.
#pragma once

#include "tcl/ipman_tcl_args_auto.h"

//! A command's own work after the prologue; answers the Tcl completion code.
using IPMAN_TCL_BODY = int (*)(Tcl_Interp* interp, const ATCL_ARGS& args);

//! Parses the words, handles help and the open-project check. Answers the code to return
//! at once with finished set, or TCL_OK with finished clear when the body is to run.
int ipman_tcl_command_prologue(IPMAN_TCL_CMD_ENUM command, Tcl_Interp* interp, int objc,
                               Tcl_Obj* const objv[], ATCL_ARGS& args, bool& finished);

//! Prologue, then body; the one place where exceptions of a command become Tcl errors.
int ipman_run_tcl_command(IPMAN_TCL_CMD_ENUM command, Tcl_Interp* interp, int objc, Tcl_Obj* const objv[],
                          IPMAN_TCL_BODY body);
