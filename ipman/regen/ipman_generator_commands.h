//! @file ipman_generator_commands.h
//! @brief Command lines of the external generators (system generator, deployment tool,
//! legacy wizard), the runs built on them, and the paths a run is expected to produce.
#pragma once

#include <set>
#include <string>

#include <dev/dev_types.h>
#include <ipman/ipman_ip_info.h>

using IPMAN_FILESET_SET = std::set<IPMAN_REGEN_FILESET>;

//! Groups of a batch generation, each run with its own option string, in run order.
enum IPMAN_BATCH_GENERATION_GROUP : int {
    IPMAN_BATCH_GEN_VERILOG_WITH_SIMULATION = 1,
    IPMAN_BATCH_GEN_VERILOG_SYNTHESIS_ONLY = 2,
    IPMAN_BATCH_GEN_VHDL_WITH_SIMULATION = 3,
    IPMAN_BATCH_GEN_VHDL_SYNTHESIS_ONLY = 4,
};

//! Command lines and generator runs; never instantiated. Runs go through
//! IPMAN_PROCESS_RUNNER, except the legacy wizard, which runs through the shell's `vexec`.
class IPMAN_GENERATOR_COMMANDS {
public:
    IPMAN_GENERATOR_COMMANDS() = delete;

    //! Language 0 becomes the user's preferred HDL language ("VHDL" or "Verilog", exactly),
    //! or stays 0 without a usable preference; other languages are kept.
    static IPMAN_RTL_LANGUAGE_ENUM effective_language(IPMAN_RTL_LANGUAGE_ENUM language);

    //! The deployment tool's path followed directly by arguments (which bring their own
    //! leading space).
    static std::string deployment_command(const std::string& arguments);
    //! "<tool path>tessel-generate OPTION " then, for an open project, "--vorlin-project=P "
    //! and " --rev=R " for a non-blank name and revision.
    static std::string system_generator_base(const std::string& option);
    //! The base for option followed by the quoted file.
    static std::string system_generator_command(const std::string& file, const std::string& option);
    //! The command the legacy wizard is started with: vkelvane -silent "FILE".
    static std::string legacy_wizard_command(const std::string& file);
    //! "--clear-output-directory --block-symbol-file --synthesis=L" with " --simulation=L"
    //! when the filesets are empty or hold the language's simulation fileset.
    static std::string generation_options(const IPMAN_FILESET_SET& filesets,
                                          IPMAN_RTL_LANGUAGE_ENUM language);
    //! The batch generation group of a variation (language resolved first).
    static IPMAN_BATCH_GENERATION_GROUP batch_generation_group(const IPMAN_FILESET_SET& filesets,
                                                               IPMAN_RTL_LANGUAGE_ENUM language);
    static std::string batch_generation_options(IPMAN_BATCH_GENERATION_GROUP group);

    //! Runs the system generator with option on file; 1 without running for an empty file.
    //! error_flag as for IPMAN_PROCESS_RUNNER::run.
    static int run_system_generator(const std::string& file, const std::string& option,
                                    bool* error_flag = nullptr);
    //! Runs the legacy wizard silently on file through `vexec` in the host interpreter; the
    //! file stays one literal word whatever it contains. Answers the Tcl completion code
    //! (0 success); 1 for an empty file.
    static int run_legacy_wizard_silent(const std::string& file);
    //! Generates the system file's HDL and IP list.
    static int run_generation(const std::string& file, const IPMAN_FILESET_SET& filesets,
                              IPMAN_RTL_LANGUAGE_ENUM language);
    //! Upgrades the system file's cores, generates it, and requires its IP list, whose path
    //! goes to ip_list_path. 0 success, 1 failure.
    static int upgrade_system_file_to_ip_list(const std::string& file, const IPMAN_FILESET_SET& filesets,
                                              std::string& ip_list_path, IPMAN_RTL_LANGUAGE_ENUM language,
                                              bool new_layout);
    //! Converts a legacy variation file into a standalone system file beside it (the
    //! variation file is deleted), generates it, and requires the output: the IP list with
    //! want_ip_list, else the new system file; its path goes to output_path. 0 success.
    static int convert_variation_to_system(const std::string& file, bool want_ip_list,
                                           const IPMAN_FILESET_SET& filesets, std::string& output_path,
                                           IPMAN_RTL_LANGUAGE_ENUM language, bool new_layout);

    //! The generated top-level HDL file of a system file that exists, the language's own
    //! extension tried first; empty when none exists or file is empty.
    static std::string top_level_file(const std::string& file, bool new_layout,
                                      IPMAN_RTL_LANGUAGE_ENUM language);
};
