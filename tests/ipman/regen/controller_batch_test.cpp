// Batch upgrades of system files: one generator run over all files (observed through the
// debug trace of its command line), errors attributed to the file the generator was working
// on, the generation batch of the older layout, and a file whose backup fails. Runs that end
// before or inside a file's step: batch_upgrade_test.cpp and upgrade_faults.test.
#include "ipman/regen/controller_test_support.h"

#include <gmock/gmock.h>

#include <fstream>

namespace controller_test {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::Not;

const std::string UPGRADED = "<module name=\"cross\" kind=\"fifo_buffer\" version=\"24.1\"/>";

class BATCH_TEST : public REGEN_TEST {
protected:
    //! Records of flow TESSEL_UPGRADE_IP_CORES for the files, all selected.
    std::vector<IPMAN_IP_REGEN_RESULT> upgrade_batch(const std::vector<std::string>& files)
    {
        m_records.clear();
        std::vector<std::size_t> selected;
        for (const std::string& file : files) {
            selected.push_back(m_records.size());
            m_records.push_back(record(file, IPMAN_TESSEL_UPGRADE_IP_CORES));
        }
        return run(selected);
    }

    std::vector<IPMAN_IP_REGEN_RESULT> run(const std::vector<std::size_t>& selected)
    {
        std::vector<IPMAN_IP_REGEN_RESULT> results;
        m_controller.do_ip_upgrade_for_ip_info_batch_mode(m_records, selected, results);
        return results;
    }

    static std::vector<int> statuses(const std::vector<IPMAN_IP_REGEN_RESULT>& results)
    {
        std::vector<int> values;
        for (const IPMAN_IP_REGEN_RESULT& r : results)
            values.push_back(r.status);
        return values;
    }

    std::string quoted(const std::string& file) const { return "\"" + path(file) + "\""; }

    std::vector<IPMAN_IP_INFO> m_records;
};

TEST_F(BATCH_TEST, ThreeSystemFilesGoToOneGeneratorRunInSelectionOrder)
{
    open("newer");
    m_records = {record("sys_a.tessel", IPMAN_TESSEL_UPGRADE_IP_CORES),
                 record("sys_b.tessel", IPMAN_TESSEL_UPGRADE_IP_CORES),
                 record("counter_var.v", IPMAN_VKELVANE_SILENT, "kv_counter"),
                 record("sys_c.tessel", IPMAN_TESSEL_UPGRADE_IP_CORES)};
    DEBUG_TRACE trace;

    const std::vector<IPMAN_IP_REGEN_RESULT> results = run({3, 0, 2, 1});

    const std::vector<std::string> commands = trace.batch_commands("ip_upgrade");
    ASSERT_EQ(commands.size(), 1u);
    EXPECT_THAT(commands[0], HasSubstr(" " + quoted("sys_c.tessel") + "  --batch=" + quoted("sys_a.tessel") +
                                       "  --batch=" + quoted("sys_b.tessel") + " "));
    EXPECT_THAT(trace.batch_commands("generation"), IsEmpty()) << "the new layout needs no generation run";

    ASSERT_EQ(results.size(), 3u) << "the wizard variation is not part of a batch";
    EXPECT_EQ(results[0].ip_info, m_records[3]);
    EXPECT_EQ(results[1].ip_info, m_records[0]);
    EXPECT_EQ(results[2].ip_info, m_records[1]);
    EXPECT_THAT(statuses(results), ElementsAre(0, 0, 0));
    for (const char* file : {"sys_a.tessel", "sys_b.tessel", "sys_c.tessel"})
        EXPECT_THAT(read_text(path(file)), HasSubstr(UPGRADED)) << file;
    EXPECT_EQ(posted("IIPMAN_IPRGEN_START"), 0u);
}

TEST_F(BATCH_TEST, OlderLayoutGeneratesTheUpgradedFilesInOneMoreRun)
{
    open("older");
    const std::string refused = read_text(path("refuses_generation.tessel"));
    DEBUG_TRACE trace;

    const auto results = upgrade_batch({"sys_a.tessel", "refuses_generation.tessel", "sys_b.tessel"});

    EXPECT_EQ(trace.batch_commands("ip_upgrade").size(), 1u);
    const std::vector<std::string> generation = trace.batch_commands("generation");
    ASSERT_EQ(generation.size(), 1u);
    EXPECT_THAT(generation[0], HasSubstr("--top-level-generation=on"));
    EXPECT_THAT(generation[0], HasSubstr(" --batch=" + quoted("sys_b.tessel") + " "));

    EXPECT_THAT(statuses(results), ElementsAre(0, 1, 0));
    EXPECT_EQ(read_text(path("refuses_generation.tessel")), refused) << "upgraded, then restored";
    EXPECT_EQ(results[0].top_level_file, path("sys_a/synth/sys_a.v"));
    EXPECT_EQ(results[2].top_level_file, path("sys_b/synth/sys_b.v"));
    EXPECT_EQ(results[1].top_level_file, "");
}

TEST_F(BATCH_TEST, JobWhoseBackupCannotBeMadeIsLeftOutOfTheRun)
{
    open("newer");
    std::filesystem::create_directory(path("sys_b.BAK.tessel"));
    const std::string original = read_text(path("sys_b.tessel"));
    DEBUG_TRACE trace;

    const auto results = upgrade_batch({"sys_a.tessel", "sys_b.tessel"});

    EXPECT_THAT(statuses(results), ElementsAre(0, 1));
    EXPECT_EQ(read_text(path("sys_b.tessel")), original);
    const std::vector<std::string> commands = trace.batch_commands("ip_upgrade");
    ASSERT_EQ(commands.size(), 1u);
    EXPECT_THAT(commands[0], Not(HasSubstr("sys_b.tessel")));
}

}  // namespace
}  // namespace controller_test
