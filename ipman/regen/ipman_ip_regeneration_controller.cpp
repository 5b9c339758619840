//! @file ipman_ip_regeneration_controller.cpp
//! @brief Upgrades of one variation per upgrade flow and of batches of system files, with
//! backup and restore, the deployment run, and the remembered upgrade attempts.
#include "regen/ipman_ip_regeneration_controller.h"

#include <acf/acf.h>
#include <cfg/cfg.h>
#include <fio/fio.h>
#include <ipcatalog/ipcatalog.h>
#include <msg/msg.h>
#include <rdb/rdb.h>
#include <wizman/wizman.h>

#include <atomic>
#include <cstdio>
#include <memory>

#include "discovery/ipman_legacy_variation_reader.h"
#include "regen/ipman_upgrade_snapshot.h"
#include "report/ipman_messages.h"
#include "report/ipman_report_writer.h"
#include "support/ipman_debug.h"
#include "support/ipman_project.h"

namespace {

std::string active_revision_name()
{
    ACF_MANAGER* acf = ipman_open_project();
    return acf ? acf->get_revision_manager()->get_active_revision_name() : std::string();
}

//! Generators run in the project directory, so a relative generation file means a file there.
std::string absolute_generation_file(const IPMAN_IP_INFO& info)
{
    ACF_MANAGER* acf = ipman_open_project();
    return FIO_PATH(info.ip_generation_file()).become_absolute(acf ? acf->get_project_path() : "").fullpath();
}

//! Notices error messages posted while it lives: generators may report a failure only
//! through an "Error:" line and still exit with 0.
class ERROR_MESSAGE_WATCH {
public:
    ERROR_MESSAGE_WATCH()
        : m_handle(msg_add_listener([this](const MSG_RECORD& record) {
              if (record.type == MSG_POST_ERROR) m_seen = true;
          }))
    {
    }
    ~ERROR_MESSAGE_WATCH() { msg_remove_listener(m_handle); }
    ERROR_MESSAGE_WATCH(const ERROR_MESSAGE_WATCH&) = delete;
    ERROR_MESSAGE_WATCH& operator=(const ERROR_MESSAGE_WATCH&) = delete;

    bool seen() const { return m_seen; }

private:
    std::atomic<bool> m_seen{false};
    const int m_handle;
};

struct FILE_CLOSER {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

bool can_open_for_appending(const std::string& file)
{
    return std::unique_ptr<std::FILE, FILE_CLOSER>(FIO_FILE_SYSTEM::fopen(file, "a")) != nullptr;
}

int variation_file_check(const std::string& file, IPMAN_FAIL_REGEN_TYPE& fail_type)
{
    if (!FIO_FILE_SYSTEM::exists(file)) {
        fail_type = IPMAN_FAIL_INVALID_FILE;
        return 1;
    }
    if (!wizman_file_was_wizard_generated(file)) {
        fail_type = IPMAN_FAIL_NOT_VARIATION_FILE;
        return 1;
    }
    if (!can_open_for_appending(file)) {
        fail_type = IPMAN_FAIL_READ_ONLY_FILE;
        return 1;
    }
    return 0;
}

//! A backup that could not be written must not be used: restoring an older backup of the
//! same name would replace the file with stale content.
std::string make_backup(const std::string& file, const std::string& directory = "")
{
    std::string backup;
    const bool made = directory.empty() ? IPMAN_FILE_BACKUP::backup_beside(file, backup)
                                        : IPMAN_FILE_BACKUP::backup_into_directory(file, directory, backup);
    return made ? backup : std::string();
}

void restore_backup(const std::string& backup)
{
    if (!backup.empty()) IPMAN_FILE_BACKUP::restore(backup);
}

using UPGRADED_SYSTEMS = std::map<std::string, std::string>;

std::string content_of(const std::string& file)
{
    std::string text;
    FIO_FILE_SYSTEM::read_file(file, text);
    return text;
}

//! The attempt rewrote the system file, or it is exactly as an earlier passed attempt left it;
//! an upgrade that leaves the file as it was upgraded nothing.
bool cores_upgraded(const IPMAN_UPGRADE_SNAPSHOT& snapshot, const std::string& file,
                    const UPGRADED_SYSTEMS& upgraded)
{
    if (snapshot.written_since_taken(file)) return true;
    const auto earlier = upgraded.find(file);
    return earlier != upgraded.end() && earlier->second == content_of(file);
}

//! One upgrade attempt of one variation, by its upgrade flow.
class SINGLE_UPGRADE {
public:
    SINGLE_UPGRADE(const IPMAN_IP_INFO& info, bool new_layout, UPGRADED_SYSTEMS& upgraded)
        : m_info(info), m_new_layout(new_layout), m_file(absolute_generation_file(info)),
          m_directory(FIO_PATH(m_file).full_directory()), m_upgraded(upgraded)
    {
    }

    void run()
    {
        switch (m_info.upgrade_flow()) {
        case IPMAN_TESSEL_UPGRADE_IP_CORES:
        case IPMAN_TESSEL_UPGRADE_IP_CORES_TO_VIP:
        case IPMAN_VARIATION_TO_TESSEL_SA_WITH_TESSEL:
        case IPMAN_VKELVANE_SILENT:
        case IPMAN_VKELVANE_LEGACY_SILENT:
            run_flow();
            break;
        default:
            refuse(IPMAN_FAIL_NO_CMD_SUPPORT);
            break;
        }
    }

    void fill(IPMAN_IP_REGEN_RESULT& result) const
    {
        result.backup_file = m_recorded_backup;
        result.top_level_file = m_top_level_file;
        result.output_file = m_output_file;
        result.fail_type = m_fail_type;
        result.status = m_status;
        result.ip_info = m_info;
    }

private:
    //! Whatever the flow fails on, every file it may have written is put back; after a
    //! success only the backup recorded for the caller remains.
    void run_flow()
    {
        if (takes_variation_file() && !is_upgradable_variation_file())
            return refuse(IPMAN_FAIL_NOT_VARIATION_FILE);
        const std::vector<std::string> written =
            IPMAN_UPGRADE_SNAPSHOT::paths_written_for(m_file, m_info.ip_top_level_file());
        if (!m_snapshot.take(written)) return refuse(snapshot_failure_type());
        run_flow_steps();
        if (m_status != 0 && !m_started) return m_snapshot.discard();
        if (m_status != 0) {
            m_snapshot.restore();
        } else {
            m_snapshot.discard();
        }
        // Put back or superseded, the backup is of no more use unless handed on.
        if (!m_backup.empty() && m_backup != m_recorded_backup) FIO_FILE_SYSTEM::remove_if_exists(m_backup);
    }

    bool takes_variation_file() const
    {
        const IPMAN_IP_UPGRADE_FLOW_ENUM flow = m_info.upgrade_flow();
        return flow == IPMAN_VARIATION_TO_TESSEL_SA_WITH_TESSEL || flow == IPMAN_VKELVANE_SILENT ||
               flow == IPMAN_VKELVANE_LEGACY_SILENT;
    }

    IPMAN_FAIL_REGEN_TYPE snapshot_failure_type() const
    {
        switch (m_info.upgrade_flow()) {
        case IPMAN_VARIATION_TO_TESSEL_SA_WITH_TESSEL:
            return IPMAN_FAIL_TESSEL_UPGRADE_VARIATION_FAILED;
        case IPMAN_VKELVANE_SILENT:
        case IPMAN_VKELVANE_LEGACY_SILENT:
            return IPMAN_FAIL_VKELVANE_SILENT_FAILED;
        default:
            return IPMAN_FAIL_TESSEL_UPGRADE_IP_CORES_FAILED;
        }
    }

    void run_flow_steps()
    {
        switch (m_info.upgrade_flow()) {
        case IPMAN_TESSEL_UPGRADE_IP_CORES:
            upgrade_ip_cores_in_place();
            break;
        case IPMAN_TESSEL_UPGRADE_IP_CORES_TO_VIP:
            upgrade_ip_cores_to_ip_list();
            break;
        case IPMAN_VARIATION_TO_TESSEL_SA_WITH_TESSEL:
            convert_variation();
            break;
        case IPMAN_VKELVANE_SILENT:
            run_wizard(".vip", false);
            break;
        case IPMAN_VKELVANE_LEGACY_SILENT:
            run_wizard(".tessel", true);
            break;
        default:
            break;
        }
    }

    //! An upgrade that leaves the system file as it was upgraded nothing. Without the new
    //! layout the system file is generated after its cores are upgraded, and that generation
    //! must write its top-level file.
    void upgrade_ip_cores_in_place()
    {
        if (!back_up_system_file()) return refuse(IPMAN_FAIL_TESSEL_UPGRADE_IP_CORES_FAILED);
        announce_start();
        ERROR_MESSAGE_WATCH errors;
        bool succeeded = IPMAN_GENERATOR_COMMANDS::run_system_generator(m_file, "--upgrade-ip-cores") == 0 &&
                         !errors.seen() && cores_upgraded(m_snapshot, m_file, m_upgraded);
        if (succeeded && !m_new_layout) {
            succeeded = IPMAN_GENERATOR_COMMANDS::run_generation(m_file, m_info.const_supported_filesets(),
                                                                 m_info.regen_language()) == 0 &&
                        !errors.seen() && !fresh_top_level_file().empty();
        }
        if (!succeeded) return fail(IPMAN_FAIL_TESSEL_UPGRADE_IP_CORES_FAILED);
        m_top_level_file = m_new_layout ? generated_top_level_file() : fresh_top_level_file();
        m_upgraded[m_file] = content_of(m_file);
    }

    void upgrade_ip_cores_to_ip_list()
    {
        if (!back_up_system_file()) return refuse(IPMAN_FAIL_TESSEL_UPGRADE_IP_CORES_FAILED);
        announce_start();
        ERROR_MESSAGE_WATCH errors;
        const int code = IPMAN_GENERATOR_COMMANDS::upgrade_system_file_to_ip_list(
            m_file, m_info.const_supported_filesets(), m_output_file, m_info.regen_language(), m_new_layout);
        if (code != 0 || errors.seen() || !cores_upgraded(m_snapshot, m_file, m_upgraded) ||
            !m_snapshot.written_since_taken(m_output_file))
            return fail(IPMAN_FAIL_TESSEL_UPGRADE_IP_CORES_FAILED);
        m_top_level_file = fresh_top_level_file();
        m_upgraded[m_file] = content_of(m_file);
    }

    void convert_variation()
    {
        m_backup = make_backup(m_file);
        if (m_backup.empty()) return refuse(IPMAN_FAIL_TESSEL_UPGRADE_VARIATION_FAILED);
        announce_start();
        ERROR_MESSAGE_WATCH errors;
        const int code = IPMAN_GENERATOR_COMMANDS::convert_variation_to_system(
            m_file, false, m_info.const_supported_filesets(), m_output_file, m_info.regen_language(),
            m_new_layout);
        if (code != 0 || errors.seen() || !m_snapshot.written_since_taken(m_output_file))
            return fail(IPMAN_FAIL_TESSEL_UPGRADE_VARIATION_FAILED);
        m_top_level_file = fresh_top_level_file();
        m_recorded_backup = m_backup;
    }

    //! The wizard runs without the project, so a silent core's variation is first given the
    //! project's device family (the backup keeps the original lines).
    void run_wizard(const char* output_extension, bool output_is_system_file)
    {
        m_backup = make_backup(m_file);
        if (m_backup.empty()) return refuse(IPMAN_FAIL_VKELVANE_SILENT_FAILED);
        announce_start();
        rewrite_device_family_lines(m_info.tool_name(), m_file, m_file);
        ERROR_MESSAGE_WATCH errors;
        const int code = IPMAN_GENERATOR_COMMANDS::run_legacy_wizard_silent(m_file);
        const std::string expected = m_directory + FIO_PATH(m_file).base() + output_extension;
        if (code != 0 || errors.seen() || !m_snapshot.written_since_taken(expected))
            return fail(IPMAN_FAIL_VKELVANE_SILENT_FAILED);
        m_output_file = expected;
        m_top_level_file = output_is_system_file ? generated_top_level_file() : m_file;
        m_recorded_backup = m_backup;
    }

    bool back_up_system_file()
    {
        m_backup = make_backup(m_file);
        if (m_backup.empty()) return false;
        if (!m_info.ip_top_level_file().empty())
            m_recorded_backup = make_backup(m_info.ip_top_level_file(), m_directory);
        return true;
    }

    bool is_upgradable_variation_file() const
    {
        IPMAN_FAIL_REGEN_TYPE ignored = IPMAN_FAIL_NONE;
        return variation_file_check(m_file, ignored) == 0;
    }

    void announce_start()
    {
        m_started = true;
        ipman_post_msg(IPMAN_MSG::IIPMAN_IPRGEN_START, {m_info.tool_name(), m_file});
    }

    std::string generated_top_level_file() const
    {
        return IPMAN_GENERATOR_COMMANDS::top_level_file(m_file, m_new_layout, m_info.regen_language());
    }

    //! The top-level file this attempt's generation wrote; one left by an earlier run is no
    //! proof that the generator worked.
    std::string fresh_top_level_file() const
    {
        const std::string file = generated_top_level_file();
        return !file.empty() && m_snapshot.written_since_taken(file) ? file : std::string();
    }

    //! Failure before anything ran: no file was touched.
    void refuse(IPMAN_FAIL_REGEN_TYPE type)
    {
        m_fail_type = type;
        m_status = 1;
    }

    //! The files the attempt wrote are removed again (run_flow), so a failure names no output.
    void fail(IPMAN_FAIL_REGEN_TYPE type)
    {
        restore_backup(m_backup);
        if (!m_recorded_backup.empty() && m_recorded_backup != m_backup)
            FIO_FILE_SYSTEM::remove_if_exists(m_recorded_backup);
        m_recorded_backup.clear();
        m_output_file.clear();
        refuse(type);
    }

    const IPMAN_IP_INFO& m_info;
    const bool m_new_layout;
    const std::string m_file;
    const std::string m_directory;
    std::string m_backup;
    std::string m_recorded_backup;
    std::string m_top_level_file;
    std::string m_output_file;
    IPMAN_UPGRADE_SNAPSHOT m_snapshot;
    UPGRADED_SYSTEMS& m_upgraded;
    bool m_started = false;  //!< a generator may have written files
    IPMAN_FAIL_REGEN_TYPE m_fail_type = IPMAN_FAIL_NONE;
    std::int32_t m_status = 0;
};

//! A job whose files could not be kept aside starts failed and is never run.
IPMAN_IP_UPGRADE_JOB make_batch_job(const IPMAN_IP_INFO& info, IPMAN_UPGRADE_SNAPSHOT& snapshot)
{
    IPMAN_IP_UPGRADE_JOB job;
    job.ip_info = &info;
    job.file = absolute_generation_file(info);
    if (!snapshot.take(IPMAN_UPGRADE_SNAPSHOT::paths_written_for(job.file, info.ip_top_level_file()))) {
        job.status = 1;
        return job;
    }
    job.backup_file = make_backup(job.file);
    if (job.backup_file.empty()) {
        job.status = 1;
        return job;
    }
    if (!info.ip_top_level_file().empty())
        job.top_level_backup_file =
            make_backup(info.ip_top_level_file(), FIO_PATH(job.file).full_directory());
    return job;
}

IPMAN_UPGRADE_JOB_LIST jobs_still_running(const IPMAN_UPGRADE_JOB_LIST& jobs)
{
    IPMAN_UPGRADE_JOB_LIST running;
    for (const IPMAN_IP_UPGRADE_JOB& job : jobs) {
        if (job.status == 0) running.push_back(job);
    }
    return running;
}

//! A file the generator never announced fails when its run failed: a generator that ended
//! early did not upgrade the files it did not reach. Nor did it upgrade a file it left as it
//! was.
void judge_upgrade_step(IPMAN_UPGRADE_JOB_LIST& jobs, const std::vector<IPMAN_UPGRADE_SNAPSHOT>& snapshots,
                        const UPGRADED_SYSTEMS& upgraded, const IPMAN_FILE_ERROR_MAP& file_errors,
                        bool run_failed, bool new_layout)
{
    for (std::size_t k = 0; k < jobs.size(); ++k) {
        IPMAN_IP_UPGRADE_JOB& job = jobs[k];
        if (job.status != 0) continue;
        if (IPMAN_BATCH_UPGRADE::file_failed(file_errors, run_failed, job.file) ||
            !cores_upgraded(snapshots[k], job.file, upgraded))
            job.status = 1;
        else
            job.ready = !new_layout;
    }
}

//! A generation that writes no top-level file did not generate the system, whatever an
//! earlier run left there.
void judge_generation_step(IPMAN_UPGRADE_JOB_LIST& jobs, const std::vector<IPMAN_UPGRADE_SNAPSHOT>& snapshots,
                           const IPMAN_FILE_ERROR_MAP& file_errors,
                           const IPMAN_FILE_SET& files_of_failed_runs, bool new_layout)
{
    for (std::size_t k = 0; k < jobs.size(); ++k) {
        IPMAN_IP_UPGRADE_JOB& job = jobs[k];
        if (!job.ready) continue;
        const bool run_failed = files_of_failed_runs.count(job.file) != 0;
        const std::string top_level =
            IPMAN_GENERATOR_COMMANDS::top_level_file(job.file, new_layout, job.ip_info->regen_language());
        const bool generated = !top_level.empty() && snapshots[k].written_since_taken(top_level);
        if (IPMAN_BATCH_UPGRADE::file_failed(file_errors, run_failed, job.file) || !generated) job.status = 1;
    }
}

void finish_batch_job(IPMAN_IP_UPGRADE_JOB& job, IPMAN_UPGRADE_SNAPSHOT& snapshot, bool new_layout)
{
    if (job.status != 0) {
        job.fail_type = IPMAN_FAIL_TESSEL_UPGRADE_IP_CORES_FAILED;
        restore_backup(job.backup_file);
        snapshot.restore();
        if (!job.top_level_backup_file.empty()) FIO_FILE_SYSTEM::remove_if_exists(job.top_level_backup_file);
        job.top_level_backup_file.clear();
    } else {
        snapshot.discard();
    }
    // Only the top-level backup of a passed job is handed on, for the port comparison.
    if (!job.backup_file.empty()) FIO_FILE_SYSTEM::remove_if_exists(job.backup_file);
    if (job.status != 0) return;
    job.top_level_file =
        IPMAN_GENERATOR_COMMANDS::top_level_file(job.file, new_layout, job.ip_info->regen_language());
}

IPMAN_IP_REGEN_RESULT batch_job_result(const IPMAN_IP_UPGRADE_JOB& job)
{
    IPMAN_IP_REGEN_RESULT result;
    result.ip_info = *job.ip_info;
    result.status = job.status;
    result.fail_type = job.fail_type;
    result.backup_file = job.top_level_backup_file;
    result.top_level_file = job.top_level_file;
    return result;
}

}  // namespace

IPMAN_IP_REGENERATION_CONTROLLER::~IPMAN_IP_REGENERATION_CONTROLLER() = default;

void IPMAN_IP_REGENERATION_CONTROLLER::do_ip_deploy(const std::string& arguments,
                                                    IPMAN_IP_REGEN_RESULT& result)
{
    result.status = IPMAN_PROCESS_RUNNER::run(IPMAN_GENERATOR_COMMANDS::deployment_command(arguments));
}

void IPMAN_IP_REGENERATION_CONTROLLER::do_ip_upgrade_for_ip_info(const IPMAN_IP_INFO& info,
                                                                 IPMAN_IP_REGEN_RESULT& result)
{
    SINGLE_UPGRADE upgrade(info, family_test_holds(), m_upgraded_systems);
    upgrade.run();
    upgrade.fill(result);
}

void IPMAN_IP_REGENERATION_CONTROLLER::do_ip_upgrade_for_ip_info_batch_mode(
    const std::vector<IPMAN_IP_INFO>& records, const std::vector<std::size_t>& selected,
    std::vector<IPMAN_IP_REGEN_RESULT>& results)
{
    const bool new_layout = family_test_holds();
    IPMAN_UPGRADE_JOB_LIST jobs;
    std::vector<IPMAN_UPGRADE_SNAPSHOT> snapshots;  // one per job
    snapshots.reserve(selected.size());
    for (const std::size_t index : selected) {
        MSG_INTERNAL_ERROR_IF(index >= records.size(), IPMAN_MODULE_TAG);
        if (records[index].upgrade_flow() != IPMAN_TESSEL_UPGRADE_IP_CORES) continue;
        snapshots.emplace_back();
        jobs.push_back(make_batch_job(records[index], snapshots.back()));
    }

    IPMAN_FILE_ERROR_MAP file_errors;
    const bool upgrade_failed =
        IPMAN_BATCH_UPGRADE::batch_upgrade(jobs_still_running(jobs), "--upgrade-ip-cores", file_errors) != 0;
    judge_upgrade_step(jobs, snapshots, m_upgraded_systems, file_errors, upgrade_failed, new_layout);

    file_errors.clear();
    IPMAN_FILE_SET files_of_failed_runs;
    IPMAN_BATCH_UPGRADE::batch_generation(jobs, file_errors, &files_of_failed_runs);
    judge_generation_step(jobs, snapshots, file_errors, files_of_failed_runs, new_layout);

    for (std::size_t k = 0; k < jobs.size(); ++k) {
        finish_batch_job(jobs[k], snapshots[k], new_layout);
        if (jobs[k].status == 0) m_upgraded_systems[jobs[k].file] = content_of(jobs[k].file);
        results.push_back(batch_job_result(jobs[k]));
    }
}

void IPMAN_IP_REGENERATION_CONTROLLER::reset_attempts_if_revision_changed()
{
    if (ipman_open_project() && active_revision_name() == m_attempts_revision) return;
    m_upgrade_attempts.clear();
}

void IPMAN_IP_REGENERATION_CONTROLLER::add_successful_upgrade_attempt(const std::string& file)
{
    remember_attempt(file, IPMAN_UPGRADE_SUCCESS, "");
}

void IPMAN_IP_REGENERATION_CONTROLLER::add_failed_upgrade_attempt(const std::string& file,
                                                                  const std::string& message)
{
    remember_attempt(file, IPMAN_UPGRADE_FAILED, message);
}

void IPMAN_IP_REGENERATION_CONTROLLER::add_attempted_upgrade(const std::string& file,
                                                             const std::string& message)
{
    remember_attempt(file, IPMAN_UPGRADE_ATTEMPTED, message);
}

void IPMAN_IP_REGENERATION_CONTROLLER::load_ip_regen_results_from_report(RDB_REPORT* report)
{
    if (!report) {
        // Outcomes of another revision must not be taken for this one's.
        reset_attempts_if_revision_changed();
        m_attempts_revision.clear();
        if (!ipman_open_project()) return;
        m_attempts_revision = active_revision_name();
        report = RDB_REPORT::get_report(m_attempts_revision, RDB_REPORT_TYPE_COMPILATION);
        if (!report) return;
        report->set_current_folder(report->get_main_folder());
    } else if (report->get_revision() != m_attempts_revision) {
        m_upgrade_attempts.clear();
        m_attempts_revision = report->get_revision();
    }
    IPMAN_REPORT_WRITER(report, IPMAN_REPORT_CONTEXT{}).read_upgrade_attempts(m_upgrade_attempts);
}

void IPMAN_IP_REGENERATION_CONTROLLER::ensure_ip_catalog()
{
    if (!m_ip_catalog) m_ip_catalog = IPCATALOG_VORLIN_IP_CATALOG_MANAGER::instance(false);
}

int IPMAN_IP_REGENERATION_CONTROLLER::check_variation_file(const std::string& file,
                                                           IPMAN_FAIL_REGEN_TYPE& fail_type) const
{
    return variation_file_check(file, fail_type);
}

bool IPMAN_IP_REGENERATION_CONTROLLER::family_test_holds() const
{
    if (!m_memo) return ipman_family_test_holds(m_project_family);
    std::optional<std::pair<DEV_FAMILY_ENUM, bool>>& known = m_memo->family_test;
    if (!known || known->first != m_project_family)
        known.emplace(m_project_family, ipman_family_test_holds(m_project_family));
    return known->second;
}

bool IPMAN_IP_REGENERATION_CONTROLLER::generation_file_exists(const std::string& path)
{
    if (!m_memo) return FIO_FILE_SYSTEM::exists(FIO_PATH(path));
    std::optional<std::pair<std::string, bool>>& last = m_memo->last_file_exists;
    if (!last || last->first != path) {
        const bool read = m_memo->file_was_read && m_memo->file_was_read(path);
        last.emplace(path, read || FIO_FILE_SYSTEM::exists(FIO_PATH(path)));
    }
    return last->second;
}

void IPMAN_IP_REGENERATION_CONTROLLER::take_read_files_as_existing(
    std::function<bool(const std::string&)> was_read)
{
    if (m_memo) m_memo->file_was_read = std::move(was_read);
}

bool IPMAN_IP_REGENERATION_CONTROLLER::trace_wanted()
{
    // The environment is read once per conversion rather than once per analysed record.
    if (!m_memo) return ipman_debug_enabled();
    if (!m_memo->trace_wanted) m_memo->trace_wanted = ipman_debug_enabled();
    return *m_memo->trace_wanted;
}

IPMAN_IP_REGENERATION_CONTROLLER::CONVERSION_MEMO::~CONVERSION_MEMO() = default;

bool IPMAN_IP_REGENERATION_CONTROLLER::setting_is_on(const std::string& name, bool default_value)
{
    if (!m_memo) return cfg_is_on(name, default_value);
    auto known = m_memo->settings_on.find(name);
    if (known == m_memo->settings_on.end()) known = m_memo->settings_on.try_emplace(name).first;
    std::optional<bool>& answer = default_value ? known->second.first : known->second.second;
    if (!answer) answer = cfg_is_on(name, default_value);
    return *answer;
}

void IPMAN_IP_REGENERATION_CONTROLLER::begin_conversion()
{
    if (m_conversions++ == 0) m_memo = std::make_unique<CONVERSION_MEMO>();
}

void IPMAN_IP_REGENERATION_CONTROLLER::end_conversion()
{
    MSG_INTERNAL_ERROR_IF(m_conversions == 0, IPMAN_MODULE_TAG);
    if (--m_conversions == 0) m_memo.reset();
}

void IPMAN_IP_REGENERATION_CONTROLLER::remember_attempt(const std::string& file,
                                                        IPMAN_UPGRADE_STATUS_ENUM status,
                                                        const std::string& message)
{
    if (file.empty()) return;
    reset_attempts_if_revision_changed();
    m_attempts_revision = active_revision_name();
    if (!ipman_open_project()) return;
    m_upgrade_attempts[file] = IPMAN_UPGRADE_ATTEMPT{status, message};
}
