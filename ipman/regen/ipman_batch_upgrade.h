//! @file ipman_batch_upgrade.h
//! @brief Batch upgrade of many system files in one generator run, the generation batches
//! that follow it, and the step markers that attribute generator errors to files.
#pragma once

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

#include <ipman/ipman_ip_info.h>

//! One variation of a batch upgrade.
struct IPMAN_IP_UPGRADE_JOB {
    const IPMAN_IP_INFO* ip_info = nullptr;  //!< the record being upgraded, not owned
    std::string file;                        //!< absolute full path of its generation file
    std::string backup_file;                 //!< backup of that file
    std::string top_level_backup_file;       //!< backup of its top-level file, empty if none
    std::string top_level_file;              //!< generated top-level HDL file after success
    std::int32_t status = 0;                 //!< 0 success, 1 failure
    IPMAN_FAIL_REGEN_TYPE fail_type = IPMAN_FAIL_NONE;
    bool ready = false;  //!< upgraded, and still needs a generation run
};

using IPMAN_UPGRADE_JOB_LIST = std::vector<IPMAN_IP_UPGRADE_JOB>;
//! Full path of every file the generator announced, to whether an error was attributed to it.
using IPMAN_FILE_ERROR_MAP = std::map<std::string, bool>;
//! Full paths of files.
using IPMAN_FILE_SET = std::set<std::string>;

//! Option and marker texts of one kind of batch step.
struct IPMAN_BATCH_STEP_MARKERS {
    const char* begin_option;  //!< "--message-format=begin-...="
    const char* end_option;    //!< "--message-format=end-...="
    const char* begin_prefix;  //!< "Entered IP ... step for "
    const char* end_prefix;    //!< "Exited IP ... step for "
};
extern const IPMAN_BATCH_STEP_MARKERS IPMAN_UPGRADE_STEP_MARKERS;
extern const IPMAN_BATCH_STEP_MARKERS IPMAN_GENERATION_STEP_MARKERS;

//! Batch runs of the system generator; never instantiated.
class IPMAN_BATCH_UPGRADE {
public:
    IPMAN_BATCH_UPGRADE() = delete;

    //! ` "FIRST" ` then ` --batch="NEXT" ` for every further job (its file, else its record's
    //! generation file); empty for no jobs. A job without a record is a broken invariant.
    static std::string batch_file_list(const IPMAN_UPGRADE_JOB_LIST& jobs);
    //! "--parallel", "--parallel=N" or empty, from the project's settings, else the user's.
    static std::string parallel_option();
    //! The whole command line of one batch over jobs: base for option, files, markers, and
    //! the parallel option for more than one job.
    static std::string batch_command(const IPMAN_UPGRADE_JOB_LIST& jobs, const std::string& option,
                                     const IPMAN_BATCH_STEP_MARKERS& markers);

    //! One generator run upgrading every job's file with option ("--upgrade-ip-cores").
    //! Adds each announced file to file_errors. 0 when the generator exited with 0.
    static int batch_upgrade(const IPMAN_UPGRADE_JOB_LIST& jobs, const std::string& option,
                             IPMAN_FILE_ERROR_MAP& file_errors);
    //! One generation run per non-empty group of ready jobs. Adds each announced file to
    //! file_errors; the files of jobs whose run could not start or exited non-zero go to
    //! files_of_failed_runs when given. 0 when every run succeeded.
    static int batch_generation(const IPMAN_UPGRADE_JOB_LIST& jobs, IPMAN_FILE_ERROR_MAP& file_errors,
                                IPMAN_FILE_SET* files_of_failed_runs = nullptr);
    //! Runs command, following the begin and end markers (a begin line names the file up to
    //! the last end_mark of the line) to attribute "Error:" lines to the current file.
    //! 0 when the generator exited with 0.
    static int batch_run(const std::string& command, const std::string& begin_prefix,
                         const std::string& end_prefix, const std::string& end_mark,
                         IPMAN_FILE_ERROR_MAP& file_errors);

    //! How a batch judges one file: failed when an error was attributed to it, or when the
    //! run that covered it failed and never announced it (a generator that died early must
    //! not pass the files it never reached).
    static bool file_failed(const IPMAN_FILE_ERROR_MAP& file_errors, bool run_failed,
                            const std::string& file);
};
