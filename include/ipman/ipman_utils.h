//! @file ipman_utils.h
//! @brief IPMAN_UTILS: string, tool-name, file-kind, path and parallel-setting helpers.
#pragma once

#include <string>
#include <vector>

#include <ipman/ipman_constants.h>

class ACF_MANAGER;

//! Static helpers shared by the whole module; never instantiated.
class IPMAN_UTILS {
public:
    IPMAN_UTILS() = delete;

    //! Appends the pieces of text between occurrences of the whole delimiter to tokens,
    //! without clearing it first; empty pieces only when keep_empty, and never one after a
    //! trailing delimiter. An empty delimiter leaves the text whole. Returns tokens.size().
    static int split_string(const std::string& text, const std::string& delimiter,
                            std::vector<std::string>& tokens, bool keep_empty);
    static bool ends_with(const std::string& text, const std::string& suffix);

    //! "TesselCrestPro" or "Gridwright", exactly.
    static bool is_pro_tool_string(std::string tool);
    //! "Tessel" or a pro tool string, exactly.
    static bool is_tessel_tool_string(std::string tool);

    // File kinds by the file library's extension classification.
    static bool is_tessel_file(const std::string& path);
    static bool is_gwip_file(const std::string& path);
    static bool is_vip_file(const std::string& path);
    static bool is_tessel_editable_file(const std::string& path);  //!< system or gwip file

    //! True when the wizard recorded in the legacy variation file is installed and not end of
    //! life; wizard_name always receives that wizard's (alias-resolved) name.
    static bool is_variation_file_launchable(const std::string& variation_file, std::string& wizard_name);

    //! Absolute, flattened path text: the canonical key for comparing paths.
    static std::string adjust_path(std::string path);

    // Parallel regeneration settings, as text; empty when unset.
    static std::string get_user_ini_parallel_ip_regen_enabled_setting();
    static std::string get_user_ini_num_processors_setting();  //!< lower-cased
    //! Empty when no project is open.
    static std::string get_acf_parallel_ip_regen_enabled_setting(ACF_MANAGER* project);
    static std::string get_acf_num_processors_setting(ACF_MANAGER* project);
};
