//! @file collector_files_test.cpp
//! @brief Collecting system and gwip files: lists written for them, the file passes, the
//! pro-edition tool string, broken files, duplicates, and the always-regenerate skip.
#include "collector_test_support.h"

#include <filesystem>

using namespace collector_test;

namespace {

using LINES = std::vector<std::string>;

class COLLECTOR_FILES_TEST : public COLLECTOR_TEST {};

} // namespace

TEST_F(COLLECTOR_FILES_TEST, SystemListsComeFirstThenSystemFilesNotYetCollected)
{
    open_project("disc_systems");
    collect();
    // soc.tessel has its generated list and is not read again; broken, module-less, binary
    // and missing system files are skipped without a record.
    EXPECT_EQ(keys(), (LINES{"sys/soc.tessel", "ip/sys_list.vip", "sys/wrapper.tessel", "sys/plain.tessel"}));

    const IPMAN_COLLECTED_IP* soc = record("sys/soc.tessel");
    ASSERT_NE(soc, nullptr);
    EXPECT_EQ(soc->kind, IPMAN_COLLECTED_IP_KIND::TESSEL_SYSTEM);
    EXPECT_FALSE(soc->from_system_file);
    EXPECT_EQ(soc->main_file, "sys/soc.tessel");
    EXPECT_EQ(soc->top_level_file, dir() + "sys/soc/synthesis/soc.v");
    EXPECT_EQ(soc->language, IPMAN_RTL_VERILOG);
    EXPECT_EQ(soc->core_name, "Tessel");
    EXPECT_EQ(describe(soc->entities), (LINES{"soc|soc|Tessel||Tessel||", "fifo_buffer|fifo_0|fifo_buffer|23.1|||",
                                              "ram_2port|ram_0|ram_2port|22.1|||"}));
    EXPECT_EQ(soc->supported_families, (std::vector<DEV_FAMILY_ENUM>{family("Crest V")}));

    // A list that names a system file; standalone, so it takes the wrapped core's identity.
    const IPMAN_COLLECTED_IP* listed = record("ip/sys_list.vip");
    ASSERT_NE(listed, nullptr);
    EXPECT_EQ(listed->kind, IPMAN_COLLECTED_IP_KIND::TESSEL_LIST);
    EXPECT_TRUE(listed->standalone);
    EXPECT_EQ(listed->main_file, "sys/listed.tessel");
    EXPECT_EQ(listed->top_level_file, dir() + "ip/sys_list.v");
    EXPECT_EQ(describe(listed->entities),
              (LINES{"sys_list||uart_tiny|22.1|||", "uart_tiny|uart_0|uart_tiny|22.1|||"}));
    EXPECT_EQ(listed->core_name, "uart_tiny");
    EXPECT_EQ(listed->core_version, "22.1");
}

TEST_F(COLLECTOR_FILES_TEST, SystemFilesReadDirectly)
{
    open_project("disc_systems");
    collect();
    const IPMAN_COLLECTED_IP* wrapper = record("sys/wrapper.tessel");
    ASSERT_NE(wrapper, nullptr);
    EXPECT_TRUE(wrapper->from_system_file);
    EXPECT_TRUE(wrapper->standalone);
    EXPECT_EQ(wrapper->kind, IPMAN_COLLECTED_IP_KIND::UNCLASSIFIED);
    EXPECT_EQ(wrapper->main_file, "sys/wrapper.tessel");
    // Standalone: reported as the first enabled module, which is not the exported one. The
    // disabled and the nameless modules give no entity.
    EXPECT_EQ(wrapper->core_name, "clock_buffer");
    EXPECT_EQ(wrapper->core_version, "22.1");
    EXPECT_EQ(describe(wrapper->entities), (LINES{"wrapper|wrapper|clock_buffer|22.1|TesselCrestPro||",
                                                  "clock_buffer|buf_0|clock_buffer|22.1|TesselCrestPro||",
                                                  "clock_pll|pll_0|clock_pll|23.1|TesselCrestPro||"}));
    EXPECT_EQ(wrapper->supported_families, (std::vector<DEV_FAMILY_ENUM>{family("Crest VII")}));

    const IPMAN_COLLECTED_IP* plain = record("sys/plain.tessel");
    ASSERT_NE(plain, nullptr);
    EXPECT_FALSE(plain->standalone);
    EXPECT_EQ(plain->core_name, "Tessel");
    // Same kind, two instances: two entities; the repeated instance updates its entity.
    EXPECT_EQ(describe(plain->entities), (LINES{"plain|plain|Tessel||Tessel||", "ram_2port|ram_a|ram_2port|24.1|Tessel||",
                                                "ram_2port|ram_b|ram_2port|23.1|Tessel||"}));
    EXPECT_TRUE(plain->supported_families.empty());
}

TEST_F(COLLECTOR_FILES_TEST, StandardEditionNamesProSystemsTessel)
{
    open_project("disc_systems");
    m_collector.set_is_pro_version(false);
    collect();
    const IPMAN_COLLECTED_IP* wrapper = record("sys/wrapper.tessel");
    ASSERT_NE(wrapper, nullptr);
    for (const IPMAN_COLLECTED_ENTITY& entity : wrapper->entities)
        EXPECT_EQ(entity.generated_by, "Tessel") << describe(entity);
}

TEST_F(COLLECTOR_FILES_TEST, GwipFilesOncePerWrittenPath)
{
    open_project("disc_gwip");
    ASSERT_NE(std::filesystem::current_path().string() + "/", dir());
    collect();
    // fifo.gwip is named twice alike: one record; pll.gwip twice differently: two. Missing,
    // broken and directory entries are skipped. Relative paths are read from the project
    // directory, not from the current one.
    EXPECT_EQ(keys(), (LINES{"ip/gwip_list.vip", "ip/fifo.gwip", "ip/pll.gwip", "./ip/pll.gwip"}));

    const IPMAN_COLLECTED_IP* fifo = record("ip/fifo.gwip");
    ASSERT_NE(fifo, nullptr);
    EXPECT_EQ(fifo->kind, IPMAN_COLLECTED_IP_KIND::GWIP_COMPONENT);
    EXPECT_TRUE(fifo->standalone);
    EXPECT_TRUE(fifo->from_system_file);
    EXPECT_EQ(fifo->main_file, "ip/fifo.gwip");
    EXPECT_EQ(fifo->base_name, "fifo");
    EXPECT_EQ(fifo->core_name, "fifo_buffer");
    EXPECT_EQ(fifo->core_version, "23.1");
    EXPECT_FALSE(fifo->has_warnings);
    EXPECT_FALSE(fifo->has_errors);
    EXPECT_EQ(describe(fifo->entities), (LINES{"fifo|fifo|fifo_buffer|23.1|TesselCrestPro|Oltran|",
                                               "fifo_buffer|fifo_buffer|fifo_buffer|23.1|TesselCrestPro|Oltran|"}));
    EXPECT_EQ(fifo->supported_families, (std::vector<DEV_FAMILY_ENUM>{family("Crest V")}));

    const IPMAN_COLLECTED_IP* pll = record("ip/pll.gwip");
    const IPMAN_COLLECTED_IP* dotted = record("./ip/pll.gwip");
    ASSERT_NE(pll, nullptr);
    ASSERT_NE(dotted, nullptr);
    EXPECT_EQ(pll->core_name, "clock_pll");
    EXPECT_TRUE(pll->has_warnings);
    EXPECT_FALSE(pll->has_errors);
    EXPECT_EQ(dotted->main_file, "ip/pll.gwip");
    EXPECT_EQ(describe(dotted->entities), describe(pll->entities));

    const IPMAN_COLLECTED_IP* listed = record("ip/gwip_list.vip");
    ASSERT_NE(listed, nullptr);
    EXPECT_EQ(listed->kind, IPMAN_COLLECTED_IP_KIND::GWIP_LIST);
    EXPECT_EQ(listed->main_file, "ip/pll.gwip");
    EXPECT_EQ(listed->top_level_file, dir() + "ip/gwip_list.v");
    EXPECT_FALSE(listed->from_system_file);
}

TEST_F(COLLECTOR_FILES_TEST, AlwaysRegenerateLeavesSystemAndGwipListsToTheFilePasses)
{
    open_project("disc_always_regen");
    ASSERT_EQ(acf()->get_global_assignment_enum(ACF_VAR_ALWAYS_REGENERATE_IP, ACF_VALUE_OFF), ACF_VALUE_ON);

    collect();
    EXPECT_EQ(keys(), (LINES{"sys/bus.tessel", "ip/pll.gwip", "ip/kept.vip"}));
    const IPMAN_COLLECTED_IP* listed_bus = record("sys/bus.tessel");
    const IPMAN_COLLECTED_IP* listed_pll = record("ip/pll.gwip");
    ASSERT_NE(listed_bus, nullptr);
    ASSERT_NE(listed_pll, nullptr);
    EXPECT_EQ(listed_bus->kind, IPMAN_COLLECTED_IP_KIND::TESSEL_SYSTEM);
    EXPECT_EQ(listed_bus->top_level_file, dir() + "sys/bus/bus.v");
    EXPECT_EQ(listed_pll->kind, IPMAN_COLLECTED_IP_KIND::GWIP_FILE);
    EXPECT_EQ(listed_pll->main_file, "ip/pll.gwip");
    EXPECT_EQ(listed_pll->top_level_file, dir() + "ip/pll/pll.v");

    m_collector.set_always_regen(true);
    collect();
    EXPECT_EQ(keys(), (LINES{"ip/kept.vip", "sys/bus.tessel", "ip/pll.gwip"}));
    const IPMAN_COLLECTED_IP* bus = record("sys/bus.tessel");
    const IPMAN_COLLECTED_IP* pll = record("ip/pll.gwip");
    ASSERT_NE(bus, nullptr);
    ASSERT_NE(pll, nullptr);
    EXPECT_TRUE(bus->from_system_file);
    EXPECT_TRUE(bus->standalone);
    EXPECT_EQ(bus->core_name, "spi_master");
    EXPECT_EQ(bus->supported_families, (std::vector<DEV_FAMILY_ENUM>{family("Crest II")}));
    EXPECT_EQ(pll->kind, IPMAN_COLLECTED_IP_KIND::GWIP_COMPONENT);
}
