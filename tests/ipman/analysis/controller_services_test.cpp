//! @file controller_services_test.cpp
//! @brief The controller's services for the analysis: reference lists, catalog look-ups,
//! upgrade targets, device requirements against the installation's device database, and the
//! analysis entry on an open project.
#include "ipman/analysis/analysis_test_support.h"

namespace analysis_test {
namespace {

using ControllerServices = ANALYSIS_TEST;

IPMAN_IP_INFO named(const std::string& tool)
{
    IPMAN_IP_INFO info;
    info.tool_name(tool);
    return info;
}

TEST_F(ControllerServices, ReferenceListsAreReadOnlyWhenEnabled)
{
    m_controller.read_reference_lists();
    EXPECT_TRUE(m_controller.supports_cmd_upgrade("pcie_bridge"));
    EXPECT_FALSE(m_controller.is_hdl_compatible_ip(named("spi_master")));
    EXPECT_FALSE(m_controller.is_legacy_core(named("kv_counter")));
    EXPECT_EQ(m_controller.find_catalog_card("fifo_1clk"), nullptr);

    read_reference_lists();
    EXPECT_FALSE(m_controller.supports_cmd_upgrade("PCIe_Bridge"));
    EXPECT_TRUE(m_controller.supports_cmd_upgrade("fifo_buffer"));
    EXPECT_TRUE(m_controller.is_hdl_compatible_ip(named("SPI_Master")));
    EXPECT_TRUE(m_controller.is_legacy_core(named("KV_Counter")));
    // Known to the catalog only under its newer name.
    const IPCATALOG_OUTDATED_IP_INFO* renamed = m_controller.find_catalog_card("fifo_1clk");
    ASSERT_NE(renamed, nullptr);
    EXPECT_EQ(renamed->get_ip_name(), "fifo_buffer");
}

class UpgradeTarget : public ControllerServices {
protected:
    std::string target(const std::string& tool, const std::string& version,
                       std::vector<DEV_FAMILY_ENUM> families = {AGNOSTIC}, bool search_legacy_cards = false,
                       const std::string& display_name = "")
    {
        IPMAN_IP_INFO info = named(tool);
        info.tool_version(version);
        info.supported_families() = families;
        if (!display_name.empty()) info.display_name(display_name);
        const IPCATALOG_CARD* card =
            m_controller.find_upgrade_target(info, search_legacy_cards, m_candidates);
        return card ? card->get_name() + " " + card->get_version() : "none";
    }
    std::vector<const IPCATALOG_CARD*> m_candidates;
};

TEST_F(UpgradeTarget, SameNameCards)
{
    EXPECT_EQ(target("fifo_buffer", "N/A"), "none");
    EXPECT_EQ(target("fifo_buffer", "22.1"), "fifo_buffer 24.1");
    EXPECT_EQ(m_candidates.size(), 1u);
    EXPECT_EQ(target("FIFO", "22.1"), "fifo_buffer 24.1");  // alias, any letter case
    EXPECT_EQ(target("fifo_buffer", "25.1"), "none");       // newer than the catalog
    m_controller.set_project_family(CREST_V);
    EXPECT_EQ(target("pcie_bridge", "23.1"), "none");  // card serves Crest VII only
    EXPECT_EQ(target("kv_ram_1port_v1", "9.0", {AGNOSTIC}, false, "KV RAM 1-PORT"), "none");
    EXPECT_EQ(target("kv_ram_1port_v1", "9.0", {AGNOSTIC}, true, "KV RAM 1-PORT"), "kv_ram_1port 24.1");
}

TEST_F(UpgradeTarget, UpgradingCardsPreferTheProjectFamily)
{
    m_controller.set_project_family(CREST_V);
    EXPECT_EQ(target("fft_legacy", "13.1", {CREST_V}), "fft_engine 24.1");
    EXPECT_EQ(target("fft_legacy", "12.0", {CINDER}), "fft_engine 24.1");
    m_controller.set_project_family(CINDER);  // fft_engine does not serve Cinder
    EXPECT_EQ(target("fft_legacy", "13.1", {CINDER}), "fft_engine_lite 24.1");
    m_controller.set_project_family(CREST_II);
    EXPECT_EQ(target("pll_basic", "20.1", {CREST_II}), "pll_basic 24.1");  // entries name newer families
}

TEST_F(UpgradeTarget, OwnCatalogs)
{
    const std::string entries[] = {
        R"(<upgradeable_from name="old_core" version="all" family="Device Agnostic"/>)",
        R"(<upgradeable_from name="old_core" version="ALL" family="Crest V"/>)",
    };
    for (int first : {0, 1}) {
        SCOPED_CATALOG catalog("<card name=\"first_core\" version=\"24.1\" type=\"standalone\">" +
                               entries[first] +
                               "</card>\n"
                               "<card name=\"second_core\" version=\"24.1\" type=\"standalone\">" +
                               entries[1 - first] +
                               "</card>\n"
                               R"(<card name="older_core" version="23.1" type="standalone">
                 <upgradeable_from name="old_core" version="7.2" family="Crest V"/></card>)");
        m_controller.set_project_family(CREST_V);
        // Equal versions: the entry naming a family wins, whatever the catalog order.
        EXPECT_EQ(target("old_core", "3.0", {CREST_V}), first == 1 ? "first_core 24.1" : "second_core 24.1");
        // Entries for another family do not admit the record.
        EXPECT_EQ(target("old_core", "3.0", {CREST_II}), first == 0 ? "first_core 24.1" : "second_core 24.1");
    }
}

TEST_F(UpgradeTarget, AConversionAnswersEachRecordAsOnItsOwn)
{
    // Records that share some of the inputs of the search still get their own targets.
    const auto targets = [this] {
        std::vector<std::string> found;
        const auto add = [&](IPMAN_IP_INFO info, bool search_legacy_cards) {
            m_controller.analyse_ip_info(false, search_legacy_cards, false, {}, info);
            found.push_back(info.new_tool_name() + " " + info.new_tool_version());
        };
        for (DEV_FAMILY_ENUM project_family : {CREST_V, CINDER}) {
            m_controller.set_project_family(project_family);
            add(variation("fft_legacy", "13.1", "", {CINDER}), false);
            add(variation("fft_legacy", "13.1", "", {CREST_V}), false);
            add(variation("fft_legacy", "12.0", "", {CREST_V}), false);
            IPMAN_IP_INFO legacy = variation("kv_ram_1port_v1", "9.0", "", {AGNOSTIC});
            legacy.display_name("KV RAM 1-PORT");
            add(legacy, false);
            add(legacy, true);
            legacy.display_name("no such display name");
            add(legacy, true);
        }
        return found;
    };
    const std::vector<std::string> on_their_own = targets();
    IPMAN_SCOPED_CONVERSION conversion(m_controller);
    EXPECT_EQ(targets(), on_their_own);
}

TEST_F(ControllerServices, DeviceRequirements)
{
    const auto check = [this](const char* part, IPMAN_DEVICE_REQUIREMENT_MAP requirements) {
        const DEV_PART_ENUM part_enum = dstr_get_dev_part_enum_by_string(part);
        m_controller.set_project_part(part_enum);
        m_controller.set_project_family(DEV_PART_MANAGER::get_family_of(part_enum));
        return m_controller.check_device_requirements(requirements);
    };
    EXPECT_EQ(check("CV5A-F1152-I2", {{"device", "CV5A-F1152-I3"}}), 1);
    EXPECT_EQ(check("CV5A-F1152-I2", {{"base_device", "CV5"}}), 0);
    EXPECT_EQ(check("CN4-M64-C8", {{"base_device", "CN4"}}), 0);  // a device without base device
    EXPECT_EQ(check("CV5A-F1152-I2", {{"device_speedgrade", "I2"}}), 0);
    EXPECT_EQ(check("CV5A-F1152-I2", {{"part.INDUSTRIAL", "1"}}), 1);
    EXPECT_EQ(check("CV5A-F1152-I2", {{"part.NO_SUCH_TRAIT", "1"}}), 0);
    EXPECT_EQ(check("CV5H-F2397-I2-ES", {{"device.HAS_HBM", "0"}}), 1);
    EXPECT_EQ(check("C2S20-Q240-C7", {{"family.NEW_IP_LAYOUT", "1"}}), 1);
    for (const char* key : {"nodot", "a.b.c", "board.HAS_HBM"})
        EXPECT_EQ(check("CV5A-F1152-I2", {{key, "1"}}), 0) << key;
    // No part chosen: requirements on the part fail, unknown traits still hold.
    EXPECT_EQ(check("", {{"device", "no-such-part"}}), 1);
    EXPECT_EQ(check("", {{"device.NO_SUCH_TRAIT", "0"}}), 0);
    // A met speed grade does not hide a later failing requirement.
    EXPECT_EQ(check("CV5A-F1152-I2", {{"device_speedgrade", "I2"}, {"part.INDUSTRIAL", "1"}}), 1);
}

TEST_F(ControllerServices, AnalysisEntryOnAnOlderFamilyProject)
{
    SCRATCH_PROJECT project(
        "p", "r1", family_setting("Crest II") + "set_global_assignment -name DEVICE C2S20-Q240-C7\n");
    ACF_MANAGER* acf = ACF_MANAGER::get_acf_manager();
    m_controller.set_project_family(acf->get_project_family_enum());
    m_controller.set_project_part(acf->get_project_part_enum());
    read_reference_lists();

    IPMAN_IP_INFO counter = variation("KV_COUNTER", "20.1", project.path() + "counter.v", {CREST_II});
    m_controller.analyse_ip_info_quietly(false, counter);
    EXPECT_EQ(counter.regen_status(), IPMAN_INCOMPATIBLE);
    EXPECT_EQ(counter.upgrade_flow(), IPMAN_VKELVANE_LEGACY_SILENT);
    EXPECT_EQ(counter.status_notification(), "IP core will be converted to use latest IP parameter editor. ");

    IPMAN_IP_INFO system = variation("fifo_buffer", "24.1", project.path() + "sys.tessel");
    system.generated_by("TesselCrestPro");
    m_controller.analyse_ip_info(false, false, false, {{"device.HAS_TRANSCEIVERS", "1"}}, system);
    EXPECT_EQ(system.regen_status(), IPMAN_INCOMPATIBLE_DEV_TRAIT);
    m_controller.add_failed_upgrade_attempt(system.source_file(), "generator failed");
    m_controller.analyse_ip_info(true, false, false, {}, system);
    EXPECT_EQ(system.regen_status(), IPMAN_ENCRYPTED);
    EXPECT_EQ(system.upgrade_status(), IPMAN_UPGRADE_FAILED);
    EXPECT_EQ(system.upgrade_message(), "generator failed");

    // An IP read from a system file takes the catalog's version when its own is unknown there.
    IPMAN_IP_INFO inside = variation("fifo_buffer", "23.1", project.path() + "sys.tessel");
    inside.generated_by("TesselCrestPro");
    m_controller.analyse_ip_info(false, false, true, {}, inside);
    EXPECT_EQ(inside.tool_version(), "24.1");
    EXPECT_EQ(inside.vendor_name(), "Oltran");
    EXPECT_EQ(inside.regen_status(), IPMAN_COMPATIBLE);
}

}  // namespace
}  // namespace analysis_test
