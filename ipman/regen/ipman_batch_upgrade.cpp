//! @file ipman_batch_upgrade.cpp
//! @brief Batch runs of the system generator: one run over many system files, step markers
//! that attribute error lines to files, and the parallel option from the settings.
#include "regen/ipman_batch_upgrade.h"

#include <acf/acf.h>
#include <cfg/cfg.h>
#include <fio/fio.h>
#include <gen/gen.h>
#include <ipcatalog/olt_string.h>
#include <msg/msg.h>
#include <proc/proc.h>

#include <ipman/ipman_utils.h>

#include <fmt/format.h>

#include <array>
#include <set>

#include "regen/ipman_generator_commands.h"
#include "regen/ipman_process_runner.h"
#include "report/ipman_messages.h"
#include "support/ipman_debug.h"
#include "support/ipman_project.h"

const IPMAN_BATCH_STEP_MARKERS IPMAN_UPGRADE_STEP_MARKERS = {
    "--message-format=begin-ip-core-upgrade=",
    "--message-format=end-ip-core-upgrade=",
    "Entered IP upgrade step for ",
    "Exited IP upgrade step for ",
};

const IPMAN_BATCH_STEP_MARKERS IPMAN_GENERATION_STEP_MARKERS = {
    "--message-format=begin-generation=",
    "--message-format=end-generation=",
    "Entered IP generation step for ",
    "Exited IP generation step for ",
};

namespace {

//! "{1}" is where the generator puts the file it works on; the "." closes the file name.
std::string marker_text(const char* prefix)
{
    return fmt::format("\"{}{{1}}.\"", prefix);
}

//! The job's absolute path when the caller recorded it, else its record's generation file.
std::string job_path(const IPMAN_IP_UPGRADE_JOB& job)
{
    MSG_INTERNAL_ERROR_IF(job.ip_info == nullptr, IPMAN_MODULE_TAG);
    return job.file.empty() ? FIO_PATH(job.ip_info->ip_generation_file()).fullpath() : job.file;
}

//! Same key for the same file, however the generator or the caller spelled it.
std::string file_key(const std::string& path)
{
    return FIO_PATH(path).become_absolute(IPMAN_PROCESS_RUNNER::working_directory()).fullpath();
}

//! Follows the step markers of one batch run and relays the other lines.
class MARKER_TRACKER {
public:
    MARKER_TRACKER(const std::string& begin_prefix, const std::string& end_prefix,
                   const std::string& end_mark, IPMAN_FILE_ERROR_MAP& file_errors)
        : m_begin_prefix(begin_prefix), m_end_prefix(end_prefix), m_end_mark(end_mark),
          m_file_errors(file_errors)
    {
    }

    void handle(const std::string& line)
    {
        if (contains(line, "Error:")) {
            ipman_post_msg(IPMAN_MSG::EIPMAN_EXT_PROC_ERROR_MSG, {line});
            if (!m_current_file.empty()) m_file_errors[m_current_file] = true;
        } else if (contains(line, "Warning:")) {
            ipman_post_msg(IPMAN_MSG::WIPMAN_EXT_PROC_WARNING_MSG, {line});
        } else if (contains(line, m_begin_prefix)) {
            enter_file(line);
        } else if (contains(line, m_end_prefix)) {
            const std::string ended = file_named_after(line, m_end_prefix);
            m_unfinished.erase(ended.empty() ? m_current_file : ended);
            m_current_file.clear();
        } else {
            ipman_post_msg(IPMAN_MSG::IIPMAN_EXT_PROC_INFO_MSG, {line});
        }
    }

    //! In a failed run, a file whose step began but never ended was not finished.
    void fail_unfinished_files()
    {
        for (const std::string& file : m_unfinished)
            m_file_errors[file] = true;
    }

private:
    static bool contains(const std::string& line, const std::string& word)
    {
        return !word.empty() && line.find(word) != std::string::npos;
    }

    //! The file a marker line names, as a key; empty when the line names none.
    std::string file_named_after(const std::string& line, const std::string& prefix) const
    {
        const std::size_t name_start = line.find(prefix) + prefix.size();
        const std::size_t name_end = line.rfind(m_end_mark);
        if (name_end == std::string::npos || name_end <= name_start) return {};
        return file_key(line.substr(name_start, name_end - name_start));
    }

    void enter_file(const std::string& line)
    {
        const std::string file = file_named_after(line, m_begin_prefix);
        if (file.empty()) return;
        m_current_file = file;
        m_unfinished.insert(file);
        m_file_errors.emplace(file, false);
    }

    const std::string m_begin_prefix;
    const std::string m_end_prefix;
    const std::string m_end_mark;
    IPMAN_FILE_ERROR_MAP& m_file_errors;
    std::string m_current_file;
    std::set<std::string> m_unfinished;
};

int run_batch(const IPMAN_UPGRADE_JOB_LIST& jobs, const std::string& option,
              const IPMAN_BATCH_STEP_MARKERS& markers, IPMAN_FILE_ERROR_MAP& file_errors, const char* kind)
{
    if (jobs.empty()) return 0;
    const std::string command = IPMAN_BATCH_UPGRADE::batch_command(jobs, option, markers);
    ipman_debug(
        fmt::format("Final cmdline for launching the executable for batch mode {}: {}", kind, command));
    return IPMAN_BATCH_UPGRADE::batch_run(command, markers.begin_prefix, markers.end_prefix, ".",
                                          file_errors);
}

}  // namespace

std::string IPMAN_BATCH_UPGRADE::batch_file_list(const IPMAN_UPGRADE_JOB_LIST& jobs)
{
    std::string list;
    for (std::size_t i = 0; i < jobs.size(); ++i)
        list += fmt::format(i == 0 ? " {} " : " --batch={} ", thr_quote_word(job_path(jobs[i])));
    return list;
}

std::string IPMAN_BATCH_UPGRADE::parallel_option()
{
    ACF_MANAGER* project = ipman_open_project();
    if (project == nullptr) return {};

    std::string enabled = IPMAN_UTILS::get_acf_parallel_ip_regen_enabled_setting(project);
    if (enabled.empty()) enabled = IPMAN_UTILS::get_user_ini_parallel_ip_regen_enabled_setting();
    ipman_debug(fmt::format("Parallel IP generation enabled count: {}", enabled));

    std::string count = IPMAN_UTILS::get_acf_num_processors_setting(project);
    if (count.empty()) count = IPMAN_UTILS::get_user_ini_num_processors_setting();
    count = gen_ascii_tolower(count);
    ipman_debug(fmt::format("Process count: {}", count));

    if (gen_ascii_tolower(enabled) != "on") return {};
    if (count.empty() || count == "all") return "--parallel";
    return "--parallel=" + count;
}

std::string IPMAN_BATCH_UPGRADE::batch_command(const IPMAN_UPGRADE_JOB_LIST& jobs, const std::string& option,
                                               const IPMAN_BATCH_STEP_MARKERS& markers)
{
    std::string command = IPMAN_GENERATOR_COMMANDS::system_generator_base(option);
    command += " " + batch_file_list(jobs);
    command += " " + std::string(markers.begin_option) + marker_text(markers.begin_prefix);
    command += " " + std::string(markers.end_option) + marker_text(markers.end_prefix);
    command += " ";
    if (jobs.size() > 1) {
        const std::string parallel = parallel_option();
        if (OLT_STRING::is_not_blank(parallel)) command += parallel + " ";
    }
    return command;
}

int IPMAN_BATCH_UPGRADE::batch_upgrade(const IPMAN_UPGRADE_JOB_LIST& jobs, const std::string& option,
                                       IPMAN_FILE_ERROR_MAP& file_errors)
{
    return run_batch(jobs, option, IPMAN_UPGRADE_STEP_MARKERS, file_errors, "ip_upgrade");
}

int IPMAN_BATCH_UPGRADE::batch_generation(const IPMAN_UPGRADE_JOB_LIST& jobs,
                                          IPMAN_FILE_ERROR_MAP& file_errors,
                                          IPMAN_FILE_SET* files_of_failed_runs)
{
    constexpr std::array<IPMAN_BATCH_GENERATION_GROUP, 4> run_order = {
        IPMAN_BATCH_GEN_VERILOG_WITH_SIMULATION, IPMAN_BATCH_GEN_VERILOG_SYNTHESIS_ONLY,
        IPMAN_BATCH_GEN_VHDL_WITH_SIMULATION, IPMAN_BATCH_GEN_VHDL_SYNTHESIS_ONLY};
    std::array<IPMAN_UPGRADE_JOB_LIST, 4> groups;
    for (const IPMAN_IP_UPGRADE_JOB& job : jobs) {
        if (!job.ready) continue;
        MSG_INTERNAL_ERROR_IF(job.ip_info == nullptr, IPMAN_MODULE_TAG);
        const IPMAN_BATCH_GENERATION_GROUP group = IPMAN_GENERATOR_COMMANDS::batch_generation_group(
            job.ip_info->const_supported_filesets(), job.ip_info->regen_language());
        groups[group - IPMAN_BATCH_GEN_VERILOG_WITH_SIMULATION].push_back(job);
    }

    int result = 0;
    for (std::size_t i = 0; i < run_order.size(); ++i) {
        if (groups[i].empty()) continue;
        const std::string option = IPMAN_GENERATOR_COMMANDS::batch_generation_options(run_order[i]);
        if (run_batch(groups[i], option, IPMAN_GENERATION_STEP_MARKERS, file_errors, "generation") == 0)
            continue;
        result = 1;
        if (!files_of_failed_runs) continue;
        for (const IPMAN_IP_UPGRADE_JOB& job : groups[i])
            files_of_failed_runs->insert(file_key(job_path(job)));
    }
    return result;
}

int IPMAN_BATCH_UPGRADE::batch_run(const std::string& command, const std::string& begin_prefix,
                                   const std::string& end_prefix, const std::string& end_mark,
                                   IPMAN_FILE_ERROR_MAP& file_errors)
{
    MARKER_TRACKER tracker(begin_prefix, end_prefix, end_mark, file_errors);
    const int result = IPMAN_PROCESS_RUNNER::run_with_line_handler(
        command, [&tracker](const std::string& line) { tracker.handle(line); });
    if (result != 0) tracker.fail_unfinished_files();
    return result;
}

bool IPMAN_BATCH_UPGRADE::file_failed(const IPMAN_FILE_ERROR_MAP& file_errors, bool run_failed,
                                      const std::string& file)
{
    const auto entry = file_errors.find(file_key(file));
    if (entry == file_errors.end()) return run_failed;
    return entry->second;
}
