//! @file ipman_ip_regeneration_controller_services.cpp
//! @brief What the regeneration controller answers the upgrade analysis: reference lists,
//! catalog look-ups, upgrade targets, device requirements and the analysis entry.
#include "regen/ipman_ip_regeneration_controller.h"

#include <algorithm>

#include <cfg/cfg.h>
#include <gen/gen.h>
#include <ipcatalog/ipcatalog.h>

#include <ipman/ipman_utils.h>

#include "analysis/ipman_upgrade_analysis.h"
#include "discovery/ipman_legacy_cores.h"
#include "support/ipman_basic_csv_parser.h"

namespace {

const char* const READ_REFERENCE_LISTS_SETTING = "ipman_read_legacy_ip_info_files";
const char* const LEGACY_CARD_FILTER = "type=legacy";

bool contains_family(const std::vector<DEV_FAMILY_ENUM>& families, DEV_FAMILY_ENUM family)
{
    return std::find(families.begin(), families.end(), family) != families.end();
}

void add_lower_case_lines(const char* table_file, std::set<std::string>& names)
{
    std::vector<std::string> lines;
    read_list_file(ipman_reference_table_path(table_file), lines);
    for (const std::string& line : lines)
        names.insert(gen_ascii_tolower(line));
}

//! "scope.trait" requirements hold unless the scope's trait test answers against the value.
bool trait_requirement_holds(const std::string& key, const std::string& value, DEV_PART_ENUM part,
                             DEV_FAMILY_ENUM family)
{
    std::vector<std::string> pieces;
    if (IPMAN_UTILS::split_string(key, ".", pieces, false) != 2) return true;
    const std::string& scope = pieces[0];
    const std::string& trait_name = pieces[1];
    bool present = false;
    if (scope == "part") {
        if (!dstr_exists_dev_part_trait_string(trait_name)) return true;
        if (!dstr_is_valid_dev_part_enum(part)) return false;
        present =
            DEV_PART_MANAGER::test_part_trait_of(part, dstr_get_dev_part_trait_enum_by_string(trait_name));
    } else if (scope == "device") {
        if (!dstr_exists_dev_device_trait_string(trait_name)) return true;
        if (!dstr_is_valid_dev_part_enum(part)) return false;
        present = DEV_PART_MANAGER::test_device_trait_of(
            part, dstr_get_dev_device_trait_enum_by_string(trait_name));
    } else if (scope == "family") {
        if (!dstr_exists_dev_family_trait_string(trait_name)) return true;
        if (!dstr_is_valid_dev_family_enum(family)) return false;
        present =
            DEV_FAMILY_MANAGER::test_trait_of(family, dstr_get_dev_family_trait_enum_by_string(trait_name));
    } else {
        return true;
    }
    if (value == "1") return present;
    if (value == "0") return !present;
    return true;
}

bool device_requirement_holds(const std::string& value, DEV_PART_ENUM part)
{
    const DEV_PART_ENUM named_part = dstr_get_dev_part_enum_by_string(value);
    return named_part != DEV_PART_GENERIC && named_part == part;
}

bool base_device_requirement_holds(const std::string& value, DEV_PART_ENUM part)
{
    if (!dstr_is_valid_dev_part_enum(part)) return false;
    const DEV_DEVICE_ENUM base = DEV_PART_MANAGER::get_base_device_of(part);
    const DEV_DEVICE_ENUM device = base != 0 ? base : DEV_PART_MANAGER::get_device_of(part);
    return dstr_get_dev_device_enum_by_string(value) == device;
}

bool speed_grade_requirement_holds(const std::string& value, DEV_PART_ENUM part)
{
    if (!dstr_is_valid_dev_part_enum(part)) return false;
    const DEV_SPEED_ENUM speed = DEV_PART_MANAGER::get_marketing_speed_of(part, true);
    return speed != 0 && speed == dstr_get_dev_speed_enum_by_string(value);
}

//! An upgradeable-from entry that admits the record: its name, version and family fit.
bool admits_record(const IPCATALOG_UPGRADEABLE_FROM_INFO& entry, const IPMAN_IP_INFO& info)
{
    if (entry.name != info.tool_name()) return false;
    if (!gen_iequals(entry.version, "all") && entry.version != info.tool_version()) return false;
    const std::vector<DEV_FAMILY_ENUM>& families = info.const_supported_families();
    return entry.family == DEV_FAMILY_DEVICE_AGNOSTIC ||
           contains_family(families, DEV_FAMILY_DEVICE_AGNOSTIC) || contains_family(families, entry.family);
}

const IPCATALOG_CARD* find_legacy_card_by_display_name(const IPCATALOG_VORLIN_IP_CATALOG_MANAGER& catalog,
                                                       const std::string& display_name)
{
    for (const IPCATALOG_CARD* card : catalog.get_ip_cards_by_filter(LEGACY_CARD_FILTER)) {
        const std::vector<std::string>& aliases = card->const_aliases();
        if (card->get_name() == display_name ||
            std::find(aliases.begin(), aliases.end(), display_name) != aliases.end())
            return card;
    }
    return nullptr;
}

}  // namespace

void IPMAN_IP_REGENERATION_CONTROLLER::read_reference_lists()
{
    if (!cfg_is_on(READ_REFERENCE_LISTS_SETTING, false)) return;
    std::vector<IPMAN_CSV_ROW> rows;
    read_csv_file(ipman_reference_table_path(IPMAN_IP_NAME_MAPPING_FILE), rows);
    for (const IPMAN_CSV_ROW& row : rows) {
        // Each row: the name the catalog knows, then an older name of the same IP.
        if (row.size() < 2 || row[0].empty() || row[0][0] == '#' || row[1].empty()) continue;
        m_ip_name_mapping[row[1]] = row[0];
    }
    add_lower_case_lines(IPMAN_NO_CMD_SUPPORT_IP_CORES_FILE, m_no_cmd_support_ips);
    add_lower_case_lines(IPMAN_HDL_COMPATIBLE_IP_FILE, m_hdl_compatible_ips);
    for (const std::string& name : ipman_get_legacy_wizard_core_names())
        m_legacy_core_names.insert(gen_ascii_tolower(name));
}

void IPMAN_IP_REGENERATION_CONTROLLER::analyse_ip_info(
    bool encrypted, bool search_legacy_cards, bool adopt_catalog_version,
    const std::map<std::string, std::string>& device_requirements, IPMAN_IP_INFO& info)
{
    analyse_main_ip_info(encrypted, search_legacy_cards, adopt_catalog_version, device_requirements, {},
                         info);
}

void IPMAN_IP_REGENERATION_CONTROLLER::analyse_main_ip_info(
    bool encrypted, bool search_legacy_cards, bool adopt_catalog_version,
    const std::map<std::string, std::string>& device_requirements, const IPMAN_RECORD_ROLL_UP& roll_up,
    IPMAN_IP_INFO& info)
{
    // The cards found here are used until the analysis ends: hold the catalog meanwhile.
    IPCATALOG_SCOPED_READ_WRITE_MUTEX catalog_hold(m_ip_catalog);
    const IPCATALOG_OUTDATED_IP_INFO* outdated_info = remembered_catalog_card(info.tool_name());
    std::vector<const IPCATALOG_CARD*> candidates;
    const IPCATALOG_CARD* target = remembered_upgrade_target(info, search_legacy_cards, candidates);

    IPMAN_IP_UPGRADE_INFO_FUMBLER analyser(&info, this, outdated_info, target, &device_requirements);
    const auto attempt = m_upgrade_attempts.find(ipman_text_of(info.shared_source_file()));
    if (attempt != m_upgrade_attempts.end())
        analyser.set_previous_attempt(static_cast<IPMAN_UPGRADE_STATUS_ENUM>(attempt->second.status),
                                      attempt->second.message);
    analyser.set_pro_edition(m_is_pro_version);
    analyser.set_encrypted(encrypted);
    analyser.set_family_trait_test(family_test_holds());
    if (adopt_catalog_version) analyser.adopt_catalog_version(candidates);
    analyser.analyse(roll_up);
}

IPMAN_IP_REGENERATION_CONTROLLER::CONVERSION_MEMO& IPMAN_IP_REGENERATION_CONTROLLER::catalog_memo()
{
    CONVERSION_MEMO& memo = *m_memo;
    if (memo.catalog != m_ip_catalog) {
        memo.outdated_info.clear();
        memo.targets.clear();
        memo.catalog_hold = std::make_unique<IPCATALOG_SCOPED_READ_WRITE_MUTEX>(m_ip_catalog);
        memo.catalog = m_ip_catalog;
    }
    return memo;
}

const IPCATALOG_OUTDATED_IP_INFO*
IPMAN_IP_REGENERATION_CONTROLLER::remembered_catalog_card(const std::string& name)
{
    if (!m_memo) return find_catalog_card(name);
    CONVERSION_MEMO& memo = catalog_memo();
    const auto [known, fresh] = memo.outdated_info.try_emplace(name, nullptr);
    if (fresh) known->second = find_catalog_card(name);
    return known->second;
}

const IPCATALOG_CARD* IPMAN_IP_REGENERATION_CONTROLLER::remembered_upgrade_target(
    const IPMAN_IP_INFO& info, bool search_legacy_cards, std::vector<const IPCATALOG_CARD*>& candidates)
{
    if (!m_memo) return find_upgrade_target(info, search_legacy_cards, candidates);
    // Everything the search reads of the record and the controller; the display name only
    // matters to the search of legacy cards.
    const std::string& name = info.tool_name();
    const std::string& version = info.tool_version();
    std::string key;
    key.reserve(name.size() + version.size() + 32);
    key.append(name).append(1, '\n').append(version).append(1, '\n');
    key.append(std::to_string(static_cast<int>(m_project_family)))
        .append(search_legacy_cards ? "\n1" : "\n0");
    for (DEV_FAMILY_ENUM family : info.const_supported_families())
        key.append(1, ' ').append(std::to_string(static_cast<int>(family)));
    if (search_legacy_cards) key.append(1, '\n').append(info.display_name());

    CONVERSION_MEMO& memo = catalog_memo();
    const auto [known, fresh] = memo.targets.try_emplace(std::move(key));
    if (fresh) known->second.card = find_upgrade_target(info, search_legacy_cards, known->second.candidates);
    candidates = known->second.candidates;
    return known->second.card;
}

void IPMAN_IP_REGENERATION_CONTROLLER::redetermine_upgrade_flow(IPMAN_IP_INFO& info)
{
    determine_upgrade_flow(info, *this);
}

void IPMAN_IP_REGENERATION_CONTROLLER::analyse_ip_info_quietly(bool encrypted, IPMAN_IP_INFO& info)
{
    const std::map<std::string, std::string> no_requirements;
    analyse_ip_info(encrypted, false, false, no_requirements, info);
}

int IPMAN_IP_REGENERATION_CONTROLLER::check_device_requirements(
    const std::map<std::string, std::string>& requirements) const
{
    // Every requirement is examined, a speed grade included, so none can hide a later failure.
    for (const auto& [name, value] : requirements) {
        const std::string key = gen_ascii_tolower(name);
        bool holds;
        if (key == "device")
            holds = device_requirement_holds(value, m_project_part);
        else if (key == "base_device")
            holds = base_device_requirement_holds(value, m_project_part);
        else if (key == "device_speedgrade")
            holds = speed_grade_requirement_holds(value, m_project_part);
        else
            holds = trait_requirement_holds(key, value, m_project_part, m_project_family);
        if (!holds) return 1;
    }
    return 0;
}

bool IPMAN_IP_REGENERATION_CONTROLLER::is_hdl_compatible_ip(const IPMAN_IP_INFO& info) const
{
    return m_hdl_compatible_ips.count(gen_ascii_tolower(info.tool_name())) != 0;
}

bool IPMAN_IP_REGENERATION_CONTROLLER::supports_cmd_upgrade(const std::string& name) const
{
    if (m_no_cmd_support_ips.count(gen_ascii_tolower(name)) != 0) return false;
    const auto mapped = m_ip_name_mapping.find(name);
    return mapped == m_ip_name_mapping.end() ||
           m_no_cmd_support_ips.count(gen_ascii_tolower(mapped->second)) == 0;
}

bool IPMAN_IP_REGENERATION_CONTROLLER::is_legacy_core(const IPMAN_IP_INFO& info) const
{
    return m_legacy_core_names.count(gen_ascii_tolower(info.tool_name())) != 0;
}

bool IPMAN_IP_REGENERATION_CONTROLLER::check_tessel_conversion(const IPMAN_IP_INFO& info,
                                                               const IPCATALOG_CARD* card) const
{
    if (!m_ip_catalog || !card) return false;
    if (card->get_name() != info.tool_name()) return true;
    const bool family_supported = contains_family(info.const_supported_families(), m_project_family);

    IPCATALOG_SCOPED_READ_WRITE_MUTEX catalog_hold(m_ip_catalog);
    std::vector<const IPCATALOG_CARD*> cards = m_ip_catalog->get_ip_cards_by_name(info.tool_name());
    const std::size_t own_cards = cards.size();
    for (std::size_t i = 0; i < own_cards; ++i)
        for (const IPCATALOG_CARD* matching : cards[i]->get_matching_ip_cards())
            cards.push_back(matching);

    bool has_standalone = false;
    bool has_legacy_file = false;
    for (const IPCATALOG_CARD* candidate : cards) {
        if (candidate->get_ip_type() == IPCATALOG_IP_TYPE_STANDALONE)
            has_standalone = true;
        else if (!candidate->get_legacy_iputf_file().empty())
            has_legacy_file = true;
    }
    return has_standalone && (has_legacy_file || family_supported);
}

const IPCATALOG_OUTDATED_IP_INFO*
IPMAN_IP_REGENERATION_CONTROLLER::find_catalog_card(const std::string& name) const
{
    if (!m_ip_catalog || IPMAN_UTILS::is_tessel_tool_string(name)) return nullptr;
    IPCATALOG_SCOPED_READ_WRITE_MUTEX catalog_hold(m_ip_catalog);
    if (const IPCATALOG_OUTDATED_IP_INFO* info = m_ip_catalog->get_outdated_ip_info(name)) return info;
    const auto mapped = m_ip_name_mapping.find(name);
    return mapped == m_ip_name_mapping.end() ? nullptr : m_ip_catalog->get_outdated_ip_info(mapped->second);
}

bool IPMAN_IP_REGENERATION_CONTROLLER::card_supports_family(const IPCATALOG_CARD& card,
                                                            DEV_FAMILY_ENUM family)
{
    const std::vector<DEV_FAMILY_ENUM>& families = card.get_supported_families();
    return family == DEV_FAMILY_DEVICE_AGNOSTIC || families.empty() ||
           contains_family(families, DEV_FAMILY_DEVICE_AGNOSTIC) || contains_family(families, family);
}

const IPCATALOG_CARD*
IPMAN_IP_REGENERATION_CONTROLLER::find_upgrade_target(const IPMAN_IP_INFO& info, bool search_legacy_cards,
                                                      std::vector<const IPCATALOG_CARD*>& candidates) const
{
    if (!m_ip_catalog) return nullptr;
    IPCATALOG_SCOPED_READ_WRITE_MUTEX catalog_hold(m_ip_catalog);
    if (info.tool_version().empty() || info.tool_version() == IPMAN_NA_STR) return nullptr;

    // The newest card of the record's own name for the project family; a later equal one wins.
    candidates = m_ip_catalog->get_ip_cards_by_name(info.tool_name(), IPCATALOG_QUERY_ANALYSIS);
    const IPCATALOG_CARD* same_name_best = nullptr;
    IPVX_VERSION best_version(info.tool_version());
    for (const IPCATALOG_CARD* card : candidates) {
        if (card->get_version().empty() || !card_supports_family(*card, m_project_family)) continue;
        const IPVX_VERSION& version = card->get_parsed_version();
        if (version < best_version) continue;
        same_name_best = card;
        best_version = version;
    }

    const auto& upgrade_index = m_ip_catalog->get_upgrade_index();
    const auto upgraders = upgrade_index.find(info.tool_name());
    if (upgraders == upgrade_index.end()) {
        if (!same_name_best && search_legacy_cards)
            if (const IPCATALOG_CARD* legacy =
                    find_legacy_card_by_display_name(*m_ip_catalog, info.display_name()))
                return legacy;
        return same_name_best;
    }

    std::vector<const IPCATALOG_CARD*> upgrading_cards;
    for (const std::string& card_name : upgraders->second) {
        IPCATALOG_SCOPED_READ_WRITE_MUTEX query_hold(m_ip_catalog);
        const std::vector<const IPCATALOG_CARD*> cards =
            m_ip_catalog->get_ip_cards_by_name(card_name, IPCATALOG_QUERY_ANALYSIS);
        upgrading_cards.insert(upgrading_cards.end(), cards.begin(), cards.end());
    }

    // The newest admissible card wins; among equal versions one admitted for a particular
    // family beats one admitted for every family.
    const IPCATALOG_CARD* best = same_name_best;
    IPVX_VERSION best_target_version;
    const IPCATALOG_UPGRADEABLE_FROM_INFO* best_entry = nullptr;
    for (const IPCATALOG_CARD* card : upgrading_cards) {
        if (!card_supports_family(*card, m_project_family)) continue;
        const IPVX_VERSION& version = card->get_parsed_version();
        for (const IPCATALOG_UPGRADEABLE_FROM_INFO& entry : card->get_upgradeable_from_info()) {
            if (!admits_record(entry, info)) continue;
            const bool more_specific = version == best_target_version && best_entry &&
                                       best_entry->family == DEV_FAMILY_DEVICE_AGNOSTIC &&
                                       entry.family != DEV_FAMILY_DEVICE_AGNOSTIC;
            if (!best || best_target_version < version || more_specific) {
                best = card;
                best_target_version = version;
                best_entry = &entry;
            }
        }
    }
    return best;
}
