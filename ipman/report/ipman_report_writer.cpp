//! @file ipman_report_writer.cpp
//! @brief The "IP Upgrade" report section and the read-back of earlier upgrade outcomes.
#include "report/ipman_report_writer.h"

#include <rdb/rdb.h>

#include <stdexcept>

IPMAN_REPORT_WRITER::IPMAN_REPORT_WRITER(RDB_REPORT* report, IPMAN_REPORT_CONTEXT context,
                                         std::string message_source)
    : m_report(report), m_context(std::move(context)), m_message_source(std::move(message_source))
{
}

IPMAN_REPORT_WRITER::~IPMAN_REPORT_WRITER() = default;

void IPMAN_REPORT_WRITER::create_ip_folder()
{
    throw std::logic_error("not yet");
}
void IPMAN_REPORT_WRITER::add_legal_notice()
{
    throw std::logic_error("not yet");
}
void IPMAN_REPORT_WRITER::write_summary(int)
{
    throw std::logic_error("not yet");
}
void IPMAN_REPORT_WRITER::create_result_table(IPMAN_REPORT_RESULT_TYPE)
{
    throw std::logic_error("not yet");
}
void IPMAN_REPORT_WRITER::add_result_row(const IPMAN_IP_REGEN_RESULT&)
{
    throw std::logic_error("not yet");
}
RDB_TABLE_OBJECT* IPMAN_REPORT_WRITER::find_result_table(IPMAN_REPORT_RESULT_TYPE)
{
    return nullptr;
}
void IPMAN_REPORT_WRITER::remove_result_table(IPMAN_REPORT_RESULT_TYPE) {}
void IPMAN_REPORT_WRITER::add_messages() {}
bool IPMAN_REPORT_WRITER::write_text_report(const char*, std::string*)
{
    return false;
}
void IPMAN_REPORT_WRITER::read_upgrade_attempts(std::map<std::string, IPMAN_UPGRADE_ATTEMPT>&) {}
void IPMAN_REPORT_WRITER::write_results(const std::vector<IPMAN_IP_REGEN_RESULT>&, int)
{
    throw std::logic_error("not yet");
}
RDB_FOLDER_OBJECT* IPMAN_REPORT_WRITER::current_folder() const
{
    return m_report->get_current_folder();
}
