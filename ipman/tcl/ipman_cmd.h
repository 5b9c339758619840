//! @file ipman_cmd.h
//! @brief IPMAN_CMD: the IP Upgrade step as the compile framework knows it, and the
//! "IP Upgrade" report of the active revision.
#pragma once

#include <vcu/vcu.h>

#include <string>

class RDB_REPORT;

//! One instance per process. The upgrade driver sets its project and revision and shows
//! progress through its facade; the report accessor below finds the step's report.
class IPMAN_CMD : public VCU_FRAMEWORK {
public:
    //! The one instance, made on the first call (safe against concurrent first calls).
    static IPMAN_CMD& get();
    ~IPMAN_CMD() override;

    const char* get_executable_name() const override { return "mw-regenerate"; }
    const char* get_display_name() const override { return "IP Upgrade"; }
    const char* get_message_prefix() const override { return "IPRGEN"; }
    const char* get_short_name() const override { return "ipregen"; }
    //! The argument usage list, null-terminated.
    const char* const* get_argument_usage() const;

    //! Whether the report store has been given its database for this process.
    bool is_report_database_prepared() const { return m_report_database_prepared; }
    void set_report_database_prepared(bool prepared) { m_report_database_prepared = prepared; }
    //! Gives the report store the open project's db/reports.sqlite unless it has a
    //! database already. A path chosen here for an earlier project is replaced, so that one
    //! project's reports never land in another's database.
    void prepare_report_database();

private:
    IPMAN_CMD();

    bool m_report_database_prepared = false;
    std::string m_chosen_database_path;  //!< the path prepare_report_database last set
};

//! The "IP Upgrade" report of the active revision, created once per revision and process.
//! Null when no project is open.
RDB_REPORT* ipman_get_ip_upgrade_report(IPMAN_CMD& module);
