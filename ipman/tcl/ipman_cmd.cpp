//! @file ipman_cmd.cpp
//! @brief The IP Upgrade flow module and its report.
#include "tcl/ipman_cmd.h"
#include "support/ipman_debug.h"

#include <acf/proj_project.h>
#include <msg/msg.h>
#include <rdb/rdb.h>

#include <ipman/ipman_ip_info_manager.h>

#include <memory>
#include <string>

namespace {

//! Where the open project keeps its reports.
std::string project_database_path()
{
    return PROJ_PROJECT::m_current ? PROJ_PROJECT::m_current->get_project_directory() + "db/reports.sqlite"
                                   : std::string();
}

//! A report with the skeleton every flow report starts from.
std::unique_ptr<RDB_REPORT> new_flow_report(const std::string& revision)
{
    auto report = std::make_unique<RDB_REPORT>(revision, RDB_REPORT_TYPE_COMPILATION);
    RDB_FOLDER_OBJECT* main_folder = rdb_util_create_skeleton_main_folder(report.get());
    if (!main_folder) MSG_INTERNAL_ERROR::report("main_folder", IPMAN_MODULE_TAG, __FILE__, __LINE__);
    report->set_current_folder(main_folder);
    main_folder->add_object(rdb_create_summary_object("Flow Summary"));
    main_folder->add_object(std::make_unique<RDB_LEGAL_OBJECT>(RDB_LEGAL_STR));
    return report;
}

}  // namespace

IPMAN_CMD::IPMAN_CMD() : VCU_FRAMEWORK(22) {}

IPMAN_CMD::~IPMAN_CMD() = default;

IPMAN_CMD& IPMAN_CMD::get()
{
    static IPMAN_CMD module;
    return module;
}

const char* const* IPMAN_CMD::get_argument_usage() const
{
    static const char* const usage[] = {"<file name>", nullptr};
    return usage;
}

void IPMAN_CMD::prepare_report_database()
{
    const std::string wanted = project_database_path();
    const std::string& current = RDB_REPORT::get_database_path();
    if (wanted.empty()) return;
    const bool ours = m_report_database_prepared && current == m_chosen_database_path;
    if (!current.empty() && !ours) return;
    if (current != wanted) RDB_REPORT::set_database_path(wanted);
    m_chosen_database_path = wanted;
    m_report_database_prepared = true;
}

RDB_REPORT* ipman_get_ip_upgrade_report(IPMAN_CMD& module)
{
    module.prepare_report_database();
    IPMAN_IP_INFO_MANAGER* manager = IPMAN_IP_INFO_MANAGER::get_ip_info_manager();
    if (!manager) MSG_INTERNAL_ERROR::report("ip_mgr != NULL", IPMAN_MODULE_TAG, __FILE__, __LINE__);
    const std::string revision = manager->get_revision_name();
    if (revision.empty()) return nullptr;
    if (RDB_REPORT* report = RDB_REPORT::get_report(revision, RDB_REPORT_TYPE_COMPILATION)) return report;
    return RDB_REPORT::add_report(new_flow_report(revision));
}
