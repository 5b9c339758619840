//! @file ipman_upgrade_analysis.cpp
//! @brief The upgrade analyser: age, end of life, notes, status, flow, migration, pending
//! attempt and catalog sets of one IP variation record.
#include "analysis/ipman_upgrade_analysis.h"

#include <algorithm>

#include <fmt/format.h>

#include <fio/fio.h>
#include <msg/msg.h>
#include <ver/ver.h>
#include <wizman/wizman.h>

#include <ipman/ipman_utils.h>

#include "analysis/ipman_analysis_services.h"
#include "analysis/ipman_status_notification.h"
#include "discovery/ipman_legacy_cores.h"
#include "support/ipman_debug.h"

namespace {

// Texts, not pointers: every record asks for them.
const std::string DEVICE_FAMILY_BLOCKING_SETTING = "IP_UPGRADE_DEVICE_FAMILY_BLOCKING";
const std::string TOOL_ENV_BLOCKING_SETTING = "IP_UPGRADE_TOOL_ENV_BLOCKING";

bool contains_family(const std::vector<DEV_FAMILY_ENUM>& families, DEV_FAMILY_ENUM family)
{
    return std::find(families.begin(), families.end(), family) != families.end();
}

//! The process-wide legacy wizard information; its lists are read on first use.
const WIZMAN_WIZARD_INFO_MANAGER& installed_wizards()
{
    static const WIZMAN_WIZARD_INFO_MANAGER wizards = [] {
        WIZMAN_WIZARD_INFO_MANAGER manager;
        manager.read_lst_files();
        return manager;
    }();
    return wizards;
}

bool is_wizard_installed(const std::string& name)
{
    if (name.empty()) return false;
    const WIZMAN_WIZARD_INFO_MANAGER& wizards = installed_wizards();
    const std::string wizard = wizards.get_wizard_alias_name(name);
    return !wizards.is_unspecified_wizard(wizard) && !wizards.is_eol_wizard(wizard) &&
           wizards.is_installed_wizard(wizard);
}

//! What differs between the flow choice of a full analysis and the flow step alone.
struct FLOW_CHOICE_INPUTS {
    bool hdl_generation_file;
    bool family_trait_test;
    const IPCATALOG_CARD* catalog_card;
    bool check_wizard_installed;
    //! The flow left by every stop after the end-of-life test.
    IPMAN_IP_UPGRADE_FLOW_ENUM fallback_flow;
};

IPMAN_IP_UPGRADE_FLOW_ENUM choose_upgrade_flow(const IPMAN_IP_INFO& record, IPMAN_ANALYSIS_SERVICES& services,
                                               const FLOW_CHOICE_INPUTS& inputs)
{
    if (record.regen_status() == IPMAN_ENCRYPTED || record.regen_status() == IPMAN_COMPATIBLE)
        return IPMAN_NO_UPGRADE;
    if (record.is_eol()) return IPMAN_NOT_SUPPORTED;
    // Every record passes here: its file texts are compared in place, not copied.
    const std::string& generation_file = ipman_text_of(record.shared_ip_generation_file());
    if (IPMAN_UTILS::is_tessel_editable_file(generation_file))
        return ipman_text_of(record.shared_source_file()) == generation_file
                   ? IPMAN_TESSEL_UPGRADE_IP_CORES
                   : IPMAN_TESSEL_UPGRADE_IP_CORES_TO_VIP;
    if (!inputs.hdl_generation_file) return inputs.fallback_flow;
    if (inputs.check_wizard_installed && !inputs.catalog_card && !is_wizard_installed(record.display_name()))
        return IPMAN_KELVANE_NOT_INSTALLED;
    if (inputs.family_trait_test)
        return services.supports_cmd_upgrade(record.tool_name()) ? IPMAN_VKELVANE_SILENT
                                                                 : IPMAN_VKELVANE_UI_ONLY;
    if (services.is_legacy_core(record))
        return is_legacy_silent_core(record.tool_name()) ? IPMAN_VKELVANE_LEGACY_SILENT
                                                         : IPMAN_VKELVANE_LEGACY_UI_ONLY;
    if (services.check_tessel_conversion(record, inputs.catalog_card))
        return IPMAN_VARIATION_TO_TESSEL_SA_WITH_TESSEL;
    return inputs.fallback_flow;
}

}  // namespace

const char* const IPMAN_REQUIRED_UPGRADE_MARKER = "<psinvalid>";
const char* const IPMAN_OPTIONAL_UPGRADE_MARKER = "<pswarning>";

bool ipman_is_hdl_generation_file(const std::string& ip_generation_file)
{
    if (ip_generation_file.empty()) return false;
    const FIO_EXTENSION_TYPE type = fio_get_extension_type_of_text(ip_generation_file);
    return type == FIO_EXT_VERILOG || type == FIO_EXT_VHDL;
}

IPMAN_IP_UPGRADE_INFO_FUMBLER::IPMAN_IP_UPGRADE_INFO_FUMBLER(
    IPMAN_IP_INFO* record, IPMAN_ANALYSIS_SERVICES* services, const IPCATALOG_OUTDATED_IP_INFO* outdated_info,
    const IPCATALOG_CARD* catalog_card, const IPMAN_DEVICE_REQUIREMENT_MAP* device_requirements)
    : m_record(record), m_services(services), m_outdated_info(outdated_info), m_catalog_card(catalog_card),
      m_device_requirements(device_requirements)
{
    if (!record || !services)
        MSG_INTERNAL_ERROR::report("upgrade analysis without record or services", IPMAN_MODULE_TAG, __FILE__,
                                   __LINE__);
    m_version = IPVX_VERSION(record->tool_version());
    const std::vector<DEV_FAMILY_ENUM>& families = record->const_supported_families();
    m_ip_family = families.empty() ? DEV_FAMILY_DEVICE_AGNOSTIC : families.front();
    m_no_catalog_version = !catalog_card || catalog_card->get_version().empty();
    m_hdl_generation_file = ipman_is_hdl_generation_file(ipman_text_of(record->shared_ip_generation_file()));
    m_project_family = services->get_project_family();
    m_project_part = services->get_project_part();
}

IPMAN_IP_UPGRADE_INFO_FUMBLER::~IPMAN_IP_UPGRADE_INFO_FUMBLER() = default;

void IPMAN_IP_UPGRADE_INFO_FUMBLER::adopt_catalog_version(
    const std::vector<const IPCATALOG_CARD*>& matching_cards)
{
    if (m_no_catalog_version) return;
    const bool version_listed =
        std::any_of(matching_cards.begin(), matching_cards.end(), [this](const IPCATALOG_CARD* card) {
            return card && card->get_parsed_version() == m_version;
        });
    if (version_listed) return;
    m_record->tool_version(m_catalog_card->get_version());
    m_record->vendor_name(m_catalog_card->get_author());
    m_version = m_catalog_card->get_parsed_version();
}

void IPMAN_IP_UPGRADE_INFO_FUMBLER::analyse(const std::function<bool(IPMAN_IP_INFO&)>& roll_up)
{
    set_new_identity();
    determine_age_and_end_of_life();
    compose_upgrade_note();
    compose_changelog();
    m_record->regen_status(determine_regen_status(has_family_mismatch()));
    // The roll-up weighs the sub-IPs against the end-of-life sub-IPs the catalog allows.
    add_catalog_sets();
    // A record is only as upgraded as its worst sub-IP: the attempt and the notification
    // read the rolled-up status.
    if (roll_up && roll_up(*m_record))
        determine_upgrade_flow(*m_record, *m_services);
    else
        determine_flow();
    determine_migration();
    apply_previous_attempt();
    m_record->status_notification(
        ipman_compose_status_notification(*m_record, m_family_trait_test, m_project_part));
    check_generation_file();
    // Every record passes here: the trace is only composed when it is wanted.
    if (m_services->trace_wanted())
        ipman_debug(fmt::format("Analysed {} {}: {} {}{}", m_record->tool_name(), m_record->tool_version(),
                                regen_status_to_string(m_record->regen_status()),
                                upgrade_flow_to_string(m_record->upgrade_flow()),
                                m_end_of_life ? " (end of life)" : ""));
}

void IPMAN_IP_UPGRADE_INFO_FUMBLER::set_new_identity()
{
    if (!m_catalog_card) return;
    m_record->new_tool_name(m_catalog_card->get_name());
    m_record->new_tool_version(m_catalog_card->get_version());
}

void IPMAN_IP_UPGRADE_INFO_FUMBLER::determine_age_and_end_of_life()
{
    bool test_end_of_life = true;
    if (m_no_catalog_version) {
        const std::string& generated_by = m_record->generated_by();
        if (IPMAN_UTILS::is_tessel_tool_string(generated_by)) {
            // A system file itself, or an IP inside one: the system generator keeps them current.
            m_version_old = false;
            test_end_of_life = m_record->tool_name() != generated_by;
        } else {
            m_version_old = m_version < IPVX_VERSION(ver_get_version());
        }
    } else if (m_catalog_card->get_name() != m_record->tool_name()) {
        // The IP is replaced by another one: always an upgrade, never end of life.
        m_version_old = true;
        test_end_of_life = false;
    } else {
        m_version_old = m_version < m_catalog_card->get_parsed_version();
        test_end_of_life = !m_version_old;
    }
    m_end_of_life =
        test_end_of_life && m_outdated_info && m_outdated_info->is_eol(m_version, m_project_family);
    m_record->is_eol(m_end_of_life);
}

const IPVX_VERSION& IPMAN_IP_UPGRADE_INFO_FUMBLER::target_version() const
{
    return m_catalog_card ? m_catalog_card->get_parsed_version() : m_version;
}

std::string IPMAN_IP_UPGRADE_INFO_FUMBLER::target_name() const
{
    if (m_catalog_card) return m_catalog_card->get_name();
    return m_outdated_info ? m_outdated_info->get_ip_name() : std::string();
}

void IPMAN_IP_UPGRADE_INFO_FUMBLER::compose_upgrade_note()
{
    if (!m_outdated_info) {
        m_record->upgrade_note("");
        return;
    }
    std::string note;
    const std::string& link = m_outdated_info->get_release_notes_link();
    if (!link.empty()) note += "<a href=\"" + link + "\">Release Notes</a>\n";
    const IPVX_VERSION& target = target_version();
    for (const std::string& text : m_outdated_info->get_upgrade_descriptions(m_version, target, target_name(),
                                                                             m_ip_family, m_project_family))
        note += text + "\n";
    for (const std::string& text : m_outdated_info->get_release_descriptions(m_version, target))
        note += text + "\n";
    m_record->upgrade_note(note);
}

void IPMAN_IP_UPGRADE_INFO_FUMBLER::compose_changelog()
{
    if (!m_outdated_info) {
        m_record->upgrade_changelog({});
        return;
    }
    m_record->upgrade_changelog(m_outdated_info->get_upgrade_changes(
        m_version, target_version(), target_name(), m_ip_family, m_project_family));
}

bool IPMAN_IP_UPGRADE_INFO_FUMBLER::has_family_mismatch() const
{
    if (!m_services->setting_is_on(DEVICE_FAMILY_BLOCKING_SETTING, true)) return false;
    if (m_record->parent_entity() != IPMAN_NA_STR) return false;  // sub-IPs follow their variation
    if (m_services->is_hdl_compatible_ip(*m_record)) return false;
    const std::vector<DEV_FAMILY_ENUM>& families = m_record->const_supported_families();
    if (m_project_family == DEV_FAMILY_NONE || families.empty()) return true;
    return !contains_family(families, DEV_FAMILY_DEVICE_AGNOSTIC) &&
           !contains_family(families, m_project_family);
}

bool IPMAN_IP_UPGRADE_INFO_FUMBLER::has_tool_environment_mismatch() const
{
    return m_services->setting_is_on(TOOL_ENV_BLOCKING_SETTING, true) &&
           IPMAN_UTILS::is_pro_tool_string(m_record->generated_by()) != m_pro_edition;
}

IPMAN_IP_REGEN_STATUS_ENUM IPMAN_IP_UPGRADE_INFO_FUMBLER::determine_regen_status(bool family_mismatch) const
{
    if (!m_family_trait_test) {
        if (m_hdl_generation_file) return IPMAN_INCOMPATIBLE;
        if (family_mismatch) return IPMAN_INCOMPATIBLE_FAMILY;
        if (m_device_requirements && m_services->check_device_requirements(*m_device_requirements) == 1)
            return IPMAN_INCOMPATIBLE_DEV_TRAIT;
        if (has_tool_environment_mismatch()) return IPMAN_INCOMPATIBLE_TOOL_ENV;
    }
    if (m_outdated_info &&
        (!m_version.is_valid() || m_outdated_info->is_invalid(m_version, m_ip_family, m_project_family)))
        return IPMAN_INCOMPATIBLE;
    if (m_version_old)
        return family_mismatch && !m_record->const_supported_families().empty()
                   ? IPMAN_OLD_AND_FAMILY_MISMATCH
                   : IPMAN_VERSION_OLD;
    if (family_mismatch) return IPMAN_FAMILY_MISMATCH;
    if (m_encrypted) return IPMAN_ENCRYPTED;
    return IPMAN_COMPATIBLE;
}

void IPMAN_IP_UPGRADE_INFO_FUMBLER::determine_flow()
{
    const FLOW_CHOICE_INPUTS inputs{m_hdl_generation_file, m_family_trait_test, m_catalog_card, true,
                                    IPMAN_NOT_SUPPORTED};
    m_record->upgrade_flow(choose_upgrade_flow(*m_record, *m_services, inputs));
}

void IPMAN_IP_UPGRADE_INFO_FUMBLER::determine_migration()
{
    bool migrates = false;
    switch (m_record->upgrade_flow()) {
    case IPMAN_TESSEL_UPGRADE_IP_CORES:
    case IPMAN_TESSEL_UPGRADE_IP_CORES_TO_VIP:
    case IPMAN_VARIATION_TO_TESSEL_SA_WITH_TESSEL:
        migrates = m_catalog_card && m_catalog_card->get_name() != m_record->tool_name();
        break;
    case IPMAN_VKELVANE_LEGACY_SILENT:
    case IPMAN_VKELVANE_LEGACY_UI_ONLY:
        migrates = true;
        break;
    default:
        break;
    }
    m_record->upgrade_will_migrate(migrates);
}

void IPMAN_IP_UPGRADE_INFO_FUMBLER::apply_previous_attempt()
{
    if (m_previous_status == IPMAN_UPGRADE_NOT_ATTEMPTED) return;
    if (m_previous_status != IPMAN_UPGRADE_ATTEMPTED) {
        m_record->upgrade_status(m_previous_status);
        m_record->upgrade_message(m_previous_message);
        return;
    }
    // An attempt without recorded outcome succeeded when the reason for it has gone away.
    if (m_record->status_incompatible()) return;
    const std::string& marker = m_previous_message;
    if (marker == IPMAN_REQUIRED_UPGRADE_MARKER ||
        (marker == IPMAN_OPTIONAL_UPGRADE_MARKER && !m_record->status_compatible_with_warning()))
        m_record->upgrade_status(IPMAN_UPGRADE_SUCCESS);
}

void IPMAN_IP_UPGRADE_INFO_FUMBLER::add_catalog_sets()
{
    if (!m_catalog_card) return;
    for (const std::string& name : m_catalog_card->const_supported_eol_sub_ips())
        m_record->supported_eol_sub_ips().insert(name);
    for (IPCATALOG_SUPPORTED_FILESET_ENUM fileset : m_catalog_card->const_supported_filesets())
        if (const std::optional<IPMAN_REGEN_FILESET> regen_fileset = regen_fileset_from_catalog(fileset))
            m_record->supported_filesets().insert(*regen_fileset);
}

void IPMAN_IP_UPGRADE_INFO_FUMBLER::check_generation_file()
{
    const std::string& generation_file = ipman_text_of(m_record->shared_ip_generation_file());
    if (generation_file == ipman_text_of(m_record->shared_source_file())) return;
    m_record->no_generation_file(generation_file.empty() ||
                                 !m_services->generation_file_exists(generation_file));
}

void determine_upgrade_flow(IPMAN_IP_INFO& record, IPMAN_ANALYSIS_SERVICES& services)
{
    // Without the catalog card, the conversion test never accepts the record here.
    const FLOW_CHOICE_INPUTS inputs{
        ipman_is_hdl_generation_file(ipman_text_of(record.shared_ip_generation_file())),
        services.family_test_holds(), nullptr, false, IPMAN_NO_UPGRADE};
    record.upgrade_flow(choose_upgrade_flow(record, services, inputs));
}
