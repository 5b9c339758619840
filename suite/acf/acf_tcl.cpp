//! @file acf_tcl.cpp
//! @brief The project commands: thin bodies that parse through the command framework and
//! call the assignment manager; every failure becomes an "ERROR: " result.
#include <acf/acf_tcl.h>

#include <acf/acf.h>

#include "acf_settings_reader.h"
#include "acf_settings_writer.h"
#include "proj_project.h"

#include <atcl/atcl.h>
#include <atcl/atcl_vexec.h>
#include <fio/fio.h>

#include <fmt/format.h>

#include <stdexcept>
#include <string>
#include <utility>

namespace {

// Tools started through vexec run where the generators run: in the open project's directory.
[[maybe_unused]] const bool vexec_runs_in_the_project = [] {
    atcl_set_vexec_directory([] {
        const ACF_MANAGER* acf = ACF_MANAGER::get_acf_manager();
        return acf != nullptr && acf->is_project_open()
                   ? FIO_PATH(acf->get_project_full_path()).full_directory()
                   : std::string();
    });
    return true;
}();

//! The script vorlin_sh -t runs: what it does is the user's own doing, not a sourced file's.
std::string& top_level_script()
{
    static std::string script;
    return script;
}

//! The current directory project_open found while no project was open; project_close goes back.
std::string& directory_before_open()
{
    static std::string directory;
    return directory;
}

std::string current_directory()
{
    Tcl_Obj* cwd = Tcl_FSGetCwd(nullptr);  // handed over with a reference for the caller
    if (cwd == nullptr) return {};
    std::string directory = Tcl_GetString(cwd);
    Tcl_DecrRefCount(cwd);
    return directory;
}

//! Whether a source command is evaluating a file other than the top-level script now.
bool sourcing_a_file(Tcl_Interp* interp)
{
    Tcl_InterpState saved = Tcl_SaveInterpState(interp, TCL_OK);
    std::string script;
    if (Tcl_EvalEx(interp, "::info script", -1, TCL_EVAL_GLOBAL) == TCL_OK)
        script = Tcl_GetStringResult(interp);
    Tcl_RestoreInterpState(interp, saved);
    return !script.empty() && script != top_level_script();
}

constexpr const char* package_name = "::vorlin::project";
constexpr const char* package_version = "1.0";

//! A command that cannot do what it was asked; the text begins with "ERROR: ".
class ACF_TCL_ERROR : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

enum ACF_TCL_OPTION : uint32_t {
    ACF_OPT_PATH = 4,
    ACF_OPT_REVISION,
    ACF_OPT_NAME,
    ACF_OPT_ENTITY,
    ACF_OPT_LIBRARY,
    ACF_OPT_VALUE,
    ACF_OPT_DESIGN,
    ACF_OPT_LIST_FILE,
};

const char* option_name(int option)
{
    if (const char* help = atcl_help_option_name(option)) return help;
    switch (option) {
    case ACF_OPT_PATH:
        return "path_or_name";
    case ACF_OPT_REVISION:
        return "revision";
    case ACF_OPT_NAME:
        return "name";
    case ACF_OPT_ENTITY:
        return "entity";
    case ACF_OPT_LIBRARY:
        return "library";
    case ACF_OPT_VALUE:
        return "value";
    case ACF_OPT_DESIGN:
        return "design";
    case ACF_OPT_LIST_FILE:
        return "ip_list_file";
    default:
        return nullptr;
    }
}

constexpr ATCL_OPTION_ENTRY end_of_table{0, 0, 0, 0, nullptr, nullptr};

//! Every option word any project command takes; a command rejects those it does not.
constexpr ATCL_OPTION_ENTRY all_named_options[] = {
    {ACF_OPT_REVISION, 1, ATCL_OPTION_OPTIONAL, 0, nullptr, nullptr},
    {ACF_OPT_NAME, 1, ATCL_OPTION_OPTIONAL, 0, nullptr, nullptr},
    {ACF_OPT_ENTITY, 1, ATCL_OPTION_OPTIONAL, 0, nullptr, nullptr},
    {ACF_OPT_LIBRARY, 1, ATCL_OPTION_OPTIONAL, 0, nullptr, nullptr},
    {ACF_OPT_DESIGN, 0, ATCL_OPTION_OPTIONAL, 0, nullptr, nullptr},
    end_of_table};

//! Exact names and unique prefixes, as the module's commands take them.
int resolve_option(const char* word)
{
    return atcl_resolve_option_by_prefix(word, option_name, all_named_options);
}

constexpr ATCL_OPTION_ENTRY project_open_options[] = {
    {ACF_OPT_REVISION, 1, ATCL_OPTION_OPTIONAL, 0, nullptr, nullptr},
    {ACF_OPT_PATH, 1, ATCL_OPTION_POSITIONAL, 0, nullptr, nullptr},
    end_of_table};
constexpr ATCL_OPTION_ENTRY no_options[] = {end_of_table};
constexpr ATCL_OPTION_ENTRY set_assignment_options[] = {
    {ACF_OPT_NAME, 1, ATCL_OPTION_REQUIRED, 0, nullptr, nullptr},
    {ACF_OPT_ENTITY, 1, ATCL_OPTION_OPTIONAL, 0, nullptr, nullptr},
    {ACF_OPT_LIBRARY, 1, ATCL_OPTION_OPTIONAL, 0, nullptr, nullptr},
    {ACF_OPT_VALUE, 1, ATCL_OPTION_POSITIONAL, 0, nullptr, nullptr},
    end_of_table};
constexpr ATCL_OPTION_ENTRY get_assignment_options[] = {
    {ACF_OPT_NAME, 1, ATCL_OPTION_REQUIRED, 0, nullptr, nullptr}, end_of_table};
constexpr ATCL_OPTION_ENTRY get_all_options[] = {
    {ACF_OPT_NAME, 1, ATCL_OPTION_OPTIONAL, 0, nullptr, nullptr},
    {ACF_OPT_DESIGN, 0, ATCL_OPTION_OPTIONAL, 0, nullptr, nullptr},
    end_of_table};
constexpr ATCL_OPTION_ENTRY read_list_options[] = {
    {ACF_OPT_LIST_FILE, 1, ATCL_OPTION_POSITIONAL, 0, nullptr, nullptr}, end_of_table};

constexpr ATCL_OPTION_HELP option_help[] = {
    {ACF_OPT_PATH,
     "The project file (.vpf), a directory holding one, or a project name in the current directory."},
    {ACF_OPT_REVISION, "The revision to open; the project's active revision when left out."},
    {ACF_OPT_NAME, "The assignment name, such as VERILOG_FILE or FAMILY."},
    {ACF_OPT_ENTITY, "The entity the assignment applies to."},
    {ACF_OPT_LIBRARY, "The library of the assignment."},
    {ACF_OPT_VALUE, "The value; write -- before a value that begins with a dash."},
    {ACF_OPT_DESIGN, "Only design assignments: files, IP lists and IP_* settings."},
    {ACF_OPT_LIST_FILE, "The IP list file (.vip) to read."},
    {0, nullptr}};

ATCL_CMD make_command(const char* name, const ATCL_OPTION_ENTRY* options, const ATCL_CMD_HELP* help)
{
    return ATCL_CMD(ATCL_CMD_DEFINITION{"project", name, option_name, resolve_option, nullptr, nullptr,
                                        options, nullptr, nullptr, nullptr},
                    help);
}

ACF_MANAGER& open_manager()
{
    ACF_MANAGER* acf = ACF_MANAGER::get_acf_manager();
    if (!acf->is_project_open())
        throw ACF_TCL_ERROR("ERROR: No project is open. Open one with project_open.");
    return *acf;
}

//! Parses the call; runs the body unless help was asked for. Nothing escapes as exception.
template <typename BODY>
int run_command(Tcl_Interp* interp, const ATCL_CMD& cmd, int objc, Tcl_Obj* const objv[], BODY body)
{
    ATCL_ARGS args;
    bool help_shown = false;
    if (args.process_tcl_command_arguments(interp, cmd, help_shown, objc, objv) != TCL_OK) return TCL_ERROR;
    if (help_shown) return TCL_OK;
    try {
        Tcl_ResetResult(interp);
        body(args);
        return TCL_OK;
    } catch (const std::exception& e) {
        atcl_error_msg_impl(interp, e.what());
        return TCL_ERROR;
    }
}

void set_result(Tcl_Interp* interp, const std::string& text)
{
    Tcl_SetObjResult(interp, Tcl_NewStringObj(text.c_str(), static_cast<int>(text.size())));
}

int project_open_command(ClientData, Tcl_Interp* interp, int objc, Tcl_Obj* const objv[])
{
    static const ATCL_CMD_HELP help{
        "Opens a project and makes its directory the current directory.",
        "Any project open before is closed without writing. A project whose files "
        "cannot be read stays closed, and the project open before stays open. Revision names are "
        "plain names: no \"/\", not \".\" or \"..\", no control characters.\n\n"
        "Example:\n  project_open -rev fast designs/top.vpf",
        option_help};
    static const ATCL_CMD cmd = make_command("project_open", project_open_options, &help);
    return run_command(interp, cmd, objc, objv, [&](const ATCL_ARGS& args) {
        ACF_MANAGER* acf = ACF_MANAGER::get_acf_manager();
        const bool was_open = acf->is_project_open();
        const std::string found_directory = current_directory();
        std::string error;
        if (!acf->open_project(args.get_one_arg_option(ACF_OPT_PATH),
                               args.get_one_arg_option(ACF_OPT_REVISION), error))
            throw ACF_TCL_ERROR(error);
        const ATCL_OBJ_PTR directory(Tcl_NewStringObj(acf->get_project_full_path().c_str(), -1));
        if (Tcl_FSChdir(directory.get()) != 0) {
            acf->close_project();
            throw ACF_TCL_ERROR(fmt::format("ERROR: Cannot change to the project directory {}",
                                            acf->get_project_full_path()));
        }
        if (!was_open) directory_before_open() = found_directory;
    });
}

int project_close_command(ClientData, Tcl_Interp* interp, int objc, Tcl_Obj* const objv[])
{
    static const ATCL_CMD_HELP help{
        "Closes the open project without writing its settings.",
        "Use export_assignments first to keep changes. The current directory becomes again the one "
        "project_open found.\n\nExample:\n  export_assignments\n  project_close",
        option_help};
    static const ATCL_CMD cmd = make_command("project_close", no_options, &help);
    return run_command(interp, cmd, objc, objv, [&](const ATCL_ARGS&) {
        if (!open_manager().close_project())
            throw ACF_TCL_ERROR("ERROR: The project is in use and cannot be closed now.");
        const std::string directory = std::move(directory_before_open());
        directory_before_open().clear();
        const ATCL_OBJ_PTR path(Tcl_NewStringObj(directory.c_str(), -1));
        if (!directory.empty() && Tcl_FSChdir(path.get()) != 0)
            throw ACF_TCL_ERROR(fmt::format("ERROR: The project is closed, but the directory {} it was "
                                            "opened from cannot be entered again.",
                                            directory));
    });
}

int set_global_assignment_command(ClientData, Tcl_Interp* interp, int objc, Tcl_Obj* const objv[])
{
    static const ATCL_CMD_HELP help{
        "Adds a global assignment to the open project.",
        "Made at the prompt or by the script vorlin_sh -t runs, the assignment is permanent: "
        "export_assignments writes it to the settings file. Made while a sourced Tcl file is "
        "evaluated, it is transient: it lasts for this session and remembers that file and line. "
        "A VIP_FILE assignment reads its IP list, as one in the settings file does.\n\n"
        "Example:\n  set_global_assignment -name VERILOG_FILE rtl/top.v\n  export_assignments",
        option_help};
    static const ATCL_CMD cmd = make_command("set_global_assignment", set_assignment_options, &help);
    return run_command(interp, cmd, objc, objv, [&](const ATCL_ARGS& args) {
        ACF_MANAGER& acf = open_manager();
        const std::string name = args.get_one_arg_option(ACF_OPT_NAME);
        if (name.empty())
            throw ACF_TCL_ERROR("ERROR: The assignment name of set_global_assignment is empty.");
        ACF_MGR_INPUT_PARAMETERS params;
        params.set_variable_type(acf_variable_type_by_name(name));
        params.set_variable_name(name);
        params.set_entity(args.get_one_arg_option(ACF_OPT_ENTITY));
        params.set_library(args.get_one_arg_option(ACF_OPT_LIBRARY));
        params.set_value_string(args.get_one_arg_option(ACF_OPT_VALUE));
        if (sourcing_a_file(interp)) {
            const ACF_TCL_CALLER caller = acf_tcl_caller_location(interp);
            params.set_home_file(caller.file.empty() ? std::string()
                                                     : FIO_PATH(caller.file).become_absolute().fullpath(),
                                 caller.line);
            params.set_is_transient(true);
        }
        if (acf.add_assignment_reading_lists(params) == nullptr)
            throw ACF_TCL_ERROR(fmt::format("ERROR: Cannot add the assignment {}", name));
    });
}

//! The query of one name: its known type, or the name itself for others.
ACF_MGR_INPUT_PARAMETERS name_query(const std::string& name)
{
    ACF_MGR_INPUT_PARAMETERS params;
    params.set_variable_type(acf_variable_type_by_name(name));
    params.set_variable_name(name);
    return params;
}

int get_global_assignment_command(ClientData, Tcl_Interp* interp, int objc, Tcl_Obj* const objv[])
{
    static const ATCL_CMD_HELP help{"Returns the value of the last global assignment of a name, as written.",
                                    "Returns an empty string when the project has no such assignment.\n\n"
                                    "Example:\n  puts [get_global_assignment -name FAMILY]",
                                    option_help};
    static const ATCL_CMD cmd = make_command("get_global_assignment", get_assignment_options, &help);
    return run_command(interp, cmd, objc, objv, [&](const ATCL_ARGS& args) {
        ACF_MGR_INPUT_PARAMETERS params = name_query(args.get_one_arg_option(ACF_OPT_NAME));
        if (open_manager().get_global_assignment_value(params)) set_result(interp, params.get_value_string());
    });
}

//! One assignment as a Tcl dictionary text.
std::string assignment_dictionary(const ACF_ASSIGNMENT& a)
{
    const char* origin = a.get_argument_value(ACF_ARG_ORIGIN);
    const std::pair<const char*, std::string> fields[] = {{"name", a.get_name()},
                                                          {"value", a.get_unmodified_value()},
                                                          {"resolved", a.get_value()},
                                                          {"entity", a.get_entity_name()},
                                                          {"library", a.get_library_name()},
                                                          {"origin", origin ? origin : ""},
                                                          {"file", a.get_acf_file_name()},
                                                          {"line", std::to_string(a.get_acf_line_number())},
                                                          {"transient", a.is_transient() ? "1" : "0"}};
    std::string text;
    for (const auto& [key, value] : fields)
        text += fmt::format("{}{} {}", text.empty() ? "" : " ", key, acf_tcl_quote(value));
    return text;
}

int get_all_global_assignments_command(ClientData, Tcl_Interp* interp, int objc, Tcl_Obj* const objv[])
{
    static const ATCL_CMD_HELP help{
        "Returns a collection of the open project's global assignments in settings-file order.",
        "Each element is a dictionary with the keys name, value (as written), resolved, entity, library, "
        "origin (the IP list link that brought it in), file, line and transient. IP lists follow the "
        "assignment that names them.\n\n"
        "Example:\n  foreach_in_collection a [get_all_global_assignments -design] {\n"
        "      puts [dict get $a resolved]\n  }",
        option_help};
    static const ATCL_CMD cmd = make_command("get_all_global_assignments", get_all_options, &help);
    return run_command(interp, cmd, objc, objv, [&](const ATCL_ARGS& args) {
        ACF_MANAGER& acf = open_manager();
        const bool named = args.is_option_specified_by_user(ACF_OPT_NAME);
        const ACF_MGR_INPUT_PARAMETERS query = name_query(args.get_one_arg_option(ACF_OPT_NAME));
        ACF_ASSIGNMENT_LIST list;
        acf.reset_filters();
        if (args.get_no_arg_option(ACF_OPT_DESIGN)) acf.set_file_category_filter(ACF_FILE_CATEGORY_DESIGN);
        acf.get_revision_manager()->get_global_assignment_coll(named ? &query : nullptr, list, true);
        acf.reset_filters();
        std::vector<std::string> elements;
        for (const ACF_ASSIGNMENT* a : list)
            elements.push_back(assignment_dictionary(*a));
        // The collection goes when the script lets go of its handle.
        Tcl_SetObjResult(interp, atcl_new_collection_obj(std::move(elements)));
    });
}

int export_assignments_command(ClientData, Tcl_Interp* interp, int objc, Tcl_Obj* const objv[])
{
    static const ATCL_CMD_HELP help{
        "Writes the open revision's settings file from its assignments.",
        "Session assignments made by set_global_assignment and the content of IP list files are not "
        "written. The file is replaced atomically, and left untouched when nothing changed.\n\n"
        "Example:\n  set_global_assignment -name FAMILY {Family A}\n  export_assignments",
        option_help};
    static const ATCL_CMD cmd = make_command("export_assignments", no_options, &help);
    return run_command(interp, cmd, objc, objv, [&](const ATCL_ARGS&) {
        ACF_MANAGER& acf = open_manager();
        if (!acf.commit()) throw ACF_TCL_ERROR(acf.get_last_error());
    });
}

int read_ip_list_file_command(ClientData, Tcl_Interp* interp, int objc, Tcl_Obj* const objv[])
{
    static const ATCL_CMD_HELP help{
        "Returns the assignments of an IP list file and of the lists it names, without a project.",
        "The result is a Tcl list of dictionaries with the keys of get_all_global_assignments. Relative "
        "values resolve against the open project's directory, else against the list's directory. The "
        "list is evaluated in a safe interpreter, as when a project reads it.\n\n"
        "Example:\n  foreach a [read_ip_list_file ip/fifo/fifo.vip] {puts [dict get $a resolved]}",
        option_help};
    static const ATCL_CMD cmd = make_command("read_ip_list_file", read_list_options, &help);
    return run_command(interp, cmd, objc, objv, [&](const ATCL_ARGS& args) {
        const FIO_PATH list = FIO_PATH(args.get_one_arg_option(ACF_OPT_LIST_FILE)).become_absolute();
        const std::string base = PROJ_PROJECT::m_current ? PROJ_PROJECT::m_current->get_project_directory()
                                                         : list.full_directory();
        ACF_SETTINGS_READER reader(base);
        try {
            reader.read_ip_list_file(list.fullpath());
        } catch (const ACF_READ_ERROR& e) {
            throw ACF_TCL_ERROR(e.what());
        }
        Tcl_Obj* result = Tcl_NewListObj(0, nullptr);
        for (const ACF_MGR_INPUT_PARAMETERS& params : reader.assignments()) {
            const std::string text = assignment_dictionary(ACF_ASSIGNMENT(params, base));
            Tcl_ListObjAppendElement(nullptr, result,
                                     Tcl_NewStringObj(text.c_str(), static_cast<int>(text.size())));
        }
        Tcl_SetObjResult(interp, result);
    });
}

constexpr ATCL_CALLBACK project_commands[] = {
    {project_open_command, "project_open", nullptr},
    {project_close_command, "project_close", nullptr},
    {set_global_assignment_command, "set_global_assignment", nullptr},
    {get_global_assignment_command, "get_global_assignment", nullptr},
    {get_all_global_assignments_command, "get_all_global_assignments", nullptr},
    {export_assignments_command, "export_assignments", nullptr},
    {read_ip_list_file_command, "read_ip_list_file", nullptr},
    {nullptr, nullptr, nullptr}};

}  // namespace

void acf_tcl_set_top_level_script(const std::string& path)
{
    top_level_script() = path;
}

int acf_tcl_init(Tcl_Interp* interp)
{
    atcl_begin_package_setup(package_name, package_version, "ACF", "acf", false);
    atcl_register_callbacks(project_commands);
    if (atcl_end_package_setup(interp) != TCL_OK) return TCL_ERROR;
    // The suite's scripts call the project commands unqualified.
    const std::string import =
        fmt::format("namespace eval :: {{namespace import -force {}::*}}", package_name);
    if (Tcl_EvalEx(interp, import.c_str(), -1, TCL_EVAL_GLOBAL) != TCL_OK) return TCL_ERROR;
    return Tcl_PkgProvideEx(interp, package_name, package_version, nullptr);
}
