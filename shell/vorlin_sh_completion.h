//! @file vorlin_sh_completion.h
//! @brief Tab completion at the prompt: command names, then option names of suite and
//! module commands; other words complete as file names.
#pragma once

#include <tcl.h>

//! Makes readline complete against this interpreter.
void vorlin_sh_install_completion(Tcl_Interp* interp);
