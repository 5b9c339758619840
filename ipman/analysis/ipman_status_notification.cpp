//! @file ipman_status_notification.cpp
//! @brief Composes the HTML status notification of a variation from its settled analysis.
#include "analysis/ipman_status_notification.h"

#include "support/ipman_project.h"

#include <boost/algorithm/string/join.hpp>
#include <boost/format.hpp>

#include <fio/fio.h>

#include <string>
#include <vector>

namespace {

const char* const DOUBLE_CLICK_NOTE = "Double-click to upgrade IP core. ";

const char* const INCOMPATIBLE_FAMILY_NOTE =
    "<font color=red>Device Family targeted by IP variant incompatible with project Device Family. </font>";
const char* const MIGRATE_TO_FAMILY_NOTE =
    "IP variant will be migrated to the project device family when performing automatic upgrade. ";
const char* const INCOMPATIBLE_DEVICE_NOTE =
    "<font color=red>Device targeted by IP variant incompatible with project device. </font>";
const char* const SELECT_DEVICE_NOTE = "Select a device from the 'Available Devices' list before upgrading. ";
const char* const MIGRATE_TO_DEVICE_NOTE =
    "IP variant will be migrated to the project device when performing automatic upgrade. ";
const char* const TOOL_ENV_NOTE =
    "<font color=red>IP was generated using a different software edition and must be regenerated. </font>";
const char* const FAMILY_MISMATCH_NOTE =
    "<strong>Warning</strong>: Device Family targeted by IP variant does not match project Device Family. ";

const char* const CANNOT_UPGRADE_NOTE =
    "IP variant cannot be upgraded and is not supported for selected project device family. Either select a "
    "device family supported by this IP or remove the IP from the project and parameterize a supported IP "
    "core "
    "from the IP Catalog. To view the settings of the IP parameters, open the IP variant in Vorlin Standard "
    "Edition.";
const char* const DISCONTINUED_NOTE = "Support for this IP has been discontinued. This core cannot be "
                                      "upgraded but the generated HDL files will "
                                      "continue to compile. ";
// Opens a red font and leaves it open: the user interface closes it at the end of the cell.
const char* const NO_EDITOR_NOTE =
    "<font color=red>No compatible IP parameter editor found. This may be because the IP is not installed or "
    "because the latest editor is no longer compatible with the IP variant file. ";

const char* const CONVERTED_NOTE = "IP core will be converted to use latest IP parameter editor. ";
const char* const CONVERTED_BUT_FAILED_NOTE =
    "<strong>Error</strong>: IP was converted to use latest infrastructure but failed generation. Open the "
    "converted IP in the IP parameter editor to resolve errors. ";

const char* const VIP_NOT_IN_GENERATION_DIR_NOTE =
    "<strong>Warning</strong>: VIP file not found in expected generation directory. Automatic upgrade will "
    "produce a new VIP file at '%s' relative to the TESSEL file and remove the existing VIP file from the "
    "project. If regenerating using the parameter editor, ensure that the old VIP file is replaced by the "
    "newly "
    "generated VIP. ";
const char* const VIP_NOT_COLOCATED_SILENT_NOTE =
    "<strong>Warning</strong>: VIP file not co-located with IP variant file. Automatic upgrade will produce "
    "a "
    "new VIP next to the variant file and remove the existing VIP file from the project. If regenerating "
    "using "
    "the parameter editor, ensure that the old VIP file is replaced by the newly generated VIP. ";
const char* const VIP_NOT_COLOCATED_UI_NOTE = "<strong>Warning</strong>: VIP file not co-located with IP "
                                              "variant file. Regenerating using the parameter "
                                              "editor will create a new VIP file next to the variant file. "
                                              "Ensure that the old VIP file is replaced by the "
                                              "new VIP after the IP is generated. ";

bool part_needs_choosing(DEV_PART_ENUM part)
{
    return !dstr_is_valid_dev_part_enum(part) ||
           DEV_PART_MANAGER::test_part_trait_of(part, DEV_PART_TRAIT_AUTO_PART);
}

void add_status_notes(const IPMAN_IP_INFO& record, DEV_PART_ENUM project_part,
                      std::vector<std::string>& notes)
{
    switch (record.regen_status()) {
    case IPMAN_INCOMPATIBLE_FAMILY:
        notes.emplace_back(INCOMPATIBLE_FAMILY_NOTE);
        if (record.silently_upgradable()) notes.emplace_back(MIGRATE_TO_FAMILY_NOTE);
        break;
    case IPMAN_INCOMPATIBLE_DEV_TRAIT:
        notes.emplace_back(INCOMPATIBLE_DEVICE_NOTE);
        if (part_needs_choosing(project_part)) notes.emplace_back(SELECT_DEVICE_NOTE);
        if (record.silently_upgradable()) notes.emplace_back(MIGRATE_TO_DEVICE_NOTE);
        break;
    case IPMAN_INCOMPATIBLE_TOOL_ENV:
        notes.emplace_back(TOOL_ENV_NOTE);
        break;
    case IPMAN_FAMILY_MISMATCH:
        notes.emplace_back(FAMILY_MISMATCH_NOTE);
        break;
    default:
        break;
    }
}

void add_no_upgrade_notes(const IPMAN_IP_INFO& record, std::vector<std::string>& notes)
{
    const IPMAN_IP_UPGRADE_FLOW_ENUM flow = record.upgrade_flow();
    if (flow != IPMAN_NOT_SUPPORTED && flow != IPMAN_KELVANE_NOT_INSTALLED) return;
    if (record.status_incompatible())
        notes.emplace_back(CANNOT_UPGRADE_NOTE);
    else if (record.is_eol())
        notes.emplace_back(DISCONTINUED_NOTE);
    if (flow == IPMAN_KELVANE_NOT_INSTALLED) notes.emplace_back(NO_EDITOR_NOTE);
}

//! Where an upgrade writes the system file's new IP list, relative to the system file.
std::string expected_ip_list_path(const IPMAN_IP_INFO& record, bool family_trait_test)
{
    return ipman_generated_ip_list_path("", FIO_PATH(record.ip_generation_file()).base(), family_trait_test);
}

void add_ip_list_placement_notes(const IPMAN_IP_INFO& record, bool family_trait_test,
                                 std::vector<std::string>& notes)
{
    if (record.vip_in_default_directory() != IPMAN_TERNARY_FALSE) return;
    switch (record.upgrade_flow()) {
    case IPMAN_TESSEL_UPGRADE_IP_CORES_TO_VIP:
        notes.push_back(
            (boost::format(VIP_NOT_IN_GENERATION_DIR_NOTE) % expected_ip_list_path(record, family_trait_test))
                .str());
        break;
    case IPMAN_VKELVANE_SILENT:
        notes.emplace_back(VIP_NOT_COLOCATED_SILENT_NOTE);
        break;
    case IPMAN_VKELVANE_UI_ONLY:
        notes.emplace_back(VIP_NOT_COLOCATED_UI_NOTE);
        break;
    default:
        break;
    }
}

}  // namespace

std::string ipman_compose_status_notification(const IPMAN_IP_INFO& record, bool family_trait_test,
                                              DEV_PART_ENUM project_part)
{
    std::vector<std::string> notes;
    const IPMAN_IP_UPGRADE_FLOW_ENUM flow = record.upgrade_flow();
    if (flow == IPMAN_VKELVANE_UI_ONLY || flow == IPMAN_VKELVANE_LEGACY_UI_ONLY)
        notes.emplace_back(DOUBLE_CLICK_NOTE);
    add_status_notes(record, project_part, notes);
    add_no_upgrade_notes(record, notes);
    if (flow == IPMAN_VARIATION_TO_TESSEL_SA_WITH_TESSEL || flow == IPMAN_VKELVANE_LEGACY_SILENT ||
        flow == IPMAN_VKELVANE_LEGACY_UI_ONLY)
        notes.emplace_back(CONVERTED_NOTE);
    if (record.upgrade_status() == IPMAN_UPGRADE_CONVERTED_BUT_FAILED_REGEN &&
        !record.upgrade_message().empty())
        notes.emplace_back(CONVERTED_BUT_FAILED_NOTE);
    add_ip_list_placement_notes(record, family_trait_test, notes);
    return boost::algorithm::join(notes, "<br />");
}
