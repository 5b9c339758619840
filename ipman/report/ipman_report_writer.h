//! @file ipman_report_writer.h
//! @brief IPMAN_REPORT_WRITER: writes the "IP Upgrade" section of a revision's report (summary,
//! result tables, legal notice, messages, text copy) and reads earlier outcomes back from it.
#pragma once

#include <map>
#include <string>
#include <vector>

#include <ipman/ipman_ip_regen_result.h>

#include "record/ipman_upgrade_attempt.h"

class RDB_REPORT;
class RDB_FOLDER_OBJECT;
class RDB_TABLE_OBJECT;

//! Which result table: the successful or the failed upgrades.
enum IPMAN_REPORT_RESULT_TYPE { IPMAN_REPORT_RESULT_SUCCESS = 0, IPMAN_REPORT_RESULT_FAILED = 1 };

//! What the summary says about the project.
struct IPMAN_REPORT_CONTEXT {
    std::string revision, top_level_entity, family;
};

//! Arranges objects in a report it does not own; made for one report and then dropped.
class IPMAN_REPORT_WRITER {
public:
    IPMAN_REPORT_WRITER(RDB_REPORT* report, IPMAN_REPORT_CONTEXT context, std::string message_source = "");
    virtual ~IPMAN_REPORT_WRITER();

    //! Makes the "IP Upgrade" folder current: a new main folder in a skeleton report,
    //! else a fresh folder of the main folder replacing the earlier one.
    void create_ip_folder();
    //! Adds the legal notice to the current folder unless it holds one.
    void add_legal_notice();
    //! Creates or fills "IP Upgrade Summary"; failed is 0 for a run without failures.
    void write_summary(int failed);
    //! Creates the table with its header row unless the current folder holds it.
    void create_result_table(IPMAN_REPORT_RESULT_TYPE type);
    //! Appends the result to the table its status selects.
    void add_result_row(const IPMAN_IP_REGEN_RESULT& result);
    //! The table below the current folder, or null.
    RDB_TABLE_OBJECT* find_result_table(IPMAN_REPORT_RESULT_TYPE type);
    void remove_result_table(IPMAN_REPORT_RESULT_TYPE type);
    //! Adds the messages posted during the run and the flow's messages.
    void add_messages();
    //! Writes the text copy; nothing for a null path. False with a reason when it cannot.
    bool write_text_report(const char* path, std::string* error = nullptr);
    //! Fills attempts from both result tables, keyed by source file (the new source file of
    //! a successful upgrade that made one). Failed rows win over successful ones.
    void read_upgrade_attempts(std::map<std::string, IPMAN_UPGRADE_ATTEMPT>& attempts);
    //! The driver's sequence up to (not including) the text copy: folder, legal notice,
    //! summary, both tables, a row per result, messages, removal of header-only tables.
    void write_results(const std::vector<IPMAN_IP_REGEN_RESULT>& results, int failed);

private:
    RDB_FOLDER_OBJECT* current_folder() const;
    //! The table below the current folder, else in any main folder of the report.
    RDB_TABLE_OBJECT* result_table_of_report(IPMAN_REPORT_RESULT_TYPE type);

    RDB_REPORT* m_report;
    IPMAN_REPORT_CONTEXT m_context;
    std::string m_message_source;
};
