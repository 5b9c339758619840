//! @file ipman_upgrade_driver.cpp
//! @brief The upgrade driver: orders and splits the records, upgrades them singly or as one
//! batch with progress, then messages, Tcl result, report, backups and project settings.
#include "tcl/ipman_upgrade_driver.h"
#include "support/ipman_debug.h"

#include "report/ipman_messages.h"
#include "report/ipman_report_writer.h"
#include "tcl/ipman_cmd.h"
#include "tcl/ipman_port_diff.h"

#include <ipman/ipman_constants.h>
#include <ipman/ipman_ip_info_manager.h>
#include <ipman/ipman_ip_regen_result.h>
#include <ipman/ipman_utils.h>

#include <acf/acf.h>
#include <acf/proj_project.h>
#include <atcl/atcl.h>
#include <cfg/cfg.h>
#include <fio/fio.h>
#include <ipdgen/ipdgen.h>
#include <msg/msg.h>
#include <rdb/rdb.h>
#include <vcu/vcu.h>

#include <fmt/format.h>

#include <algorithm>
#include <cstddef>
#include <set>
#include <string>
#include <unordered_map>
#include <vector>

namespace {

bool is_top_level(const IPMAN_IP_INFO& record)
{
    return record.parent_entity() == IPMAN_NA_STR;
}

//! Generators run in the project directory: a relative generation file lies there.
std::string full_generation_file(const IPMAN_IP_INFO& record)
{
    return FIO_PATH(record.ip_generation_file())
        .become_absolute(ACF_MANAGER::get_acf_manager()->get_project_path())
        .fullpath();
}

IPMAN_IP_INFO_MANAGER& manager()
{
    IPMAN_IP_INFO_MANAGER* ip_info_mgr = IPMAN_IP_INFO_MANAGER::get_ip_info_manager();
    if (ip_info_mgr == nullptr)
        MSG_INTERNAL_ERROR::report("ip_info_mgr != NULL", IPMAN_MODULE_TAG, __FILE__, __LINE__);
    return *ip_info_mgr;
}

//! The upgraded system IP's port comparison goes into the report before its text copy, so
//! both hold it. Pairs are dropped afterwards: their backups are about to go, and a later
//! run must not list them again.
void add_port_comparison(RDB_REPORT* report, const std::vector<IPMAN_IP_REGEN_RESULT>& results,
                         const std::string& revision)
{
    if (!cfg_is_on("IPUPGRADE_PORT_DIFF_GENERATION", true)) return;
    ipman_add_upgraded_ip_port_diffs(results);
    std::string error;
    if (!IPDGEN_REPORT_WRITER::write_report(report, revision, &error))
        msg_post_text(MSG_POST_WARNING,
                      fmt::format("The port comparison of the upgraded IP was not written: {}", error));
    IPDGEN_PORTS_INFO::reset_data();
}

//! A report that cannot be written costs the record of the run, not the upgrade: warned.
void write_upgrade_report(IPMAN_CMD& flow, const std::vector<IPMAN_IP_REGEN_RESULT>& results, bool failed)
{
    RDB_REPORT* report = ipman_get_ip_upgrade_report(flow);
    if (report == nullptr) return;
    IPMAN_IP_INFO_MANAGER& ip_info_mgr = manager();
    const std::string revision = ip_info_mgr.get_revision_name();
    IPMAN_REPORT_WRITER writer(report, IPMAN_REPORT_CONTEXT{revision, ip_info_mgr.get_top_level_entity_name(),
                                                            ip_info_mgr.get_project_family_name()});
    writer.write_results(results, failed ? 1 : 0);
    add_port_comparison(report, results, revision);
    const std::string text_copy = fmt::format("{}{}.{}{}", ACF_MANAGER::get_acf_manager()->get_project_path(),
                                              revision, flow.get_short_name(), ".rpt");
    std::string error;
    if (!writer.write_text_report(text_copy.c_str(), &error))
        msg_post_text(MSG_POST_WARNING,
                      fmt::format("The IP Upgrade report {} was not written: {}", text_copy, error));
    if (!RDB_REPORT::write_report(*report, &error))
        msg_post_text(MSG_POST_WARNING, fmt::format("The IP Upgrade report was not stored: {}", error));
}

void post_failure_reason(const IPMAN_IP_REGEN_RESULT& result)
{
    if (result.status != 0 && result.fail_type != IPMAN_FAIL_NONE)
        get_msg_from_type(full_generation_file(result.ip_info), result.fail_type)->post();
}

//! One call of the driver: the results in the order attempted and whether any failed.
class UPGRADE_RUN {
public:
    UPGRADE_RUN(std::vector<IPMAN_IP_INFO>& records, Tcl_Interp* interp, IPMAN_CMD& flow, CMP_FACADE& facade)
        : m_records(records), m_interp(interp), m_flow(flow), m_facade(facade)
    {
    }

    int run()
    {
        if (!cfg_is_on("disable_ipregen_ip_sort")) put_gwip_files_first();
        const bool batch_allowed = !cfg_is_on("disable_batch_ip_regen_mode");
        if (cfg_is_on("legacy_ip_regen_mode"))
            run_legacy();
        else
            run_split(batch_allowed);
        return finish();
    }

private:
    void put_gwip_files_first()
    {
        std::stable_partition(m_records.begin(), m_records.end(), [](const IPMAN_IP_INFO& record) {
            return IPMAN_UTILS::is_gwip_file(record.source_file());
        });
    }

    void run_legacy()
    {
        ipman_debug("\tPerforming IP REGEN using the legacy code");
        m_steps = m_records.size();
        for (std::size_t i = 0; i < m_records.size(); ++i) {
            report_progress(i);
            if (takes_turn(m_records[i])) upgrade_singly(m_records[i]);
        }
    }

    //! A top-level variation is upgraded once per run, however many main records it has.
    bool takes_turn(const IPMAN_IP_INFO& record)
    {
        return is_top_level(record) &&
               m_taken.emplace(record.source_file(), record.ip_generation_file()).second;
    }

    void run_split(bool batch_allowed)
    {
        ipman_debug("\tPerforming IP REGEN using the non-legacy code");
        std::vector<std::size_t> batch;
        std::vector<std::size_t> single;
        for (std::size_t i = 0; i < m_records.size(); ++i) {
            const IPMAN_IP_INFO& record = m_records[i];
            if (batch_allowed && record.upgrade_flow() == IPMAN_TESSEL_UPGRADE_IP_CORES) {
                if (record.regen_status() != IPMAN_COMPATIBLE && takes_turn(record)) batch.push_back(i);
            } else {
                single.push_back(i);
            }
        }
        m_steps = batch.size() + single.size();
        // The batch does the work of as many steps as it has records, so progress after it
        // stands there and the single upgrades count on from it.
        std::size_t step = 0;
        if (!batch.empty()) {
            report_progress(0);
            upgrade_batch(batch);
            step = batch.size();
            report_progress(step - 1);
        }
        for (const std::size_t i : single) {
            report_progress(step++);
            if (takes_turn(m_records[i])) upgrade_singly(m_records[i]);
        }
    }

    //! Step k of n: 100 * (k + 1) / n, or 20 for a single step. Multiplying first keeps
    //! projects of more than 100 variations from showing 0% throughout.
    void report_progress(std::size_t step) const
    {
        const std::size_t percent = m_steps == 1 ? 20 : 100 * (step + 1) / m_steps;
        m_facade.progress(static_cast<int>(percent));
    }

    void upgrade_singly(const IPMAN_IP_INFO& record)
    {
        if (record.regen_status() == IPMAN_COMPATIBLE) return;
        if (!record.silently_upgradable()) {
            // Nothing was run, but the user still learns which variation stays old and why.
            get_msg_from_type(full_generation_file(record), IPMAN_FAIL_NO_CMD_SUPPORT)->post();
            m_refused.push_back(record);
            m_failed = true;
            return;
        }
        IPMAN_IP_REGEN_RESULT result;
        manager().do_ip_upgrade_for_ip_info(record, result);
        post_failure_reason(result);
        if (result.status == 1) m_failed = true;
        m_results.push_back(std::move(result));
    }

    void upgrade_batch(const std::vector<std::size_t>& positions)
    {
        std::vector<IPMAN_IP_REGEN_RESULT> results;
        manager().do_ip_upgrade_for_ip_info_batch_mode(m_records, positions, results);
        for (IPMAN_IP_REGEN_RESULT& result : results) {
            post_failure_reason(result);
            if (result.status == 1) m_failed = true;
            m_results.push_back(std::move(result));
        }
    }

    int finish()
    {
        post_outcome_messages();
        set_tcl_result();
        write_upgrade_report(m_flow, m_results, m_failed);
        std::string error;
        // Until the settings name the new files, the backups are the only way back to the
        // files they still name.
        if (!manager().update_project_settings_after_upgrade(m_results, error)) {
            atcl_error_msg_impl(m_interp, fmt::format("ERROR: The IP upgrade could not update the project "
                                                      "settings, which still name the files before the "
                                                      "upgrade; their backups are kept. {}",
                                                      error));
            return TCL_ERROR;
        }
        delete_backups();
        return m_failed ? TCL_ERROR : TCL_OK;
    }

    void post_outcome_messages() const
    {
        for (const IPMAN_IP_REGEN_RESULT& result : m_results) {
            const IPMAN_IP_INFO& record = result.ip_info;
            const std::string file = full_generation_file(record);
            if (result.status == 0) {
                ipman_post_msg(IPMAN_MSG::IIPMAN_IPRGEN_SUCCESSFUL, {record.tool_name(), file});
            } else if (record.generated_by() == IPMAN_TESSEL_STR) {
                ipman_post_msg(IPMAN_MSG::EIPMAN_IPRGEN_MANUAL_REGEN_TESSEL_SYSTEM, {file});
            } else {
                ipman_post_msg(IPMAN_MSG::EIPMAN_IPRGEN_FAILED, {record.tool_name(), file});
                if (result.fail_type == IPMAN_FAIL_VKELVANE_SILENT_FAILED)
                    ipman_post_msg(IPMAN_MSG::EIPMAN_IPRGEN_MANUAL_REGEN_STANDALONE_IP);
            }
        }
    }

    void set_tcl_result() const
    {
        Tcl_ResetResult(m_interp);
        for (const IPMAN_IP_REGEN_RESULT& result : m_results) {
            const char* outcome = result.status == 0 ? "Passed" : "Failed";
            Tcl_AppendElement(m_interp,
                              fmt::format("{} {}", ipman_record_text(result.ip_info), outcome).c_str());
        }
        for (const IPMAN_IP_INFO& record : m_refused)
            Tcl_AppendElement(m_interp, fmt::format("{} Failed", ipman_record_text(record)).c_str());
    }

    void delete_backups() const
    {
        for (const IPMAN_IP_REGEN_RESULT& result : m_results)
            if (!result.backup_file.empty()) FIO_FILE_SYSTEM::remove_if_exists(result.backup_file);
    }

    std::vector<IPMAN_IP_INFO>& m_records;
    Tcl_Interp* m_interp;
    IPMAN_CMD& m_flow;
    CMP_FACADE& m_facade;
    std::vector<IPMAN_IP_REGEN_RESULT> m_results;
    std::vector<IPMAN_IP_INFO> m_refused;  //!< top-level variations no flow can upgrade unattended
    std::size_t m_steps = 0;
    bool m_failed = false;
    std::set<std::pair<std::string, std::string>> m_taken;  //!< (source, generation file) upgraded
};

}  // namespace

std::string ipman_record_text(const IPMAN_IP_INFO& record)
{
    return fmt::format("{{{} {} {} {} {}}}", record.entity(), record.tool_name(), record.tool_version(),
                       record.source_file(), record.ip_generation_file());
}

std::vector<std::pair<std::string, std::string>>
ipman_candidate_lines(const std::vector<IPMAN_IP_INFO>& records)
{
    std::vector<std::pair<std::string, std::string>> lines;
    std::unordered_map<std::string, std::size_t> line_of_entity;
    for (const IPMAN_IP_INFO& record : records) {
        if (!is_top_level(record)) continue;
        line_of_entity.try_emplace(record.entity(), lines.size());
        lines.emplace_back(record.entity(), ipman_record_text(record));
    }
    for (const IPMAN_IP_INFO& record : records) {
        if (is_top_level(record)) continue;
        const auto parent = line_of_entity.find(record.parent_entity());
        if (parent != line_of_entity.end()) lines[parent->second].second += " " + ipman_record_text(record);
    }
    return lines;
}

int ipman_run_upgrade_driver(std::vector<IPMAN_IP_INFO>& records, Tcl_Interp* interp)
{
    IPMAN_CMD& flow = IPMAN_CMD::get();
    PROJ_PROJECT* project = PROJ_PROJECT::m_current;
    if (project == nullptr)
        MSG_INTERNAL_ERROR::report("prj != nullptr", IPMAN_MODULE_TAG, __FILE__, __LINE__);
    const std::string revision = project->get_current_revision_name();
    if (revision.empty()) MSG_INTERNAL_ERROR::report("rev != nullptr", IPMAN_MODULE_TAG, __FILE__, __LINE__);
    flow.set_project(project->get_project_name());
    flow.set_cap(revision);
    flow.create_facade();
    CMP_FACADE* facade = flow.get_facade();
    if (facade == nullptr) return TCL_ERROR;
    return UPGRADE_RUN(records, interp, flow, *facade).run();
}

int ipman_upgrade_listed_files(const std::string& file_list, Tcl_Interp* interp)
{
    std::vector<std::string> names;
    if (file_list.empty() || IPMAN_UTILS::split_string(file_list, ";", names, false) == 0) return TCL_OK;
    IPMAN_IP_INFO_MANAGER::ipman_update_ip_catalog();
    std::vector<IPMAN_IP_INFO> records;
    std::vector<std::string> not_loaded;
    manager().load_ip_info_for_ip_generation_files(names, records, not_loaded);
    if (!not_loaded.empty()) {
        std::string errors;
        for (const std::string& name : not_loaded)
            errors += fmt::format("{}ERROR: The file \"{}\" does not exist in project.",
                                  errors.empty() ? "" : "\n", name);
        atcl_error_msg_impl(interp, errors);
        return TCL_ERROR;
    }
    return ipman_run_upgrade_driver(records, interp);
}
