//! @file acf_settings_writer.h
//! @brief Text of a settings file: one set_global_assignment command per assignment, with
//! every word in Tcl list quoting so that reading the file back gives the same values.
#pragma once

#include <acf/acf.h>

#include <string>
#include <vector>

//! The text as one Tcl word that evaluates to exactly this text.
std::string acf_tcl_quote(const std::string& text);
//! The command that re-creates the assignment, without a line end.
std::string acf_render_assignment(const ACF_MGR_INPUT_PARAMETERS& params);
//! The whole settings file: one command per line, in the given order.
std::string acf_render_settings(const std::vector<const ACF_MGR_INPUT_PARAMETERS*>& assignments);
