//! @file collector_files_test.cpp
//! @brief Collecting system and gwip files: lists written for them, the file passes, broken
//! files, duplicates, and the always-regenerate skip.
#include "ipman/discovery/collector_test_support.h"

#include <msg/msg.h>

#include <filesystem>

using namespace collector_test;

namespace {

using LINES = std::vector<std::string>;

class COLLECTOR_FILES_TEST : public COLLECTOR_TEST {};

}  // namespace

TEST_F(COLLECTOR_FILES_TEST, SystemListsThenSystemFilesNotYetCollected)
{
    open_project("disc_systems");
    collect();
    EXPECT_EQ(summaries(),
              (LINES{
                  // The list soc.tessel's generation wrote, keyed by the system file.
                  "sys/soc.tessel | tessel_system soc | sys/soc.tessel | $P/sys/soc/synthesis/soc.v | Tessel "
                  " | verilog"
                  " | ----- | Crest V | ",
                  // A list that names a system file; standalone, so it takes the wrapped core's identity.
                  "ip/sys_list.vip | tessel_list sys_list | sys/listed.tessel | $P/ip/sys_list.v | uart_tiny "
                  "22.1 | verilog"
                  " | -S--- |  | ",
                  // Read from the files; soc.tessel is not read again. Broken, module-less, binary and
                  // missing system files give no record.
                  "sys/wrapper.tessel | unclassified wrapper | sys/wrapper.tessel |  | clock_buffer 22.1 | - "
                  "| -SF-- | Crest VII | ",
                  "sys/plain.tessel | unclassified plain | sys/plain.tessel |  | Tessel  | - | --F-- |  | ",
              }));
    EXPECT_EQ(entities_of("sys/soc.tessel"),
              (LINES{"soc|soc|Tessel||Tessel||", "fifo_buffer|fifo_0|fifo_buffer|23.1|||",
                     "ram_2port|ram_0|ram_2port|22.1|||"}));
    EXPECT_EQ(entities_of("ip/sys_list.vip"),
              (LINES{"sys_list||uart_tiny|22.1|||", "uart_tiny|uart_0|uart_tiny|22.1|||"}));
    // Reported as its first enabled module, which is not the exported one; the disabled
    // and the nameless modules give no entity.
    EXPECT_EQ(entities_of("sys/wrapper.tessel"),
              (LINES{"wrapper|wrapper|clock_buffer|22.1|TesselCrestPro||",
                     "clock_buffer|buf_0|clock_buffer|22.1|TesselCrestPro||",
                     "clock_pll|pll_0|clock_pll|23.1|TesselCrestPro||"}));
}

TEST_F(COLLECTOR_FILES_TEST, GwipFilesOncePerWrittenPath)
{
    open_project("disc_gwip");
    // Relative paths are read from the project directory, not from the current one.
    ASSERT_NE(std::filesystem::current_path().string() + "/", dir());
    // A folder or a missing file named as a gwip file is no file of the kind: skipped silently.
    int warnings = 0;
    const int listener = msg_add_listener(
        [&warnings](const MSG_RECORD& message) { warnings += message.type == MSG_POST_WARNING ? 1 : 0; });
    collect();
    msg_remove_listener(listener);
    EXPECT_EQ(warnings, 0);
    EXPECT_EQ(
        summaries(),
        (LINES{
            "ip/gwip_list.vip | gwip_list gwip_list | ip/pll.gwip | $P/ip/gwip_list.v | clock_pll 24.1 | "
            "verilog | ----- |  | ",
            // Named twice alike: one record. Missing, broken and directory entries: none.
            "ip/fifo.gwip | gwip_component fifo | ip/fifo.gwip |  | fifo_buffer 23.1 | - | -SF-- | Crest V "
            "| ",
            // Named twice differently: two records, of one file.
            "ip/pll.gwip | gwip_component pll | ip/pll.gwip |  | clock_pll 24.1 | - | -SFW- | Crest V | ",
            "./ip/pll.gwip | gwip_component pll | ip/pll.gwip |  | clock_pll 24.1 | - | -SFW- | Crest V | ",
        }));
    EXPECT_EQ(entities_of("ip/fifo.gwip"),
              (LINES{"fifo|fifo|fifo_buffer|23.1|TesselCrestPro|Oltran|",
                     "fifo_buffer|fifo_buffer|fifo_buffer|23.1|TesselCrestPro|Oltran|"}));
}

TEST_F(COLLECTOR_FILES_TEST, AlwaysRegenerateLeavesSystemAndGwipListsToTheFilePasses)
{
    open_project("disc_always_regen");
    collect();
    EXPECT_EQ(summaries(), (LINES{
                               "sys/bus.tessel | tessel_system bus | sys/bus.tessel | $P/sys/bus/bus.v | "
                               "Tessel  | verilog | ----- |  | ",
                               "ip/pll.gwip | gwip_file pll | ip/pll.gwip | $P/ip/pll/pll.v | clock_pll 24.1 "
                               "| verilog | ----- |  | ",
                               "ip/kept.vip | unclassified kept |  |  | nco 23.1 | - | ----- |  | ",
                           }));

    // As the manager does: the project's setting decides.
    m_collector.set_always_regen(
        acf()->get_global_assignment_enum(ACF_VAR_ALWAYS_REGENERATE_IP, ACF_VALUE_OFF) == ACF_VALUE_ON);
    collect();
    EXPECT_EQ(
        summaries(),
        (LINES{
            "ip/kept.vip | unclassified kept |  |  | nco 23.1 | - | ----- |  | ",
            "sys/bus.tessel | unclassified bus | sys/bus.tessel |  | spi_master 22.1 | - | -SF-- | Crest II "
            "| ",
            "ip/pll.gwip | gwip_component pll | ip/pll.gwip |  | clock_pll 24.1 | - | -SFW- | Crest V | ",
        }));
}
