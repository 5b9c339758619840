//! @file acf_settings_writer.cpp
//! @brief Renders assignments as set_global_assignment commands in Tcl list quoting.
#include "acf_settings_writer.h"

#include <tcl.h>

#include <memory>

namespace {

struct TCL_FREE {
    void operator()(char* text) const { Tcl_Free(text); }
};

}  // namespace

std::string acf_tcl_quote(const std::string& text)
{
    // Tcl_Merge of one element yields the canonical list element: braces or backslashes as
    // needed, and never substitutions when evaluated as a command word.
    const char* argv[] = {text.c_str()};
    std::unique_ptr<char, TCL_FREE> merged(Tcl_Merge(1, argv));
    return merged ? std::string(merged.get()) : std::string("{}");
}

std::string acf_render_assignment(const ACF_MGR_INPUT_PARAMETERS& params)
{
    std::string command = "set_global_assignment -name " + acf_tcl_quote(params.get_variable_name());
    if (!params.get_entity().empty()) command += " -entity " + acf_tcl_quote(params.get_entity());
    if (!params.get_library().empty()) command += " -library " + acf_tcl_quote(params.get_library());
    // A value that looks like an option is written after "--", which ends the options.
    const std::string& value = params.get_value_string();
    command += !value.empty() && value.front() == '-' ? " -- " : " ";
    command += acf_tcl_quote(value);
    return command;
}

std::string acf_render_settings(const std::vector<const ACF_MGR_INPUT_PARAMETERS*>& assignments)
{
    std::string text;
    for (const ACF_MGR_INPUT_PARAMETERS* params : assignments) {
        text += acf_render_assignment(*params);
        text += '\n';
    }
    return text;
}
