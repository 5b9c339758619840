//! @file atcl_args.cpp
//! @brief Checks the words of a command call against its option table and keeps the values;
//! reports unknown, ambiguous, misplaced, repeated, missing and extra words.
#include <atcl/atcl.h>

#include <msg/msg.h>

#include <fmt/format.h>

#include <algorithm>
#include <utility>

namespace {

bool is_help_option(uint32_t option)
{
    return option == ATCL_HELP_SHORT || option == ATCL_HELP_NORMAL || option == ATCL_HELP_LONG;
}

bool is_option_word(const std::string& word)
{
    return !word.empty() && word[0] == '-';
}

std::string quoted_names(const std::vector<std::string>& names)
{
    std::string text;
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (i > 0) text += (i + 1 == names.size()) ? " or " : ", ";
        text += "-" + names[i];
    }
    return text;
}

//! Explains why a word the resolver refused names no option of the command.
[[noreturn]] void throw_refused_option(const ATCL_CMD& cmd, const std::string& name)
{
    for (const ATCL_OPTION_ENTRY* entry : cmd.get_positional_options()) {
        if (cmd.option_name(entry->option) == name) {
            throw ATCL_USAGE_ERROR(fmt::format(
                "ERROR: \"-{}\" is not an option of {}: give the <{}> value without an option word. {}", name,
                cmd.get_name(), name, cmd.usage_line()));
        }
    }
    std::vector<std::string> beginning_with;
    if (!name.empty()) {
        std::vector<uint32_t> options = {ATCL_HELP_SHORT, ATCL_HELP_NORMAL, ATCL_HELP_LONG};
        for (const ATCL_OPTION_ENTRY* entry : cmd.get_named_options())
            options.push_back(entry->option);
        for (uint32_t option : options) {
            const std::string candidate = cmd.option_name(option);
            if (candidate.compare(0, name.size(), name) == 0) beginning_with.push_back(candidate);
        }
    }
    if (beginning_with.size() >= 2) {
        throw ATCL_USAGE_ERROR(fmt::format("ERROR: Ambiguous option \"-{}\" of {}: it could be {}.", name,
                                           cmd.get_name(), quoted_names(beginning_with)));
    }
    throw ATCL_USAGE_ERROR(fmt::format("ERROR: Unknown option \"-{}\" of {}. Type \"{} -h\" for its usage.",
                                       name, cmd.get_name(), cmd.get_name()));
}

//! The option number of an option word (without its dash), or throws.
uint32_t resolve_option_word(const ATCL_CMD& cmd, const std::string& name)
{
    const ATCL_CMD_DEFINITION& definition = cmd.get_definition();
    const int resolved = definition.resolve_option ? definition.resolve_option(name.c_str()) : 0;
    if (resolved > 0) {
        const auto option = static_cast<uint32_t>(resolved);
        if (is_help_option(option)) return option;
        const ATCL_OPTION_ENTRY* entry = cmd.find_option(option);
        if (entry && (entry->flags & ATCL_OPTION_POSITIONAL) == 0) return option;
    }
    throw_refused_option(cmd, name);
}

void check_required_given(const ATCL_CMD& cmd, const ATCL_ARGS& args)
{
    for (const ATCL_OPTION_ENTRY* entry : cmd.get_named_options()) {
        if ((entry->flags & ATCL_OPTION_OPTIONAL) == 0 && !args.is_option_specified_by_user(entry->option)) {
            throw ATCL_USAGE_ERROR(fmt::format("ERROR: Missing required option \"-{}\" of {}.",
                                               cmd.option_name(entry->option), cmd.get_name()));
        }
    }
    for (const ATCL_OPTION_ENTRY* entry : cmd.get_positional_options()) {
        if ((entry->flags & ATCL_OPTION_OPTIONAL) == 0 && !args.is_option_specified_by_user(entry->option)) {
            throw ATCL_USAGE_ERROR(fmt::format("ERROR: Missing required argument <{}> of {}.",
                                               cmd.option_name(entry->option), cmd.get_name()));
        }
    }
}

}  // namespace

uint32_t ATCL_ARGS::parse_words(const ATCL_CMD& cmd, const std::vector<std::string>& words)
{
    m_values.clear();
    m_positional_values.clear();
    uint32_t help = ATCL_NO_OPTION;
    try {
        bool options_ended = false;
        const ATCL_OPTION_ENTRY* flag_before = nullptr;  // the flag given just before this word
        for (std::size_t i = 0; i < words.size(); ++i) {
            const std::string& word = words[i];
            const ATCL_OPTION_ENTRY* previous_flag = std::exchange(flag_before, nullptr);
            if (!options_ended && word == "--") {
                options_ended = true;
                continue;
            }
            if (!options_ended && is_option_word(word)) {
                const uint32_t option = resolve_option_word(cmd, word.substr(1));
                if (is_help_option(option)) {
                    help = std::max(help, option);
                    continue;
                }
                const ATCL_OPTION_ENTRY& entry = *cmd.find_option(option);
                const std::string name = cmd.option_name(option);
                if (m_values.count(option)) {
                    throw ATCL_USAGE_ERROR(fmt::format("ERROR: Option \"-{}\" of {} is given more than once.",
                                                       name, cmd.get_name()));
                }
                if (!entry.takes_value) {
                    m_values[option] = "";
                    flag_before = &entry;
                } else if (i + 1 < words.size()) {
                    m_values[option] = words[++i];
                } else {
                    throw ATCL_USAGE_ERROR(
                        fmt::format("ERROR: Option \"-{}\" of {} needs a value.", name, cmd.get_name()));
                }
                continue;
            }
            const auto& positional = cmd.get_positional_options();
            if (m_positional_values.size() < positional.size()) {
                m_values[positional[m_positional_values.size()]->option] = word;
                m_positional_values.push_back(word);
            } else if (previous_flag) {
                throw ATCL_USAGE_ERROR(
                    fmt::format("ERROR: Option \"-{}\" of {} takes no value, but \"{}\" follows it.",
                                cmd.option_name(previous_flag->option), cmd.get_name(), word));
            } else {
                throw ATCL_USAGE_ERROR(
                    fmt::format("ERROR: Unexpected argument \"{}\" for {}.", word, cmd.get_name()));
            }
        }
        if (help == ATCL_NO_OPTION) check_required_given(cmd, *this);
    } catch (const ATCL_USAGE_ERROR&) {
        // A help option given before the fault still shows the help.
        if (help == ATCL_NO_OPTION) throw;
    }
    return help;
}

int ATCL_ARGS::process_tcl_command_arguments(const ATCL_CMD& cmd, bool& help_shown, int objc,
                                             Tcl_Obj* const objv[])
{
    Tcl_Interp* interp = atcl_get_interpreter();
    MSG_INTERNAL_ERROR_IF(interp == nullptr, "ATCL");
    return process_tcl_command_arguments(interp, cmd, help_shown, objc, objv);
}

int ATCL_ARGS::process_tcl_command_arguments(Tcl_Interp* interp, const ATCL_CMD& cmd, bool& help_shown,
                                             int objc, Tcl_Obj* const objv[])
{
    help_shown = false;
    std::vector<std::string> words;
    for (int i = 1; i < objc; ++i)
        words.emplace_back(Tcl_GetString(objv[i]));
    uint32_t help = ATCL_NO_OPTION;
    try {
        help = parse_words(cmd, words);
    } catch (const ATCL_USAGE_ERROR& error) {
        atcl_error_msg_impl(interp, error.what());
        return TCL_ERROR;
    }
    if (help == ATCL_NO_OPTION) return TCL_OK;

    help_shown = true;
    std::string text = help == ATCL_HELP_SHORT ? cmd.usage_line() : cmd.help_text(help == ATCL_HELP_LONG);
    if (!text.empty() && text.back() == '\n') text.pop_back();
    // Printed through the interpreter's puts so that scripts capturing output see it.
    const ATCL_OBJ_PTR puts_name(Tcl_NewStringObj("puts", -1));
    const ATCL_OBJ_PTR puts_text(Tcl_NewStringObj(text.c_str(), -1));
    Tcl_Obj* puts_words[] = {puts_name.get(), puts_text.get()};
    const int code = Tcl_EvalObjv(interp, 2, puts_words, TCL_EVAL_GLOBAL);
    if (code == TCL_OK) Tcl_ResetResult(interp);
    return code;
}

bool ATCL_ARGS::is_option_specified_by_user(int option) const
{
    return m_values.count(static_cast<uint32_t>(option)) != 0;
}

bool ATCL_ARGS::get_no_arg_option(int option) const
{
    return is_option_specified_by_user(option);
}

std::string ATCL_ARGS::get_one_arg_option(int option) const
{
    auto found = m_values.find(static_cast<uint32_t>(option));
    return found == m_values.end() ? std::string() : found->second;
}

std::string ATCL_ARGS::get_one_arg_pos_option(std::size_t position) const
{
    return position < m_positional_values.size() ? m_positional_values[position] : std::string();
}
