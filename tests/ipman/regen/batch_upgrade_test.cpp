//! @file batch_upgrade_test.cpp
//! @brief Batch file lists, the parallel option from project and user settings, step-marker
//! attribution of errors to files, and generation groups against a recording generator; the
//! controller's batch tests run whole upgrade batches over the bundled generator.
#include <gtest/gtest.h>

#include <gen/gen.h>

#include "ipman/regen/regen_test_support.h"
#include "regen/ipman_batch_upgrade.h"
#include "regen/ipman_generator_commands.h"

using regen_test::SCRATCH_INSTALLATION;
using BATCH = IPMAN_BATCH_UPGRADE;
using ARGS = std::vector<std::string>;

namespace {

IPMAN_IP_INFO system_record(const std::string& file, IPMAN_RTL_LANGUAGE_ENUM language = IPMAN_RTL_VERILOG,
                            const IPMAN_FILESET_SET& filesets = {})
{
    IPMAN_IP_INFO info;
    info.ip_generation_file(file);
    info.regen_language(language);
    info.supported_filesets() = filesets;
    info.upgrade_flow(IPMAN_TESSEL_UPGRADE_IP_CORES);
    return info;
}

IPMAN_UPGRADE_JOB_LIST jobs_for(const std::vector<IPMAN_IP_INFO>& records)
{
    IPMAN_UPGRADE_JOB_LIST jobs;
    for (const IPMAN_IP_INFO& record : records) {
        IPMAN_IP_UPGRADE_JOB job;
        job.ip_info = &record;
        job.file = record.ip_generation_file();
        job.ready = true;
        jobs.push_back(job);
    }
    return jobs;
}

std::string parallel_with(const std::string& project_settings, const std::string& user_settings)
{
    SCRATCH_USER_SETTINGS user(user_settings);
    SCRATCH_PROJECT project("p", "r", project_settings);
    return BATCH::parallel_option();
}

}  // namespace

TEST(BatchFileList, FirstFileQuotedThenBatchEntriesInOrder)
{
    const std::vector<IPMAN_IP_INFO> one{system_record("/p/a.tessel")};
    EXPECT_EQ(BATCH::batch_file_list({}), "");
    EXPECT_EQ(BATCH::batch_file_list(jobs_for(one)), " \"/p/a.tessel\" ");
    const std::vector<IPMAN_IP_INFO> three{system_record("/p/a.tessel"), system_record("/p/b c.tessel"),
                                           system_record("/p/d.tessel")};
    EXPECT_EQ(BATCH::batch_file_list(jobs_for(three)),
              " \"/p/a.tessel\"  --batch=\"/p/b c.tessel\"  --batch=\"/p/d.tessel\" ");
}

TEST(BatchFileListDeathTest, JobWithoutRecordIsAnInternalError)
{
    EXPECT_EXIT(BATCH::batch_file_list(IPMAN_UPGRADE_JOB_LIST(1)), ::testing::ExitedWithCode(3), "ip_info");
}

TEST(ParallelOption, ProjectSettingsOverUserSettingsEachOnItsOwn)
{
    const std::string on_project = "set_global_assignment -name PARALLEL_IP_GENERATION oN\n";
    EXPECT_EQ(parallel_with(on_project, ""), "--parallel");
    EXPECT_EQ(parallel_with(on_project + "set_global_assignment -name NUM_PARALLEL_PROCESSORS All\n", ""),
              "--parallel");
    EXPECT_EQ(parallel_with(on_project + "set_global_assignment -name NUM_PARALLEL_PROCESSORS 4\n",
                            "num_parallel_processors = 8\n"),
              "--parallel=4");
    EXPECT_EQ(parallel_with(on_project, "num_parallel_processors = 8\n"), "--parallel=8")
        << "the user's count fills an empty project count";
    EXPECT_EQ(parallel_with("", "parallel_ip_generation = ON\nnum_parallel_processors = ALL\n"),
              "--parallel");
    EXPECT_EQ(parallel_with("set_global_assignment -name PARALLEL_IP_GENERATION OFF\n",
                            "parallel_ip_generation = on\n"),
              "")
        << "the project's OFF wins";
    EXPECT_EQ(parallel_with("", "parallel_ip_generation = yes\n"), "") << "only ON enables";

    SCRATCH_USER_SETTINGS user("parallel_ip_generation = on\n");
    EXPECT_EQ(BATCH::parallel_option(), "") << "no project open";
}

TEST(BatchCommand, MarkersAndParallelOptionOnlyForSeveralJobs)
{
    const std::vector<IPMAN_IP_INFO> records{system_record("/p/a.tessel"), system_record("/p/b.tessel")};
    const std::string markers = " --message-format=begin-ip-core-upgrade=\"Entered IP upgrade step for {1}.\""
                                " --message-format=end-ip-core-upgrade=\"Exited IP upgrade step for {1}.\" ";
    const std::string base = IPMAN_GENERATOR_COMMANDS::system_generator_base("--upgrade-ip-cores");

    SCRATCH_USER_SETTINGS user("parallel_ip_generation = on\nnum_parallel_processors = 3\n");
    EXPECT_EQ(BATCH::batch_command(jobs_for({records[0]}), "--upgrade-ip-cores", IPMAN_UPGRADE_STEP_MARKERS),
              base + "  \"/p/a.tessel\" " + markers)
        << "no project: no parallel option";
    SCRATCH_PROJECT project("p", "r", "");
    const std::string project_base = IPMAN_GENERATOR_COMMANDS::system_generator_base("--upgrade-ip-cores");
    EXPECT_EQ(BATCH::batch_command(jobs_for({records[0]}), "--upgrade-ip-cores", IPMAN_UPGRADE_STEP_MARKERS),
              project_base + "  \"/p/a.tessel\" " + markers);
    EXPECT_EQ(BATCH::batch_command(jobs_for(records), "--upgrade-ip-cores", IPMAN_UPGRADE_STEP_MARKERS),
              project_base + "  \"/p/a.tessel\"  --batch=\"/p/b.tessel\" " + markers + "--parallel=3 ");
}

class BatchRun : public ::testing::Test {
protected:
    void SetUp() override { take_posted(); }

    int run(const std::string& output, IPMAN_FILE_ERROR_MAP& errors, int exit_code = 0)
    {
        const std::string child = write_script(m_dir.file("gen"), "cat <<'END'\n" + output + "END\nexit " +
                                                                      std::to_string(exit_code) + "\n");
        return BATCH::batch_run("\"" + child + "\"", "Entered IP upgrade step for ",
                                "Exited IP upgrade step for ", ".", errors);
    }
    TEMP_DIR m_dir;
};

TEST_F(BatchRun, ErrorsInsideMarkersMarkTheirFile)
{
    IPMAN_FILE_ERROR_MAP errors;
    EXPECT_EQ(run("Error: before any file\n"
                  "Entered IP upgrade step for /a/x.tessel.\n"
                  "Info: upgrading\n"
                  "<b>Error:</b> core too old\n"
                  "Exited IP upgrade step for /a/x.tessel.\n"
                  "Error: after the end marker\n"
                  "Entered IP upgrade step for /a/y.v1.tessel.\n"
                  "Warning: only a warning\n"
                  "Exited IP upgrade step for /a/y.v1.tessel.\n"
                  "Entered IP upgrade step for /a/z.tessel.\n"
                  "Entered IP upgrade step for no end mark\n"
                  "Warning: Error: counts as an error here\n"
                  "Exited IP upgrade step for /a/z.tessel.\n",
                  errors),
              0);
    EXPECT_EQ(errors, (IPMAN_FILE_ERROR_MAP{
                          {"/a/x.tessel", true}, {"/a/y.v1.tessel", false}, {"/a/z.tessel", true}}));
    EXPECT_EQ(take_posted(), (std::vector<POSTED>{
                                 {"EIPMAN_EXT_PROC_ERROR_MSG", "Error: before any file"},
                                 {"IIPMAN_EXT_PROC_INFO_MSG", "Info: upgrading"},
                                 {"EIPMAN_EXT_PROC_ERROR_MSG", "Error: core too old"},
                                 {"EIPMAN_EXT_PROC_ERROR_MSG", "Error: after the end marker"},
                                 {"WIPMAN_EXT_PROC_WARNING_MSG", "Warning: only a warning"},
                                 {"EIPMAN_EXT_PROC_ERROR_MSG", "Warning: Error: counts as an error here"}}));
}

TEST_F(BatchRun, EntriesOnceTrueStayTrueAndNamesAreFullPaths)
{
    IPMAN_FILE_ERROR_MAP errors{{"/a/x.tessel", true}};
    EXPECT_EQ(run("Entered IP upgrade step for /a/./b/../x.tessel.\nExited IP upgrade step for /a/x.tessel.\n"
                  "Entered IP upgrade step for rel.tessel.\nExited IP upgrade step for rel.tessel.\n",
                  errors),
              0);
    const std::string cwd = FIO_FILE_SYSTEM::current_directory();
    EXPECT_EQ(errors,
              (IPMAN_FILE_ERROR_MAP{{"/a/x.tessel", true}, {FIO_PATH(cwd, "rel.tessel").fullpath(), false}}));
}

TEST_F(BatchRun, GeneratorDyingInsideAStepFailsThatFile)
{
    IPMAN_FILE_ERROR_MAP errors;
    EXPECT_EQ(run("Entered IP upgrade step for /a/x.tessel.\nExited IP upgrade step for /a/x.tessel.\n"
                  "Entered IP upgrade step for /a/y.tessel.\n",
                  errors, 139),
              1);
    EXPECT_EQ(errors, (IPMAN_FILE_ERROR_MAP{{"/a/x.tessel", false}, {"/a/y.tessel", true}}));
}

TEST(BatchJudgement, UnannouncedFilesFailOnlyWhenTheirRunFailed)
{
    const IPMAN_FILE_ERROR_MAP errors{{"/a/x.tessel", true}, {"/a/y.tessel", false}};
    EXPECT_TRUE(BATCH::file_failed(errors, false, "/a/x.tessel"));
    EXPECT_TRUE(BATCH::file_failed(errors, true, "/a/x.tessel"));
    EXPECT_FALSE(BATCH::file_failed(errors, true, "/a/b/../y.tessel"));
    EXPECT_FALSE(BATCH::file_failed(errors, false, "/a/never.tessel"));
    EXPECT_TRUE(BATCH::file_failed(errors, true, "/a/never.tessel"));
    EXPECT_TRUE(BATCH::file_failed({}, true, "/a/x.tessel"))
        << "a generator that announced nothing and failed";
}

class WholeBatches : public ::testing::Test {
protected:
    void SetUp() override { take_posted(); }
    std::string system(const std::string& name) { return m_work.write(name, "system"); }
    SCRATCH_INSTALLATION m_install;
    TEMP_DIR m_work;
};

TEST_F(WholeBatches, GenerationRunsOneBatchPerNonEmptyGroupOfReadyJobs)
{
    const std::vector<IPMAN_IP_INFO> records{
        system_record(system("v1.tessel"), IPMAN_RTL_VERILOG),
        system_record(system("h4.tessel"), IPMAN_RTL_VHDL, {IPMAN_FILESET_SIM_VERILOG}),
        system_record(system("idle.tessel"), IPMAN_RTL_VERILOG),
        system_record(system("v2.tessel"), IPMAN_RTL_VERILOG, {IPMAN_FILESET_SIM_VERILOG})};
    IPMAN_UPGRADE_JOB_LIST jobs = jobs_for(records);
    jobs[2].ready = false;
    IPMAN_FILE_ERROR_MAP errors;
    IPMAN_FILE_SET failed_runs;
    SCOPED_ENV fail("FAKE_FAIL", "generate");
    SCOPED_ENV fail_file("FAKE_FAIL_FILE", jobs[1].file);
    EXPECT_EQ(BATCH::batch_generation(jobs, errors, &failed_runs), 1);

    const std::string begin = "--message-format=begin-generation=Entered IP generation step for {1}.";
    const std::string end = "--message-format=end-generation=Exited IP generation step for {1}.";
    EXPECT_EQ(m_install.calls(),
              (std::vector<ARGS>{{"--clear-output-directory", "--top-level-generation=on",
                                  "--block-symbol-file", "--synthesis=VERILOG", "--simulation=VERILOG",
                                  jobs[0].file, "--batch=" + jobs[3].file, begin, end},
                                 {"--clear-output-directory", "--top-level-generation=on", "--synthesis=VHDL",
                                  jobs[1].file, begin, end}}));
    EXPECT_EQ(errors,
              (IPMAN_FILE_ERROR_MAP{{jobs[0].file, false}, {jobs[1].file, true}, {jobs[3].file, false}}));
    EXPECT_EQ(failed_runs, IPMAN_FILE_SET{jobs[1].file});
    EXPECT_TRUE(std::filesystem::exists(m_work.file("v2/synthesis/v2.v")));
}
