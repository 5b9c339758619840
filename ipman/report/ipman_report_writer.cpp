//! @file ipman_report_writer.cpp
//! @brief The "IP Upgrade" report section and the read-back of earlier upgrade outcomes.
#include "report/ipman_report_writer.h"
#include "support/ipman_debug.h"

#include "report/ipman_messages.h"

#include <fio/fio.h>
#include <gen/gen.h>
#include <msg/msg.h>
#include <rdb/rdb.h>
#include <ver/ver.h>

#include <fmt/format.h>

#include <memory>
#include <utility>

namespace {

const char* const IP_FOLDER_NAME = "IP Upgrade";
const char* const DEFAULT_MAIN_FOLDER_NAME = "Default Main Folder";
const char* const SUMMARY_NAME = "IP Upgrade Summary";

// Columns of both result tables, in order.
enum RESULT_COLUMN {
    COLUMN_ENTITY,
    COLUMN_COMPONENT,
    COLUMN_VERSION,
    COLUMN_SOURCE_FILE,
    COLUMN_GENERATION_FILE,
    COLUMN_NEW_SOURCE_FILE,
    COLUMN_MESSAGE,
};

const std::vector<std::string>& result_columns()
{
    static const std::vector<std::string> columns = {
        "Entity Name",          "Component Name",  "Version", "Original Source File",
        "Generation File Path", "New Source File", "Message",
    };
    return columns;
}

// The condition text names what the layout lacks, as the internal-error report shows it.
#define IPMAN_REPORT_REQUIRE(cond, text)                                                                     \
    do {                                                                                                     \
        if (!(cond)) MSG_INTERNAL_ERROR::report(text, IPMAN_MODULE_TAG, __FILE__, __LINE__);                 \
    } while (0)

const char* result_table_name(IPMAN_REPORT_RESULT_TYPE type)
{
    switch (type) {
    case IPMAN_REPORT_RESULT_SUCCESS:
        return "Successfully Upgraded IP Components";
    case IPMAN_REPORT_RESULT_FAILED:
        return "Failed Upgrade IP Components";
    }
    MSG_INTERNAL_ERROR::report("Invalid IPMAN_REPORT_RESULT_TYPE", IPMAN_MODULE_TAG, __FILE__, __LINE__);
}

RDB_FOLDER_OBJECT* as_folder(RDB_OBJECT* object)
{
    return object && object->get_kind() == RDB_OBJECT_KIND::FOLDER ? static_cast<RDB_FOLDER_OBJECT*>(object)
                                                                   : nullptr;
}

RDB_TABLE_OBJECT* as_table(RDB_OBJECT* object)
{
    return object && object->get_kind() == RDB_OBJECT_KIND::TABLE ? static_cast<RDB_TABLE_OBJECT*>(object)
                                                                  : nullptr;
}

//! The "IP Upgrade" main folder of a report, emptied, or null when it has none.
RDB_FOLDER_OBJECT* emptied_main_ip_folder(const RDB_REPORT& report)
{
    for (std::size_t i = 0; i < report.get_number_of_main_folders(); ++i) {
        RDB_FOLDER_OBJECT* folder = report.get_main_folder(i);
        if (folder->get_name() != IP_FOLDER_NAME) continue;
        while (folder->get_number_of_objects() != 0)
            folder->remove_object(folder->get_object(0)->get_name());
        return folder;
    }
    return nullptr;
}

bool holds_legal_notice(const RDB_FOLDER_OBJECT& folder)
{
    for (std::size_t i = 0; i < folder.get_number_of_objects(); ++i)
        if (folder.get_object(i)->get_kind() == RDB_OBJECT_KIND::LEGAL) return true;
    return false;
}

std::string cell_or_empty(const RDB_TABLE_OBJECT& table, std::size_t row, std::size_t column)
{
    const std::string* cell = table.get_cell(row, column);
    return cell ? *cell : std::string();
}

}  // namespace

IPMAN_REPORT_WRITER::IPMAN_REPORT_WRITER(RDB_REPORT* report, IPMAN_REPORT_CONTEXT context,
                                         std::string message_source)
    : m_report(report), m_context(std::move(context)), m_message_source(std::move(message_source))
{
}

IPMAN_REPORT_WRITER::~IPMAN_REPORT_WRITER() = default;

RDB_FOLDER_OBJECT* IPMAN_REPORT_WRITER::current_folder() const
{
    return m_report->get_current_folder();
}

void IPMAN_REPORT_WRITER::create_ip_folder()
{
    RDB_FOLDER_OBJECT* main_folder = m_report->get_main_folder();
    IPMAN_REPORT_REQUIRE(main_folder, "main_folder");
    RDB_FOLDER_OBJECT* ip_folder = nullptr;
    if (main_folder->get_name() == DEFAULT_MAIN_FOLDER_NAME) {
        // A second run on the same report replaces its section instead of adding another.
        ip_folder = emptied_main_ip_folder(*m_report);
        if (!ip_folder)
            ip_folder = m_report->add_main_folder(std::make_unique<RDB_FOLDER_OBJECT>(IP_FOLDER_NAME));
    } else {
        if (rdb_object_exists_in_folder(main_folder, IP_FOLDER_NAME))
            main_folder->remove_object(IP_FOLDER_NAME);
        RDB_OBJECT* found = find_object_recursively(main_folder, IP_FOLDER_NAME);
        ip_folder =
            found ? as_folder(found)
                  : as_folder(main_folder->add_object(std::make_unique<RDB_FOLDER_OBJECT>(IP_FOLDER_NAME)));
    }
    IPMAN_REPORT_REQUIRE(ip_folder, "ip_folder != NULL");
    m_report->set_current_folder(ip_folder);
}

void IPMAN_REPORT_WRITER::add_legal_notice()
{
    RDB_FOLDER_OBJECT* folder = current_folder();
    IPMAN_REPORT_REQUIRE(folder, "ip_folder != NULL");
    if (holds_legal_notice(*folder)) return;
    auto notice = std::make_unique<RDB_LEGAL_OBJECT>(RDB_LEGAL_STR);
    notice->set_is_html(true);
    folder->add_object(std::move(notice));
}

void IPMAN_REPORT_WRITER::write_summary(int failed)
{
    RDB_FOLDER_OBJECT* folder = current_folder();
    IPMAN_REPORT_REQUIRE(folder, "ip_folder");
    RDB_SUMMARY_TABLE_OBJECT* summary = rdb_find_summary_by_name(folder, SUMMARY_NAME);
    if (!summary)
        summary = static_cast<RDB_SUMMARY_TABLE_OBJECT*>(
            folder->add_object(rdb_create_summary_object(SUMMARY_NAME)));
    rdb_set_summary_data(summary, "IP Components Upgrade Status",
                         std::string(failed == 0 ? "Passed" : "Failed") + " - " +
                             gen_get_current_date_and_time());
    rdb_set_summary_data(summary, ver_get_oltran_product_name() + " Version",
                         std::string(ver_is_beta() ? "(Beta) " : "") + ver_get_full_version_for_reports());
    rdb_set_summary_data(summary, RDB_REVISION_NAME, m_context.revision);
    rdb_set_summary_data(summary, RDB_TOP_LEVEL_ENTITY_NAME, m_context.top_level_entity);
    rdb_set_summary_data(summary, RDB_FAMILY, m_context.family);
}

void IPMAN_REPORT_WRITER::create_result_table(IPMAN_REPORT_RESULT_TYPE type)
{
    const char* name = result_table_name(type);
    RDB_FOLDER_OBJECT* folder = current_folder();
    IPMAN_REPORT_REQUIRE(folder, "current_folder != NULL");
    if (rdb_object_exists_in_folder(folder, name)) return;
    std::unique_ptr<RDB_TABLE_OBJECT> table = rdb_create_table(name);
    if (type == IPMAN_REPORT_RESULT_FAILED) table->set_color(RDB_COLOR_RED);
    table->add_row(rdb_create_row(result_columns()));
    folder->add_object(std::move(table));
}

void IPMAN_REPORT_WRITER::add_result_row(const IPMAN_IP_REGEN_RESULT& result)
{
    const IPMAN_IP_INFO info = result.ip_info;
    std::string message;
    if (result.fail_type != IPMAN_FAIL_NONE)
        message = get_msg_from_type(info.ip_generation_file(), result.fail_type)->get_msg_text();
    RDB_TABLE_OBJECT* table =
        find_result_table(result.status != 0 ? IPMAN_REPORT_RESULT_FAILED : IPMAN_REPORT_RESULT_SUCCESS);
    IPMAN_REPORT_REQUIRE(table, "result_table != NULL");
    table->add_row(rdb_create_row({info.entity(), info.tool_name(), info.tool_version(), info.source_file(),
                                   info.ip_generation_file(), result.output_file, message}));
}

RDB_TABLE_OBJECT* IPMAN_REPORT_WRITER::find_result_table(IPMAN_REPORT_RESULT_TYPE type)
{
    const char* name = result_table_name(type);
    RDB_FOLDER_OBJECT* folder = current_folder();
    IPMAN_REPORT_REQUIRE(folder, "ip_folder != NULL");
    return as_table(find_object_recursively(folder, name));
}

void IPMAN_REPORT_WRITER::remove_result_table(IPMAN_REPORT_RESULT_TYPE type)
{
    const char* name = result_table_name(type);
    RDB_FOLDER_OBJECT* folder = current_folder();
    IPMAN_REPORT_REQUIRE(folder, "ip_folder != NULL");
    folder->remove_object(name);
}

void IPMAN_REPORT_WRITER::add_messages()
{
    RDB_FOLDER_OBJECT* folder = current_folder();
    IPMAN_REPORT_REQUIRE(folder, "ip_folder");
    RDB_FOLDER_OBJECT* main_folder = m_report->get_main_folder();
    IPMAN_REPORT_REQUIRE(main_folder, "flow_folder");
    rdb_add_app_messages(folder, IP_FOLDER_NAME, m_context.revision, m_message_source, false);
    rdb_add_flow_messages(main_folder);
}

bool IPMAN_REPORT_WRITER::write_text_report(const char* path, std::string* error)
{
    if (!path) return true;
    RDB_FOLDER_OBJECT* folder = current_folder();
    IPMAN_REPORT_REQUIRE(folder, "ip_folder != NULL");
    RDB_REPORT_GEN generator(*m_report, fmt::format("IP Upgrade report for {}", m_context.revision));
    generator.add_toc_entry(folder);
    return generator.write_report_files(FIO_PATH(path).become_absolute().fullpath(), true, error);
}

void IPMAN_REPORT_WRITER::read_upgrade_attempts(std::map<std::string, IPMAN_UPGRADE_ATTEMPT>& attempts)
{
    if (!current_folder()) {
        if (!m_report->get_main_folder()) return;
        m_report->set_current_folder(m_report->get_main_folder());
    }
    if (const RDB_TABLE_OBJECT* failed = result_table_of_report(IPMAN_REPORT_RESULT_FAILED)) {
        for (std::size_t row = 1; row < failed->get_number_of_rows(); ++row) {
            const std::string* key = failed->get_cell(row, COLUMN_SOURCE_FILE);
            if (!key || key->empty()) continue;
            const bool converted = !cell_or_empty(*failed, row, COLUMN_NEW_SOURCE_FILE).empty();
            attempts[*key] = IPMAN_UPGRADE_ATTEMPT{converted ? IPMAN_UPGRADE_CONVERTED_BUT_FAILED_REGEN
                                                             : IPMAN_UPGRADE_FAILED,
                                                   cell_or_empty(*failed, row, COLUMN_MESSAGE)};
        }
    }
    if (const RDB_TABLE_OBJECT* succeeded = result_table_of_report(IPMAN_REPORT_RESULT_SUCCESS)) {
        for (std::size_t row = 1; row < succeeded->get_number_of_rows(); ++row) {
            const std::string* key = succeeded->get_cell(row, COLUMN_NEW_SOURCE_FILE);
            if (!key || key->empty()) key = succeeded->get_cell(row, COLUMN_SOURCE_FILE);
            if (!key || key->empty()) continue;
            attempts.emplace(*key, IPMAN_UPGRADE_ATTEMPT{IPMAN_UPGRADE_SUCCESS,
                                                         cell_or_empty(*succeeded, row, COLUMN_MESSAGE)});
        }
    }
}

RDB_TABLE_OBJECT* IPMAN_REPORT_WRITER::result_table_of_report(IPMAN_REPORT_RESULT_TYPE type)
{
    if (RDB_TABLE_OBJECT* table = find_result_table(type)) return table;
    // A section written into a skeleton report is a main folder of its own, beside the one
    // the search starts from.
    const char* name = result_table_name(type);
    for (std::size_t i = 0; i < m_report->get_number_of_main_folders(); ++i)
        if (RDB_TABLE_OBJECT* table = as_table(find_object_recursively(m_report->get_main_folder(i), name)))
            return table;
    return nullptr;
}

void IPMAN_REPORT_WRITER::write_results(const std::vector<IPMAN_IP_REGEN_RESULT>& results, int failed)
{
    create_ip_folder();
    add_legal_notice();
    write_summary(failed);
    create_result_table(IPMAN_REPORT_RESULT_SUCCESS);
    create_result_table(IPMAN_REPORT_RESULT_FAILED);
    for (const IPMAN_IP_REGEN_RESULT& result : results)
        add_result_row(result);
    add_messages();
    for (const IPMAN_REPORT_RESULT_TYPE type : {IPMAN_REPORT_RESULT_SUCCESS, IPMAN_REPORT_RESULT_FAILED}) {
        RDB_TABLE_OBJECT* table = find_result_table(type);
        IPMAN_REPORT_REQUIRE(table, "table_object != NULL");
        if (table->get_number_of_rows() == 1) remove_result_table(type);
    }
}
