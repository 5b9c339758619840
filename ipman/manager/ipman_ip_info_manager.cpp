//! @file ipman_ip_info_manager.cpp
//! @brief IPMAN_IP_INFO_MANAGER: the singleton, the loads of the project's variations, the
//! forwarding to the regeneration controller and the project queries.
#include <ipman/ipman_ip_info_manager.h>

#include "analysis/ipman_upgrade_analysis.h"
#include "discovery/ipman_acf_ip_collector.h"
#include "discovery/ipman_hdb_ip_finder.h"
#include "discovery/ipman_ip_file_reader.h"
#include "discovery/ipman_legacy_variation_reader.h"
#include "discovery/ipman_record_analyser.h"
#include "regen/ipman_ip_regeneration_controller.h"
#include "support/ipman_debug.h"
#include "support/ipman_directory_walk.h"
#include "support/ipman_project.h"

#include <acf/acf.h>
#include <cfg/cfg.h>
#include <dev/dev.h>
#include <fio/fio.h>
#include <gen/gen.h>
#include <hdb/hdb.h>
#include <ipcatalog/ipcatalog.h>
#include <ipman/ipman_constants.h>
#include <ipman/ipman_utils.h>
#include <msg/msg.h>
#include <ver/ver.h>
#include <wizman/hdl_text_reader.h>
#include <wizman/wizman.h>

#include <fmt/format.h>

#include <algorithm>
#include <array>
#include <cstdlib>

namespace {

bool names_ip_file(const ACF_ASSIGNMENT& assignment)
{
    if (!assignment.test_trait_of(ACF_TRAIT_FILE)) return false;
    const std::string file = assignment.get_value();
    return IPMAN_UTILS::is_vip_file(file) || IPMAN_UTILS::is_tessel_file(file) ||
           IPMAN_UTILS::is_gwip_file(file);
}

//! Extensions of the legacy wizard's HDL variation files, compared exactly.
bool has_variation_file_extension(const std::string& path)
{
    const std::string extension = FIO_PATH(path).extension();
    return extension == "v" || extension == "vhd" || extension == "vhdl";
}

//! The user settings switch IP regeneration off in a release and must switch it on in a beta.
bool ip_regeneration_enabled()
{
    return ver_is_beta() ? cfg_is_on("enable_ip_regen", false) : !cfg_is_on("disable_ip_regen", false);
}

using SOURCES = std::vector<IPMAN_SHARED_TEXT>;

//! Records the record's source file under its generation file: attempts are asked for by the
//! file the generator runs on, but the analysis finds them by the record's source file.
template <typename SOURCES_BY_FILE>
void add_source_file(SOURCES_BY_FILE& files, const IPMAN_IP_INFO& info)
{
    const IPMAN_SHARED_TEXT& file = info.shared_ip_generation_file();
    auto entry = files.find(ipman_text_of(file));
    if (entry == files.end()) {
        // The key views the text the entry itself holds.
        typename SOURCES_BY_FILE::mapped_type added{file, {}};
        const std::string_view key = ipman_text_of(added.file);
        entry = files.emplace(key, std::move(added)).first;
    }
    SOURCES& sources = entry->second.sources;
    const IPMAN_SHARED_TEXT& source = info.shared_source_file();
    const auto at = std::lower_bound(sources.begin(), sources.end(), source, IPMAN_SHARED_TEXT_ORDER());
    if (at == sources.end() || ipman_text_of(*at) != ipman_text_of(source)) sources.insert(at, source);
}

//! The source files recorded for a generation file; empty when it has none.
template <typename SOURCES_BY_FILE>
const SOURCES& source_files_of(const SOURCES_BY_FILE& files, const std::string& generation_file)
{
    static const SOURCES none;
    const auto found = files.find(generation_file);
    return found == files.end() ? none : found->second.sources;
}

}  // namespace

IPMAN_IP_INFO_MANAGER* IPMAN_IP_INFO_MANAGER::get_ip_info_manager()
{
    static IPMAN_IP_INFO_MANAGER manager;
    return &manager;
}

IPMAN_IP_INFO_MANAGER::IPMAN_IP_INFO_MANAGER()
    : m_collector(std::make_unique<IPMAN_ACF_IP_COLLECTOR>()),
      m_controller(std::make_unique<IPMAN_IP_REGENERATION_CONTROLLER>()),
      m_finder(std::make_unique<IPMAN_HDB_IP_FINDER>())
{
    m_collector->set_is_pro_version(true);
    m_controller->read_reference_lists();
}

IPMAN_IP_INFO_MANAGER::~IPMAN_IP_INFO_MANAGER()
{
    m_collector.reset();
    m_controller.reset();
    m_finder.reset();
}

void IPMAN_IP_INFO_MANAGER::prepare_load()
{
    ACF_MANAGER* acf = ACF_MANAGER::get_acf_manager();
    MSG_INTERNAL_ERROR_IF(acf == nullptr, IPMAN_MODULE_TAG);
    m_always_regen = get_always_regen_setting(acf);
    m_collector->set_always_regen(m_always_regen);
    m_collector->collect_ip_files();
    m_controller->set_project_family(acf->get_project_family_enum());
    m_controller->set_project_part(acf->get_project_part_enum());
    m_controller->ensure_ip_catalog();
}

void IPMAN_IP_INFO_MANAGER::load_ip_info(std::vector<IPMAN_IP_INFO>& all)
{
    begin_full_load();
    all.reserve(all.size() + m_collector->count_entities());
    convert_and_keep_lists([&](IPMAN_IP_INFO&& info, IPMAN_UPGRADE_LIST) { all.push_back(std::move(info)); });
}

void IPMAN_IP_INFO_MANAGER::load_ip_info(std::vector<IPMAN_IP_INFO>& all,
                                         std::vector<IPMAN_IP_INFO>& required,
                                         std::vector<IPMAN_IP_INFO>& optional)
{
    begin_full_load();
    all.reserve(all.size() + m_collector->count_entities());
    convert_and_keep_lists([&](IPMAN_IP_INFO&& info, IPMAN_UPGRADE_LIST list) {
        if (list == IPMAN_UPGRADE_LIST::REQUIRED) required.push_back(info);
        if (list == IPMAN_UPGRADE_LIST::OPTIONAL) optional.push_back(info);
        all.push_back(std::move(info));
    });
}

void IPMAN_IP_INFO_MANAGER::load_top_level_ip_info(const std::function<void(std::size_t)>& expect,
                                                   const std::function<void(IPMAN_IP_INFO&&)>& take)
{
    begin_full_load();
    expect(m_collector->get_collected_ips().size());
    convert_and_keep_lists([&](IPMAN_IP_INFO&& info, IPMAN_UPGRADE_LIST) {
        if (info.parent_entity() == IPMAN_NA_STR) take(std::move(info));
    });
}

void IPMAN_IP_INFO_MANAGER::begin_full_load()
{
    // The lists of the last load go first: a project's lists are never held twice.
    m_required = std::vector<IPMAN_IP_INFO>();  // with its storage, which {} would keep
    m_required_sources = {};
    m_optional_sources = {};
    prepare_load();
    // Outcomes of earlier runs, of this process or another, are in the revision's stored report.
    if (m_controller->get_attempts_revision() != get_revision_name())
        m_controller->load_ip_regen_results_from_report(nullptr);
    m_controller->reset_attempts_if_revision_changed();
}

void IPMAN_IP_INFO_MANAGER::convert_and_keep_lists(
    const std::function<void(IPMAN_IP_INFO&&, IPMAN_UPGRADE_LIST)>& take)
{
    // The collection has just read its files: the analysis need not ask whether they exist.
    IPMAN_SCOPED_CONVERSION conversion(*m_controller);
    m_controller->take_read_files_as_existing(
        [this](const std::string& path) { return m_collector->has_read_file(path); });
    // Records go one by one where they are wanted: no list of every record is built beside
    // the caller's. Of the optional list only its files are asked for later.
    m_collector->convert_variations(*m_controller, [&](IPMAN_IP_INFO&& info, IPMAN_UPGRADE_LIST list) {
        if (list == IPMAN_UPGRADE_LIST::REQUIRED) {
            add_source_file(m_required_sources, info);
            m_required.push_back(info);
        } else if (list == IPMAN_UPGRADE_LIST::OPTIONAL) {
            add_source_file(m_optional_sources, info);
        }
        take(std::move(info), list);
    });
}

void IPMAN_IP_INFO_MANAGER::load_ip_info_for_ip_generation_files(
    const std::vector<std::string>& generation_files, std::vector<IPMAN_IP_INFO>& records,
    std::vector<std::string>& not_loaded)
{
    prepare_load();
    m_collector->load_ip_info_for_files(*m_controller, generation_files, records, not_loaded);
}

std::vector<IPMAN_IP_INFO> IPMAN_IP_INFO_MANAGER::collect_all_ip_cores(HDB_NAMESPACE* name_space,
                                                                       HDB_INSTANCE_NAME* root)
{
    std::vector<IPMAN_IP_INFO> found;
    m_collector->collect_ip_files();
    // The records are analysed against the project's device, as in a load.
    if (ACF_MANAGER* acf = ipman_open_project()) {
        m_controller->set_project_family(acf->get_project_family_enum());
        m_controller->set_project_part(acf->get_project_part_enum());
    }
    m_controller->ensure_ip_catalog();
    m_finder->find_ip_instances(name_space, root, m_collector.get(), m_controller.get(), found);
    return found;
}

bool IPMAN_IP_INFO_MANAGER::get_ip_info(HDB_NAMESPACE* name_space, HDB_INSTANCE_NAME* instance,
                                        IPMAN_IP_INFO* out)
{
    MSG_INTERNAL_ERROR_IF(instance == nullptr || out == nullptr, IPMAN_MODULE_TAG);
    m_finder->set_context(name_space, m_collector.get(), m_controller.get());
    bool descend = false;
    const bool found = m_finder->examine_instance(instance, *out, descend);
    m_finder->reset_context();
    return found;
}

std::string IPMAN_IP_INFO_MANAGER::get_library(HDB_INSTANCE_NAME* instance) const
{
    return instance ? instance->get_library() : std::string();
}

std::vector<IPMAN_IP_INFO> IPMAN_IP_INFO_MANAGER::get_required_regen_ip_info() const
{
    return m_required;
}

void IPMAN_IP_INFO_MANAGER::do_ip_deploy(std::string& arguments, IPMAN_IP_REGEN_RESULT& result)
{
    m_controller->do_ip_deploy(arguments, result);
}

void IPMAN_IP_INFO_MANAGER::do_ip_upgrade_for_ip_info(const IPMAN_IP_INFO& info,
                                                      IPMAN_IP_REGEN_RESULT& result)
{
    m_controller->do_ip_upgrade_for_ip_info(info, result);
}

void IPMAN_IP_INFO_MANAGER::do_ip_upgrade_for_ip_info_batch_mode(const std::vector<IPMAN_IP_INFO>& infos,
                                                                 const std::vector<std::size_t>& selected,
                                                                 std::vector<IPMAN_IP_REGEN_RESULT>& results)
{
    m_controller->do_ip_upgrade_for_ip_info_batch_mode(infos, selected, results);
}

bool IPMAN_IP_INFO_MANAGER::update_project_settings_after_upgrade(
    const std::vector<IPMAN_IP_REGEN_RESULT>& results, std::string& error)
{
    return m_controller->update_project_settings_after_upgrade(results, error);
}

void IPMAN_IP_INFO_MANAGER::get_variation_file_by_dir(const std::string& directory,
                                                      std::list<std::string>* out) const
{
    MSG_INTERNAL_ERROR_IF(out == nullptr, IPMAN_MODULE_TAG);
    // Variations found in the installation are the catalog's own, not the user's.
    const std::vector<std::string> installation = {IPMAN_UTILS::adjust_path(gen_get_vorlin_path()),
                                                   IPMAN_UTILS::adjust_path(gen_get_ip_root_path())};
    ipman_walk_directory_tree(IPMAN_UTILS::adjust_path(directory), installation,
                              [&](const std::string& path) {
                                  if (has_variation_file_extension(path) && is_kelvane_file(FIO_PATH(path)))
                                      out->push_back(path);
                              });
}

void IPMAN_IP_INFO_MANAGER::extract_ip_name_and_version_from_file(const std::string& file, std::string& name,
                                                                  std::string& version)
{
    if (file.empty()) return;
    HDL_TEXT_READER reader(file);
    std::string line;
    while (reader.next_line(line)) {
        if (line.find(IPMAN_INSTANCE_LINE_MARKER) == std::string::npos) continue;
        name = get_variation_file_retrieval_info_tag_value(line, "entity-name");
        version = get_variation_file_retrieval_info_tag_value(line, "version");
    }
}

std::string IPMAN_IP_INFO_MANAGER::get_variation_file_retrieval_info_tag_value(const std::string& line,
                                                                               const std::string& tag)
{
    return ipman_retrieval_info_tag_value(line, tag);
}

bool IPMAN_IP_INFO_MANAGER::is_kelvane_file(const FIO_PATH& path) const
{
    return wizman_file_was_wizard_generated(path.fullpath());
}

std::string IPMAN_IP_INFO_MANAGER::format_release_date(const std::string& release_date) const
{
    static const std::array<const char*, 12> MONTHS = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                       "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    const std::size_t dot = release_date.find('.');
    if (dot == std::string::npos) return IPMAN_NA_STR;
    // Read like atoi (leading number, the rest ignored) without atoi's overflow.
    const long month = std::strtol(release_date.c_str() + dot + 1, nullptr, 10);
    if (month < 1 || month > 12) return IPMAN_NA_STR;
    return std::string(MONTHS[month - 1]) + " " + release_date.substr(0, dot);
}

void IPMAN_IP_INFO_MANAGER::add_successful_upgrade_attempt(const std::string& file)
{
    m_controller->add_successful_upgrade_attempt(file);
}

void IPMAN_IP_INFO_MANAGER::add_failed_upgrade_attempt(const std::string& file, const std::string& message)
{
    m_controller->add_failed_upgrade_attempt(file, message);
}

void IPMAN_IP_INFO_MANAGER::add_upgrade_attempt(const std::string& file)
{
    // One entry per file: further records of the same list would record the same tag again.
    for (const IPMAN_SHARED_TEXT& source : source_files_of(m_required_sources, file))
        m_controller->add_attempted_upgrade(ipman_text_of(source), IPMAN_REQUIRED_UPGRADE_MARKER);
    for (const IPMAN_SHARED_TEXT& source : source_files_of(m_optional_sources, file))
        m_controller->add_attempted_upgrade(ipman_text_of(source), IPMAN_OPTIONAL_UPGRADE_MARKER);
}

void IPMAN_IP_INFO_MANAGER::load_ip_regen_results_from_report(RDB_REPORT* report)
{
    m_controller->load_ip_regen_results_from_report(report);
}

void IPMAN_IP_INFO_MANAGER::set_ip_catalog(IPCATALOG_VORLIN_IP_CATALOG_MANAGER* catalog)
{
    m_collector->set_ip_catalog_manager(catalog);
    m_controller->set_ip_catalog(catalog);
}

std::string IPMAN_IP_INFO_MANAGER::get_revision_name() const
{
    ACF_MANAGER* acf = ipman_open_project();
    return acf ? acf->get_revision_manager()->get_active_revision_name() : std::string();
}

std::string IPMAN_IP_INFO_MANAGER::get_top_level_entity_name() const
{
    ACF_MANAGER* acf = ipman_open_project();
    return acf ? acf->get_revision_manager()->get_top_level_entity_name() : std::string();
}

std::string IPMAN_IP_INFO_MANAGER::get_project_family_name() const
{
    ACF_MANAGER* acf = ipman_open_project();
    if (acf == nullptr || acf->get_project_family_enum() == DEV_FAMILY_NONE) return std::string();
    return dstr_get_user_string(acf->get_project_family_enum());
}

bool IPMAN_IP_INFO_MANAGER::load_with_always_regen() const
{
    return m_always_regen;
}

void IPMAN_IP_INFO_MANAGER::set_is_pro_version(bool pro)
{
    m_controller->set_is_pro_version(pro);
    m_collector->set_is_pro_version(pro);
}

bool IPMAN_IP_INFO_MANAGER::get_always_regen_setting(ACF_MANAGER* acf)
{
    if (acf == nullptr || !acf->is_project_open()) return false;
    ACF_SCOPED_REVISION_READ_LOCK lock(*acf->get_revision_manager());
    if (!lock.held()) return false;
    return acf->get_global_assignment_enum(ACF_VAR_ALWAYS_REGENERATE_IP, ACF_VALUE_OFF) == ACF_VALUE_ON;
}

void IPMAN_IP_INFO_MANAGER::ipman_update_ip_catalog()
{
    if (ipman_open_project() == nullptr) return;
    IPCATALOG_VORLIN_IP_CATALOG_MANAGER::instance(false)->update(IPCATALOG_CHECK_CONTENT, false, true);
}

bool IPMAN_IP_INFO_MANAGER::project_contains_ip_files(ACF_MANAGER* acf)
{
    if (acf == nullptr) MSG_INTERNAL_ERROR::report("acf_mgr != NULL", IPMAN_MODULE_TAG, __FILE__, __LINE__);
    bool found = false;
    ipman_for_each_assignment_of_category(
        *acf, ACF_FILE_CATEGORY_DESIGN,
        [&found](const ACF_ASSIGNMENT& assignment) { found = found || names_ip_file(assignment); });
    return found;
}

bool IPMAN_IP_INFO_MANAGER::project_has_required_regen_ip(std::vector<IPMAN_IP_INFO>& records,
                                                          bool refresh_catalog)
{
    if (!ip_regeneration_enabled()) return false;
    ACF_MANAGER* acf = ipman_open_project();
    if (acf == nullptr || !project_contains_ip_files(acf)) return false;
    IPMAN_IP_INFO_MANAGER* manager = get_ip_info_manager();
    if (manager == nullptr)
        MSG_INTERNAL_ERROR::report("ip_mgr != NULL", IPMAN_MODULE_TAG, __FILE__, __LINE__);
    if (refresh_catalog) {
        ipman_update_ip_catalog();
        manager->set_ip_catalog(IPCATALOG_VORLIN_IP_CATALOG_MANAGER::instance(false));
    }
    std::vector<IPMAN_IP_INFO> all, optional;
    records.clear();
    manager->load_ip_info(all, records, optional);
    if (records.empty()) return false;
    const bool all_system_files = std::all_of(records.begin(), records.end(), [](const IPMAN_IP_INFO& info) {
        return IPMAN_UTILS::is_tessel_file(info.source_file());
    });
    if (!all_system_files) return true;
    // Only system files are out of date: that blocks compiling in the older layout only, and
    // there only when the project does not regenerate its IP anyway.
    if (ipman_family_test_holds()) return false;
    return !get_always_regen_setting(acf);
}

int IPMAN_IP_INFO_MANAGER::check_is_valid_variation_file(const std::string& file,
                                                         IPMAN_FAIL_REGEN_TYPE& fail_type)
{
    return get_ip_info_manager()->m_controller->check_variation_file(file, fail_type);
}

IPMAN_IP_FILE_INFO IPMAN_IP_INFO_MANAGER::get_ip_file_info(const std::string& path) const
{
    return ipman_read_ip_file_info(path);
}
