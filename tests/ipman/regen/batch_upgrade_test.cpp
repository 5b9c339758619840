//! @file batch_upgrade_test.cpp
//! @brief Batch file lists, the parallel option from project and user settings and step-marker
//! attribution of errors to files; the controller's batch tests run whole upgrade batches over
//! the bundled generator.
#include <gtest/gtest.h>

#include <gen/gen.h>

#include "regen/ipman_batch_upgrade.h"
#include "regen/ipman_generator_commands.h"
#include "support/test_support.h"

using BATCH = IPMAN_BATCH_UPGRADE;

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

TEST(ParallelOption, ProjectSettingsOverUserSettingsEachOnItsOwn)
{
    const std::string on_project = "set_global_assignment -name PARALLEL_IP_GENERATION oN\n";
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

    SCRATCH_USER_SETTINGS user("parallel_ip_generation = on\n");
    EXPECT_EQ(BATCH::parallel_option(), "") << "no project open";
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

// A generator killed inside a file's step did not finish that file (the fault-injection test
// kills the generator on whole projects).
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
