//! @file ipman_tcl_args_auto.cpp
//! @brief The ::vorlin::ipman command table: option names, tables, abbreviations, resolvers,
//! definitions, command objects, and registration with the Tcl command framework.
#include "tcl/ipman_tcl_args_auto.h"

#include "support/ipman_debug.h"

#include <acf/acf_tcl.h>

#include <msg/msg.h>

#include <dlfcn.h>

#include <array>
#include <cstring>
#include <memory>
#include <vector>

const char* const IPMAN_AUTO_ARGUMENT_NAMES[16] = {
    "",         "h",           "help",     "long_help",    "all",      "entity",
    "field",    "files",       "id",       "ip_file_path", "new_file", "new_version",
    "old_file", "old_version", "optional", "required",
};

namespace {

constexpr uint32_t VALUE = 1;
constexpr uint32_t FLAG = 0;
constexpr uint32_t REQUIRED = ATCL_OPTION_REQUIRED;
constexpr uint32_t OPTIONAL = ATCL_OPTION_OPTIONAL;
constexpr uint32_t POSITIONAL = ATCL_OPTION_POSITIONAL;

#define IPMAN_OPTION(option, takes_value, flags)                                                             \
    {                                                                                                        \
        option, takes_value, flags, 0, nullptr, nullptr                                                      \
    }
#define IPMAN_OPTIONS_END                                                                                    \
    {                                                                                                        \
        0, 0, 0, 0, nullptr, nullptr                                                                         \
    }

const ATCL_OPTION_ENTRY regenerate_ip_options[] = {
    IPMAN_OPTION(IPMAN_AUTO_ARG_ALL, FLAG, OPTIONAL),
    IPMAN_OPTION(IPMAN_AUTO_ARG_FILES, VALUE, OPTIONAL),
    IPMAN_OPTION(IPMAN_AUTO_ARG_OPTIONAL, FLAG, OPTIONAL),
    IPMAN_OPTION(IPMAN_AUTO_ARG_REQUIRED, FLAG, OPTIONAL),
    IPMAN_OPTIONS_END,
};
const ATCL_OPTION_ENTRY list_ip_cores_options[] = {
    IPMAN_OPTION(IPMAN_AUTO_ARG_ALL, FLAG, OPTIONAL),
    IPMAN_OPTION(IPMAN_AUTO_ARG_OPTIONAL, FLAG, OPTIONAL),
    IPMAN_OPTION(IPMAN_AUTO_ARG_REQUIRED, FLAG, OPTIONAL),
    IPMAN_OPTIONS_END,
};
const ATCL_OPTION_ENTRY no_options[] = {
    IPMAN_OPTIONS_END,
};
const ATCL_OPTION_ENTRY find_ip_info_options[] = {
    IPMAN_OPTION(IPMAN_AUTO_ARG_ENTITY, VALUE, REQUIRED),
    IPMAN_OPTIONS_END,
};
const ATCL_OPTION_ENTRY get_ip_info_field_options[] = {
    IPMAN_OPTION(IPMAN_AUTO_ARG_FIELD, VALUE, REQUIRED),
    IPMAN_OPTION(IPMAN_AUTO_ARG_ID, VALUE, REQUIRED),
    IPMAN_OPTIONS_END,
};
const ATCL_OPTION_ENTRY port_diff_add_ip_options[] = {
    IPMAN_OPTION(IPMAN_AUTO_ARG_NEW_FILE, VALUE, REQUIRED),
    IPMAN_OPTION(IPMAN_AUTO_ARG_NEW_VERSION, VALUE, OPTIONAL),
    IPMAN_OPTION(IPMAN_AUTO_ARG_OLD_FILE, VALUE, REQUIRED),
    IPMAN_OPTION(IPMAN_AUTO_ARG_OLD_VERSION, VALUE, OPTIONAL),
    IPMAN_OPTIONS_END,
};
const ATCL_OPTION_ENTRY get_generated_ip_files_options[] = {
    IPMAN_OPTION(IPMAN_AUTO_ARG_IP_FILE_PATH, VALUE, POSITIONAL),
    IPMAN_OPTIONS_END,
};

#undef IPMAN_OPTION
#undef IPMAN_OPTIONS_END

//! What the package knows of one command besides its definition.
struct COMMAND_INFO {
    const char* name;
    const ATCL_OPTION_ENTRY* options;  //!< null: no definition, words taken raw
    bool needs_project;
    const char* summary;
};

const COMMAND_INFO command_info[IPMAN_TCL_CMD_COUNT] = {
    {"regenerate_ip", regenerate_ip_options, true,
     "Upgrades the IP variations of the project: all of them, the optional or the required ones, "
     "or the listed files."},
    {"list_ip_cores", list_ip_cores_options, true,
     "Returns the upgrade candidates of the project as a Tcl list."},
    {"load_ip_upgrade_table", no_options, true,
     "Loads the top-level IP variations of the project into the IP upgrade table and returns their number."},
    {"unload_ip_upgrade_table", no_options, false, "Drops the IP upgrade table."},
    {"get_ip_list", no_options, true, "Returns the collection over the IP upgrade table."},
    {"find_ip_info", find_ip_info_options, false,
     "Returns the IP info ID of the first table entry with the given entity."},
    {"get_ip_info_field", get_ip_info_field_options, true,
     "Returns one field of one IP upgrade table entry."},
    {"port_diff_clear", no_options, true, "Clears the collected port differences."},
    {"port_diff_add_ip", port_diff_add_ip_options, true, "Adds one old/new IP pair to the port difference."},
    {"port_diff_gen_report", no_options, true, "Writes the port comparison into the IP Upgrade report."},
    {"get_generated_ip_files", get_generated_ip_files_options, false,
     "Returns the files generated for one IP file."},
    {"ip_deploy", nullptr, false, "Runs the ip-deploy generator with the given words."},
};

const ATCL_OPTION_HELP option_descriptions[] = {
    {IPMAN_AUTO_ARG_ALL, "Selects all IP variations."},
    {IPMAN_AUTO_ARG_ENTITY, "Entity name to look up."},
    {IPMAN_AUTO_ARG_FIELD,
     "Name of an IP info field: entity, library, tool_name, version, tool_env, supported_families, "
     "compatibility, eol, ip_generation_file, ip_source_file, upgrade_status, upgrade_note, "
     "regen_language, or instance_paths (the design's hierarchy paths of the IP, after elaborate_design)."},
    {IPMAN_AUTO_ARG_FILES, "List of IP files to upgrade."},
    {IPMAN_AUTO_ARG_ID, "IP info ID."},
    {IPMAN_AUTO_ARG_IP_FILE_PATH, "Path of an IP file."},
    {IPMAN_AUTO_ARG_NEW_FILE, "File of the new IP version."},
    {IPMAN_AUTO_ARG_NEW_VERSION, "Version label of the new IP."},
    {IPMAN_AUTO_ARG_OLD_FILE, "File of the old IP version."},
    {IPMAN_AUTO_ARG_OLD_VERSION, "Version label of the old IP."},
    {IPMAN_AUTO_ARG_OPTIONAL, "Selects the variations whose upgrade is optional."},
    {IPMAN_AUTO_ARG_REQUIRED, "Selects the variations whose upgrade is required."},
    {0, nullptr},
};

bool is_help_option(uint32_t option)
{
    return option >= IPMAN_AUTO_ARG_H && option <= IPMAN_AUTO_ARG_LONG_HELP;
}

bool is_named_option_of(IPMAN_TCL_CMD_ENUM command, uint32_t option)
{
    for (const ATCL_OPTION_ENTRY* entry = command_info[command].options; entry && entry->option; ++entry) {
        if (entry->option == option) return (entry->flags & ATCL_OPTION_POSITIONAL) == 0;
    }
    return false;
}

//! The help names and the command's named options, which abbreviations are taken from.
std::vector<uint32_t> abbreviable_options(IPMAN_TCL_CMD_ENUM command)
{
    std::vector<uint32_t> options = {IPMAN_AUTO_ARG_H, IPMAN_AUTO_ARG_HELP, IPMAN_AUTO_ARG_LONG_HELP};
    for (const ATCL_OPTION_ENTRY* entry = command_info[command].options; entry && entry->option; ++entry) {
        if ((entry->flags & ATCL_OPTION_POSITIONAL) == 0) options.push_back(entry->option);
    }
    return options;
}

std::map<std::string, IPMAN_AUTO_ARGUMENT_ENUM> build_abbreviations(IPMAN_TCL_CMD_ENUM command)
{
    const std::vector<uint32_t> options = abbreviable_options(command);
    auto begins_another = [&](const std::string& prefix, uint32_t owner) {
        for (uint32_t other : options) {
            if (other != owner &&
                std::string(IPMAN_AUTO_ARGUMENT_NAMES[other]).compare(0, prefix.size(), prefix) == 0)
                return true;
        }
        return false;
    };
    std::map<std::string, IPMAN_AUTO_ARGUMENT_ENUM> abbreviations;
    for (uint32_t option : options) {
        const std::string name = IPMAN_AUTO_ARGUMENT_NAMES[option];
        for (std::size_t length = 1; length < name.size(); ++length) {
            const std::string prefix = name.substr(0, length);
            if (!begins_another(prefix, option))
                abbreviations[prefix] = static_cast<IPMAN_AUTO_ARGUMENT_ENUM>(option);
        }
    }
    return abbreviations;
}

template <IPMAN_TCL_CMD_ENUM command>
int resolve_option_of(const char* word)
{
    return ipman_resolve_option(command, word);
}

template <IPMAN_TCL_CMD_ENUM command>
ATCL_CMD_DEFINITION definition_of()
{
    return {"ipman",
            command_info[command].name,
            ipman_get_option_name,
            resolve_option_of<command>,
            nullptr,
            nullptr,
            command_info[command].options,
            nullptr,
            nullptr,
            nullptr};
}

const ATCL_CMD_DEFINITION command_definitions[IPMAN_TCL_CMD_COUNT - 1] = {
    definition_of<IPMAN_TCL_REGENERATE_IP>(),
    definition_of<IPMAN_TCL_LIST_IP_CORES>(),
    definition_of<IPMAN_TCL_LOAD_IP_UPGRADE_TABLE>(),
    definition_of<IPMAN_TCL_UNLOAD_IP_UPGRADE_TABLE>(),
    definition_of<IPMAN_TCL_GET_IP_LIST>(),
    definition_of<IPMAN_TCL_FIND_IP_INFO>(),
    definition_of<IPMAN_TCL_GET_IP_INFO_FIELD>(),
    definition_of<IPMAN_TCL_PORT_DIFF_CLEAR>(),
    definition_of<IPMAN_TCL_PORT_DIFF_ADD_IP>(),
    definition_of<IPMAN_TCL_PORT_DIFF_GEN_REPORT>(),
    definition_of<IPMAN_TCL_GET_GENERATED_IP_FILES>(),
};

const ATCL_CALLBACK command_table[] = {
    {ipman_tcl_regenerate_ip, "regenerate_ip", nullptr},
    {ipman_tcl_list_ip_cores, "list_ip_cores", nullptr},
    {ipman_tcl_load_ip_upgrade_table, "load_ip_upgrade_table", nullptr},
    {ipman_tcl_unload_ip_upgrade_table, "unload_ip_upgrade_table", nullptr},
    {ipman_tcl_get_ip_list, "get_ip_list", nullptr},
    {ipman_tcl_find_ip_info, "find_ip_info", nullptr},
    {ipman_tcl_get_ip_info_field, "get_ip_info_field", nullptr},
    {ipman_tcl_port_diff_clear, "port_diff_clear", nullptr},
    {ipman_tcl_port_diff_add_ip, "port_diff_add_ip", nullptr},
    {ipman_tcl_port_diff_gen_report, "port_diff_gen_report", nullptr},
    {ipman_tcl_get_generated_ip_files, "get_generated_ip_files", nullptr},
    {ipman_tcl_ip_deploy, "ip_deploy", nullptr},
    {nullptr, nullptr, nullptr},
};

//! Tcl's unload may close the library while interpreters still hold the framework's
//! commands and deletion callbacks; keeping it mapped makes unload safe.
void keep_library_loaded()
{
    Dl_info info;
    if (dladdr(reinterpret_cast<void*>(&Ipman_Init), &info) && info.dli_fname) {
        dlopen(info.dli_fname, RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
    }
}

}  // namespace

const char* ipman_get_option_name(int option)
{
    if (option < IPMAN_AUTO_ARG_H || option > IPMAN_AUTO_ARG_REQUIRED) {
        MSG_INTERNAL_ERROR::report("The calling function has passed an illegal IPMAN_AUTO_ARGUMENT_ENUM",
                                   IPMAN_MODULE_TAG, __FILE__, __LINE__);
    }
    return IPMAN_AUTO_ARGUMENT_NAMES[option];
}

const std::map<std::string, IPMAN_AUTO_ARGUMENT_ENUM>& ipman_get_abbreviations(IPMAN_TCL_CMD_ENUM command)
{
    static const auto tables = [] {
        std::array<std::map<std::string, IPMAN_AUTO_ARGUMENT_ENUM>, IPMAN_TCL_CMD_COUNT> built;
        for (int command = 0; command < IPMAN_TCL_CMD_COUNT; ++command) {
            built[command] = build_abbreviations(static_cast<IPMAN_TCL_CMD_ENUM>(command));
        }
        return built;
    }();
    return tables.at(command);
}

IPMAN_AUTO_ARGUMENT_ENUM ipman_resolve_option(IPMAN_TCL_CMD_ENUM command, const char* word)
{
    if (!word || !*word) return IPMAN_AUTO_ARG_EMPTY_WORD;
    static const auto full_names = [] {
        std::map<std::string, IPMAN_AUTO_ARGUMENT_ENUM> names;
        for (int option = IPMAN_AUTO_ARG_H; option <= IPMAN_AUTO_ARG_REQUIRED; ++option) {
            names[IPMAN_AUTO_ARGUMENT_NAMES[option]] = static_cast<IPMAN_AUTO_ARGUMENT_ENUM>(option);
        }
        return names;
    }();
    auto full = full_names.find(word);
    if (full != full_names.end() &&
        (is_help_option(full->second) || is_named_option_of(command, full->second))) {
        return full->second;
    }
    const auto& abbreviations = ipman_get_abbreviations(command);
    auto abbreviation = abbreviations.find(word);
    return abbreviation == abbreviations.end() ? IPMAN_AUTO_ARG_NONE : abbreviation->second;
}

const char* ipman_get_command_name(IPMAN_TCL_CMD_ENUM command)
{
    return command_info[command].name;
}

const ATCL_CMD_DEFINITION* ipman_get_command_definition(IPMAN_TCL_CMD_ENUM command)
{
    return command < IPMAN_TCL_IP_DEPLOY ? &command_definitions[command] : nullptr;
}

bool ipman_command_needs_project(IPMAN_TCL_CMD_ENUM command)
{
    return command_info[command].needs_project;
}

const ATCL_CMD& ipman_get_command_object(IPMAN_TCL_CMD_ENUM command)
{
    static std::array<std::unique_ptr<ATCL_CMD>, IPMAN_TCL_CMD_COUNT> objects;
    static std::array<ATCL_CMD_HELP, IPMAN_TCL_CMD_COUNT> help_texts;
    const ATCL_CMD_DEFINITION* definition = ipman_get_command_definition(command);
    MSG_INTERNAL_ERROR_IF(definition == nullptr, IPMAN_MODULE_TAG);
    if (!objects[command]) {
        help_texts[command] = ATCL_CMD_HELP{command_info[command].summary, nullptr, option_descriptions};
        objects[command] = std::make_unique<ATCL_CMD>(*definition, &help_texts[command]);
    }
    return *objects[command];
}

const ATCL_CALLBACK* ipman_get_command_table()
{
    return command_table;
}

int ipman_register_tcl_in(Tcl_Interp* interp)
{
    atcl_begin_package_setup(IPMAN_TCL_PACKAGE_NAME, IPMAN_TCL_PACKAGE_VERSION, nullptr, nullptr, false);
    atcl_register_callbacks(command_table);
    atcl_end_package_setup(interp);
    if (!interp) {
        MSG_INTERNAL_ERROR::report("A Tcl interpreter must exist before registering ::vorlin::ipman!",
                                   IPMAN_MODULE_TAG, __FILE__, __LINE__);
    }
    return Tcl_PkgProvideEx(interp, IPMAN_TCL_PACKAGE_NAME, IPMAN_TCL_PACKAGE_VERSION, nullptr);
}

int ipman_unregister_tcl_from(Tcl_Interp* interp)
{
    MSG_INTERNAL_ERROR_IF(interp == nullptr, IPMAN_MODULE_TAG);
    atcl_begin_package_setup(IPMAN_TCL_PACKAGE_NAME, IPMAN_TCL_PACKAGE_VERSION, "kelv_ipman", "ipman_ipman",
                             true);
    const int code = atcl_unregister_package(interp);
    atcl_end_package_setup(interp);
    return code;
}

extern "C" int Ipman_Init(Tcl_Interp* interp)
{
    keep_library_loaded();
    if (!atcl_get_interpreter() && interp) atcl_set_interpreter(interp);
    // Scripts use the module's collections and the project commands together, so every
    // interpreter that loads the module gets both, not only the first.
    if (interp && Tcl_FindCommand(interp, "::foreach_in_collection", nullptr, 0) == nullptr)
        atcl_register_collection_commands(interp);
    if (interp && Tcl_PkgPresent(interp, "::vorlin::project", nullptr, 0) == nullptr &&
        acf_tcl_init(interp) != TCL_OK)
        return TCL_ERROR;
    // The interpreter Tcl loads the package into is the one that must get the commands.
    ipman_register_tcl_in(interp ? interp : atcl_get_interpreter());
    return 0;
}

extern "C" int Ipman_Unload(Tcl_Interp* interp, int /*flags*/)
{
    ipman_unregister_tcl_from(interp ? interp : atcl_get_interpreter());
    return 0;
}

extern "C" int ipman_ipman_register_tcl()
{
    return ipman_register_tcl_in(atcl_get_interpreter());
}

extern "C" int ipman_ipman_unregister_tcl()
{
    return ipman_unregister_tcl_from(atcl_get_interpreter());
}
