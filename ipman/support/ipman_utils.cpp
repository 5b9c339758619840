//! @file ipman_utils.cpp
//! @brief IPMAN_UTILS and the module's exported constant strings.

#include <ipman/ipman_utils.h>

#include <acf/acf.h>
#include <cfg/cfg.h>
#include <fio/fio.h>
#include <gen/gen.h>
#include <wizman/wizman.h>

const char* const IPMAN_NA_STR = "N/A";
const char* const IPMAN_UNKNOWN_STR = "Unknown";
const char* const IPMAN_TESSEL_STR = "Tessel";
const char* const IPMAN_TESSEL_CP_STR = "TesselCrestPro";
const char* const IPMAN_TESSEL_PRO_STR = "TesselPro";
const char* const IPMAN_TESSEL_SA_STR = "TesselSA";
const char* const IPMAN_TESSEL_CP_SA_STR = "TesselCrestProSA";
const char* const IPMAN_GRIDWRIGHT_STR = "Gridwright";
const char* const IPMAN_GRIDWRIGHT_SA_STR = "GridwrightSA";
const char* const IPMAN_TESSEL_SYS_STR = "<Plandor>";
const char* const IPMAN_GRIDWRIGHT_SYS_STR = "<System>";
const char* const IPMAN_KVX_STR = "kvx";
const char* const IPMAN_LAUNCH_TESSEL_STR = "Open Tessel";
const char* const IPMAN_LAUNCH_KVX_STR = "Open Kelvane";
const char* const IPMAN_AUTO_STR = "Upgrade";
const char* const IPMAN_MANUAL_STR = "Manual";
const char* const IPMAN_PASSED_STR = "Passed";
const char* const IPMAN_FAILED_STR = "Failed";
const char* const IPMAN_BAK_STR = ".BAK";
const char* const IPMAN_KORS_VERSION_SHORT_STR = "__KORS_VERSION_SHORT__";
const char* const IPMAN_OLTRAN_STR = "Oltran";
const char* const IPMAN_OLTRAN_CORP_STR = "Oltran Corporation";
const char* const IPMAN_NODRIN_STR = "Nodrin Corporation";

int IPMAN_UTILS::split_string(const std::string& text, const std::string& delimiter,
                              std::vector<std::string>& tokens, bool keep_empty)
{
    // An empty delimiter would match everywhere without advancing: keep the text whole.
    if (delimiter.empty()) {
        if (!text.empty()) tokens.push_back(text);
        return static_cast<int>(tokens.size());
    }
    std::string::size_type start = 0;
    for (auto match = text.find(delimiter); match != std::string::npos; match = text.find(delimiter, start)) {
        std::string token = text.substr(start, match - start);
        if (keep_empty || !token.empty()) tokens.push_back(std::move(token));
        start = match + delimiter.size();
    }
    if (start < text.size()) tokens.push_back(text.substr(start));
    return static_cast<int>(tokens.size());
}

bool IPMAN_UTILS::ends_with(const std::string& text, const std::string& suffix)
{
    return suffix.size() <= text.size() &&
           text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

bool IPMAN_UTILS::is_pro_tool_string(std::string tool)
{
    return tool == IPMAN_TESSEL_CP_STR || tool == IPMAN_GRIDWRIGHT_STR;
}

bool IPMAN_UTILS::is_tessel_tool_string(std::string tool)
{
    return tool == IPMAN_TESSEL_STR || is_pro_tool_string(tool);
}

namespace {

FIO_EXTENSION_TYPE extension_type_of(const std::string& path)
{
    return fio_get_extension_type_of_text(path);
}

}  // namespace

bool IPMAN_UTILS::is_tessel_file(const std::string& path)
{
    return extension_type_of(path) == FIO_EXT_TESSEL;
}

bool IPMAN_UTILS::is_gwip_file(const std::string& path)
{
    return extension_type_of(path) == FIO_EXT_GWIP;
}

bool IPMAN_UTILS::is_vip_file(const std::string& path)
{
    return extension_type_of(path) == FIO_EXT_VIP;
}

bool IPMAN_UTILS::is_tessel_editable_file(const std::string& path)
{
    const FIO_EXTENSION_TYPE type = extension_type_of(path);
    return type == FIO_EXT_TESSEL || type == FIO_EXT_GWIP;
}

bool IPMAN_UTILS::is_variation_file_launchable(const std::string& variation_file, std::string& wizard_name)
{
    WIZMAN_WIZARD_INFO_MANAGER wizards;
    wizards.read_lst_files();
    wizards.get_wizard_table_head();
    wizard_name = wizards.get_wizard_alias_name(wizman_global_extract_wizard_from_config(variation_file));
    if (wizards.is_unspecified_wizard(wizard_name) || wizman_global_is_eol(wizard_name)) return false;
    for (std::string installed = wizards.get_next_wizard_name(); !installed.empty();
         installed = wizards.get_next_wizard_name())
        if (installed == wizard_name) return true;
    return false;
}

std::string IPMAN_UTILS::adjust_path(std::string path)
{
    // Paths carry no drive part on this platform, so making them absolute and flat is all
    // the canonical form needs.
    FIO_PATH canonical(path);
    canonical.become_absolute();
    return canonical.fullpath();
}

std::string IPMAN_UTILS::get_user_ini_parallel_ip_regen_enabled_setting()
{
    return cfg_get_user_ini_value(CFG_PARALLEL_IP_GENERATION);
}

std::string IPMAN_UTILS::get_user_ini_num_processors_setting()
{
    return gen_ascii_tolower(cfg_get_user_ini_value(CFG_NUM_PARALLEL_PROCESSORS));
}

namespace {

//! Text of the project's global setting of this type; empty without an open project.
std::string project_setting_text(ACF_MANAGER* project, ACF_VARIABLE_TYPE_ENUM type)
{
    if (project == nullptr || !project->is_project_open()) return {};
    ACF_SCOPED_REVISION_READ_LOCK lock(*project->get_revision_manager());
    ACF_MGR_INPUT_PARAMETERS setting;
    setting.set_variable_type(type);
    return project->get_global_assignment_value(setting) ? setting.get_value_string() : std::string();
}

}  // namespace

std::string IPMAN_UTILS::get_acf_parallel_ip_regen_enabled_setting(ACF_MANAGER* project)
{
    return project_setting_text(project, ACF_VAR_PARALLEL_IP_GENERATION);
}

std::string IPMAN_UTILS::get_acf_num_processors_setting(ACF_MANAGER* project)
{
    return project_setting_text(project, ACF_VAR_NUM_PARALLEL_PROCESSORS);
}
