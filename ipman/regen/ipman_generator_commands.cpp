//! @file ipman_generator_commands.cpp
//! @brief Generator command lines and the runs built on them: system generator upgrades,
//! generation, variation conversion, the legacy wizard, and the paths they produce.
#include "regen/ipman_generator_commands.h"

#include <acf/acf.h>
#include <acf/proj_project.h>
#include <atcl/atcl_eval.h>
#include <cfg/cfg.h>
#include <dev/dev.h>
#include <fio/fio.h>
#include <gen/gen.h>
#include <ipcatalog/olt_string.h>
#include <msg/msg.h>
#include <proc/proc.h>

#include <fmt/format.h>

#include "regen/ipman_process_runner.h"
#include "report/ipman_messages.h"
#include "support/ipman_debug.h"
#include "support/ipman_project.h"

namespace {

const std::string SEPARATOR(1, FIO_PATH::default_path_separator());

std::string installation_tool(const std::string& name)
{
    return gen_get_vorlin_path() + "gantry_builder" + SEPARATOR + "bin" + SEPARATOR + name;
}

bool wants_simulation(const IPMAN_FILESET_SET& filesets, IPMAN_REGEN_FILESET simulation_fileset)
{
    return filesets.empty() || filesets.count(simulation_fileset) != 0;
}

bool is_vhdl(IPMAN_RTL_LANGUAGE_ENUM language)
{
    return IPMAN_GENERATOR_COMMANDS::effective_language(language) == IPMAN_RTL_VHDL;
}

}  // namespace

IPMAN_RTL_LANGUAGE_ENUM IPMAN_GENERATOR_COMMANDS::effective_language(IPMAN_RTL_LANGUAGE_ENUM language)
{
    if (language != IPMAN_RTL_USE_PROJECT_SETTING) return language;
    const std::string preferred = cfg_get_user_ini_value(CFG_PREFERRED_HDL_LANGUAGE);
    if (preferred == "VHDL") return IPMAN_RTL_VHDL;
    if (preferred == "Verilog") return IPMAN_RTL_VERILOG;
    return IPMAN_RTL_USE_PROJECT_SETTING;
}

std::string IPMAN_GENERATOR_COMMANDS::deployment_command(const std::string& arguments)
{
    return thr_command_word(installation_tool("ip-deploy")) + arguments;
}

std::string IPMAN_GENERATOR_COMMANDS::system_generator_base(const std::string& option)
{
    std::string command = thr_command_word(installation_tool("tessel-generate")) + " " + option + " ";
    if (ipman_open_project() == nullptr || !PROJ_PROJECT::m_current) return command;

    const std::string& name = PROJ_PROJECT::m_current->get_project_name();
    const std::string& revision = PROJ_PROJECT::m_current->get_current_revision_name();
    if (OLT_STRING::is_not_blank(name)) command += "--vorlin-project=" + thr_command_word(name) + " ";
    if (OLT_STRING::is_not_blank(revision)) command += " --rev=" + thr_command_word(revision) + " ";
    return command;
}

std::string IPMAN_GENERATOR_COMMANDS::system_generator_command(const std::string& file,
                                                               const std::string& option)
{
    return system_generator_base(option) + thr_quote_word(file);
}

std::string IPMAN_GENERATOR_COMMANDS::legacy_wizard_command(const std::string& file)
{
    return "vkelvane -silent " + thr_quote_word(file);
}

std::string IPMAN_GENERATOR_COMMANDS::generation_options(const IPMAN_FILESET_SET& filesets,
                                                         IPMAN_RTL_LANGUAGE_ENUM language)
{
    const bool vhdl = is_vhdl(language);
    const char* hdl = vhdl ? "VHDL" : "VERILOG";
    std::string options = fmt::format("--clear-output-directory --block-symbol-file --synthesis={}", hdl);
    if (wants_simulation(filesets, vhdl ? IPMAN_FILESET_SIM_VHDL : IPMAN_FILESET_SIM_VERILOG))
        options += fmt::format(" --simulation={}", hdl);
    return options;
}

IPMAN_BATCH_GENERATION_GROUP
IPMAN_GENERATOR_COMMANDS::batch_generation_group(const IPMAN_FILESET_SET& filesets,
                                                 IPMAN_RTL_LANGUAGE_ENUM language)
{
    if (is_vhdl(language)) {
        return wants_simulation(filesets, IPMAN_FILESET_SIM_VHDL) ? IPMAN_BATCH_GEN_VHDL_WITH_SIMULATION
                                                                  : IPMAN_BATCH_GEN_VHDL_SYNTHESIS_ONLY;
    }
    return wants_simulation(filesets, IPMAN_FILESET_SIM_VERILOG) ? IPMAN_BATCH_GEN_VERILOG_WITH_SIMULATION
                                                                 : IPMAN_BATCH_GEN_VERILOG_SYNTHESIS_ONLY;
}

std::string IPMAN_GENERATOR_COMMANDS::batch_generation_options(IPMAN_BATCH_GENERATION_GROUP group)
{
    switch (group) {
    case IPMAN_BATCH_GEN_VERILOG_WITH_SIMULATION:
        return "--clear-output-directory --top-level-generation=on --block-symbol-file "
               "--synthesis=VERILOG --simulation=VERILOG";
    case IPMAN_BATCH_GEN_VERILOG_SYNTHESIS_ONLY:
        return "--block-symbol-file --top-level-generation=on --synthesis=VERILOG";
    case IPMAN_BATCH_GEN_VHDL_WITH_SIMULATION:
        return "--clear-output-directory --top-level-generation=on --synthesis=VHDL --simulation=VHDL";
    case IPMAN_BATCH_GEN_VHDL_SYNTHESIS_ONLY:
        return "--clear-output-directory --top-level-generation=on --synthesis=VHDL";
    }
    MSG_INTERNAL_ERROR::report("known batch generation group", IPMAN_MODULE_TAG, __FILE__, __LINE__);
}

int IPMAN_GENERATOR_COMMANDS::run_system_generator(const std::string& file, const std::string& option,
                                                   bool* error_flag)
{
    if (error_flag) *error_flag = false;
    if (file.empty()) return 1;
    return IPMAN_PROCESS_RUNNER::run(system_generator_command(file, option), error_flag);
}

int IPMAN_GENERATOR_COMMANDS::run_legacy_wizard_silent(const std::string& file)
{
    if (file.empty()) return 1;
    if (!atcl_host_interpreter_exists())
        MSG_INTERNAL_ERROR::report("ip_regen_interp != NULL", IPMAN_MODULE_TAG, __FILE__, __LINE__);
    // The wizard command line travels as one literal word, so no character of the path is
    // ever read as Tcl.
    std::string result;
    const int code = atcl_global_eval_words({"vexec", legacy_wizard_command(file)}, &result);
    if (code != 0 && !result.empty()) ipman_post_msg(IPMAN_MSG::EIPMAN_EXT_PROC_ERROR_MSG, {result});
    return code;
}

int IPMAN_GENERATOR_COMMANDS::run_generation(const std::string& file, const IPMAN_FILESET_SET& filesets,
                                             IPMAN_RTL_LANGUAGE_ENUM language)
{
    return run_system_generator(file, generation_options(filesets, language));
}

int IPMAN_GENERATOR_COMMANDS::upgrade_system_file_to_ip_list(const std::string& file,
                                                             const IPMAN_FILESET_SET& filesets,
                                                             std::string& ip_list,
                                                             IPMAN_RTL_LANGUAGE_ENUM language,
                                                             bool new_layout)
{
    if (const int upgraded = run_system_generator(file, "--upgrade-ip-cores")) return upgraded;
    if (const int generated = run_generation(file, filesets, language)) return generated;
    FIO_PATH path(file);
    path.flatten();
    ip_list = ipman_generated_ip_list_path(path.full_directory(), path.base(), new_layout);
    return FIO_FILE_SYSTEM::exists(ip_list) ? 0 : 1;
}

int IPMAN_GENERATOR_COMMANDS::convert_variation_to_system(const std::string& file, bool want_ip_list,
                                                          const IPMAN_FILESET_SET& filesets,
                                                          std::string& output_path,
                                                          IPMAN_RTL_LANGUAGE_ENUM language, bool new_layout)
{
    if (const int converted = run_system_generator(file, "--upgrade-variation-file")) return converted;

    // The system file replaces the variation; the caller's backup keeps the old one.
    FIO_FILE_SYSTEM::remove_if_exists(file);
    const FIO_PATH variation(file);
    const std::string system_file = variation.full_directory() + variation.base() + ".tessel";
    const int generated = run_generation(system_file, filesets, language);
    if (generated != 0) {
        if (!want_ip_list && FIO_FILE_SYSTEM::exists(system_file)) output_path = system_file;
        return generated;
    }
    output_path = want_ip_list
                      ? ipman_generated_ip_list_path(variation.full_directory(), variation.base(), new_layout)
                      : system_file;
    return FIO_FILE_SYSTEM::exists(output_path) ? 0 : 1;
}

std::string IPMAN_GENERATOR_COMMANDS::top_level_file(const std::string& file, bool new_layout,
                                                     IPMAN_RTL_LANGUAGE_ENUM language)
{
    if (file.empty()) return {};
    const FIO_PATH path(file);
    const std::string base = path.base();
    const std::string stem =
        path.full_directory() + base + SEPARATOR + (new_layout ? "synthesis" : "synth") + SEPARATOR + base;
    const bool verilog_first = effective_language(language) == IPMAN_RTL_VERILOG;
    const std::string first = stem + (verilog_first ? ".v" : ".vhd");
    const std::string second = stem + (verilog_first ? ".vhd" : ".v");
    if (FIO_FILE_SYSTEM::exists(first)) return first;
    if (FIO_FILE_SYSTEM::exists(second)) return second;
    return {};
}
