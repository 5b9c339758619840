//! @file atcl_eval.h
//! @brief Evaluating one command in the host's Tcl interpreter without talking to Tcl: the
//! command is given as its words and every word stays literal.
#pragma once

#include <string>
#include <vector>

struct Tcl_Interp;

//! True when the host recorded its interpreter (atcl_set_interpreter).
bool atcl_host_interpreter_exists();

//! Evaluates the command made of words (the command name first) in the global namespace of
//! the host interpreter. The words are passed as a Tcl list, so "$", "[", "]", "\", quotes
//! and braces reach the command as written. Answers the Tcl completion code (0 = TCL_OK);
//! result, when given, receives the interpreter's result text. Without a host interpreter:
//! 1 (TCL_ERROR) and an "ERROR: " text.
int atcl_global_eval_words(const std::vector<std::string>& words, std::string* result);
//! The same on a given interpreter.
int atcl_global_eval_words(Tcl_Interp* interp, const std::vector<std::string>& words, std::string* result);
