//! @file upgrade_analysis_test.cpp
//! @brief The upgrade analyser over the installation's catalog and small catalogs of its own:
//! age, end of life, status, flow, migration, notes and catalog sets.
#include "ipman/analysis/analysis_test_support.h"

#include "discovery/ipman_record_analyser.h"
#include "regen/ipman_ip_regen_commands.h"

#include <set>

namespace analysis_test {
namespace {

const char* const SYSTEM = "/p/sys.tessel";

//! "STATUS FLOW", with " eol" and " migrates" when the flags are set.
std::string verdict(const IPMAN_IP_INFO& info)
{
    return regen_status_to_string(info.regen_status()) + " " + upgrade_flow_to_string(info.upgrade_flow()) +
           (info.is_eol() ? " eol" : "") + (info.upgrade_will_migrate() ? " migrates" : "");
}

class UpgradeAnalysis : public ANALYSIS_TEST {
protected:
    std::string verdict_of(const char* tool, const char* version, const std::string& file,
                           std::vector<DEV_FAMILY_ENUM> families = {AGNOSTIC}, const RUN& run = {})
    {
        return verdict(analyse(variation(tool, version, file, families), run));
    }
};

TEST_F(UpgradeAnalysis, AgeAndEndOfLifeWithoutCatalogVersion)
{
    // The card serves only Crest V; the IP is discontinued on Crest II.
    SCOPED_CATALOG catalog(R"(
      <card name="lamp_core" version="24.1" type="standalone">
        <family>Crest V</family> <fileset>0</fileset> <fileset>7</fileset> <eol_sub_ip>lamp_rom</eol_sub_ip>
      </card>
      <outdated name="lamp_core"><eol version="all" family="Crest II"/></outdated>)");
    const RUN older_family{false};
    m_controller.set_project_family(CREST_II);
    EXPECT_EQ(verdict_of("lamp_core", "20.1", SYSTEM, {AGNOSTIC}, older_family),
              "VERSION_OLD NOT_SUPPORTED eol");
    IPMAN_IP_INFO in_system = variation("lamp_core", "10.0", SYSTEM);
    in_system.generated_by("Tessel");  // the system generator keeps it current
    EXPECT_EQ(verdict(analyse(in_system, older_family)), "COMPATIBLE NO_UPGRADE eol");

    m_controller.set_project_family(EMBER_II);
    EXPECT_EQ(verdict_of("lamp_core", "20.1", SYSTEM, {AGNOSTIC}, older_family),
              "VERSION_OLD TESSEL_UPGRADE_IP_CORES");
    EXPECT_EQ(verdict_of("lamp_core", "24.1", SYSTEM, {AGNOSTIC}, older_family), "COMPATIBLE NO_UPGRADE");

    m_controller.set_project_family(CREST_V);  // now the card applies
    const IPMAN_IP_INFO current = analyse(variation("lamp_core", "20.1", SYSTEM));
    EXPECT_EQ(verdict(current), "VERSION_OLD TESSEL_UPGRADE_IP_CORES");
    EXPECT_EQ(current.new_tool_version(), "24.1");
    EXPECT_EQ(current.const_supported_filesets(), std::set<IPMAN_REGEN_FILESET>{IPMAN_FILESET_SYNTHESIS});
    EXPECT_EQ(current.const_supported_eol_sub_ips(), std::set<std::string>{"lamp_rom"});
}

TEST_F(UpgradeAnalysis, NotesChangeLogAndRenamedCards)
{
    const IPMAN_IP_INFO old = analyse(variation("fifo_buffer", "22.1", SYSTEM));
    EXPECT_EQ(old.upgrade_note(),
              "<a href=\"https://example.invalid/oltran/fifo_buffer\">Release Notes</a>\n"
              "Depths up to 262144 words.\nError-correcting code option for the storage memory.\n");
    EXPECT_EQ(old.upgrade_changelog().size(), 2u);
    IPMAN_IP_INFO unknown = variation("no_such_core", "24.1", SYSTEM);
    unknown.upgrade_note("stale");
    EXPECT_EQ(analyse(unknown).upgrade_note(), "");

    // Another IP replaces it: old whatever the numbers, and migrated.
    EXPECT_EQ(verdict_of("fifo_2clk", "99.0", SYSTEM), "VERSION_OLD TESSEL_UPGRADE_IP_CORES migrates");
    const IPMAN_IP_INFO renamed = analyse(variation("fifo_2clk", "22.1", SYSTEM));
    EXPECT_EQ(renamed.new_tool_name(), "fifo_buffer");
    EXPECT_EQ(renamed.upgrade_note(),
              "<a href=\"https://example.invalid/oltran/fifo_2clk\">Release Notes</a>\n"
              "Dual-clock FIFO variations become FIFO Buffer variations with separate read "
              "and write clocks.\n");
    EXPECT_EQ(renamed.upgrade_changelog(),
              std::vector<std::string>{"The two fill-level ports are renamed read_level and write_level."});

    // Discontinued in every version: a current one stays; an old one has a card to go to.
    EXPECT_EQ(verdict_of("uart_tiny", "24.1", SYSTEM), "COMPATIBLE NO_UPGRADE eol");
    EXPECT_EQ(verdict_of("uart_tiny", "22.1", SYSTEM), "VERSION_OLD TESSEL_UPGRADE_IP_CORES");
}

TEST_F(UpgradeAnalysis, StatusOrder)
{
    m_controller.set_project_family(CREST_V);
    const auto status = [this](const char* version, std::vector<DEV_FAMILY_ENUM> families,
                               const char* parent = "N/A") {
        IPMAN_IP_INFO info = variation("fifo_buffer", version, SYSTEM, families);
        info.parent_entity(parent);
        return regen_status_to_string(analyse(info).regen_status());
    };
    EXPECT_EQ(status("24.1", {CREST_II}), "FAMILY_MISMATCH");
    EXPECT_EQ(status("24.1", {CREST_II, CREST_V}), "COMPATIBLE");
    EXPECT_EQ(status("24.1", {}), "FAMILY_MISMATCH");
    EXPECT_EQ(status("24.1", {CREST_II}, "top"), "COMPATIBLE");  // a sub-IP
    EXPECT_EQ(status("23.1", {CREST_II}), "OLD_AND_FAMILY_MISMATCH");
    EXPECT_EQ(status("23.1", {}), "VERSION_OLD");
    EXPECT_EQ(status("21.3", {CREST_II}), "INCOMPATIBLE");  // listed as invalid
    EXPECT_EQ(status("N/A", {}), "INCOMPATIBLE");
    const RUN encrypted{true, true};
    EXPECT_EQ(verdict_of("fifo_buffer", "24.1", SYSTEM, {AGNOSTIC}, encrypted), "ENCRYPTED NO_UPGRADE");
    EXPECT_EQ(verdict_of("fifo_buffer", "23.1", SYSTEM, {AGNOSTIC}, encrypted),
              "VERSION_OLD TESSEL_UPGRADE_IP_CORES");
    EXPECT_EQ(verdict_of("spi_master", "24.1", SYSTEM, {CREST_II}),
              "FAMILY_MISMATCH TESSEL_UPGRADE_IP_CORES");
    read_reference_lists();  // spi_master is listed as usable on every family
    EXPECT_EQ(verdict_of("spi_master", "24.1", SYSTEM, {CREST_II}), "COMPATIBLE NO_UPGRADE");

    m_controller.set_project_family(DEV_FAMILY_NONE);
    EXPECT_EQ(status("24.1", {AGNOSTIC}), "FAMILY_MISMATCH");
    SCOPED_SETTING blocking("IP_UPGRADE_DEVICE_FAMILY_BLOCKING", "off");
    EXPECT_EQ(status("24.1", {}), "COMPATIBLE");
    EXPECT_EQ(status("23.1", {CREST_II}), "VERSION_OLD");
}

TEST_F(UpgradeAnalysis, LegacyAndConversionFlowsOfOlderFamilies)
{
    read_reference_lists();
    m_controller.set_project_family(CREST_II);
    const auto verdict_on_crest_ii = [this](const char* tool, DEV_FAMILY_ENUM family) {
        return verdict_of(tool, "20.1", "/p/var.v", {family}, RUN{false});
    };
    EXPECT_EQ(verdict_on_crest_ii("KV_COUNTER", CREST_II), "INCOMPATIBLE VKELVANE_LEGACY_SILENT migrates");
    EXPECT_EQ(verdict_on_crest_ii("kv_counter", CREST_II), "INCOMPATIBLE VKELVANE_LEGACY_UI_ONLY migrates");
    // Converted into a system file: a standalone card with a legacy companion, one that
    // serves the project family, or another IP that replaces it.
    EXPECT_EQ(verdict_on_crest_ii("ram_2port", EMBER_II), "INCOMPATIBLE VARIATION_TO_TESSEL_SA_WITH_TESSEL");
    EXPECT_EQ(verdict_on_crest_ii("nco", CREST_II), "INCOMPATIBLE VARIATION_TO_TESSEL_SA_WITH_TESSEL");
    EXPECT_EQ(verdict_on_crest_ii("nco", EMBER_II), "INCOMPATIBLE NOT_SUPPORTED");
    EXPECT_EQ(verdict_on_crest_ii("fir_builder", CREST_II),
              "INCOMPATIBLE VARIATION_TO_TESSEL_SA_WITH_TESSEL migrates");
}

TEST_F(UpgradeAnalysis, CatalogSetsAndMissingGenerationFile)
{
    IPMAN_IP_INFO ram = variation("ram_2port", "23.1", SYSTEM);
    ram.supported_eol_sub_ips().insert("kept");
    ram.no_generation_file(true);  // generation file equals source file: left alone
    ram = analyse(ram);
    EXPECT_EQ(ram.const_supported_eol_sub_ips(), (std::set<std::string>{"kept", "ram_init_loader"}));
    EXPECT_EQ(ram.const_supported_filesets().size(), 4u);
    EXPECT_TRUE(ram.no_generation_file());

    TEMP_DIR dir;
    IPMAN_IP_INFO listed = variation("ram_2port", "23.1", dir.write("sys.tessel", "<system/>"));
    listed.source_file(dir.file("sys.vip"));
    listed.no_generation_file(true);
    EXPECT_FALSE(analyse(listed).no_generation_file());
    listed.ip_generation_file(dir.file("gone.tessel"));
    EXPECT_TRUE(analyse(listed).no_generation_file());

    // A conversion keeps the answer for the file asked last only, and takes a file the
    // collection has just read as present.
    IPMAN_SCOPED_CONVERSION conversion(m_controller);
    const std::string read = dir.file("read.tessel");
    m_controller.take_read_files_as_existing([&read](const std::string& path) { return path == read; });
    for (const auto& [file, missing] : {std::pair{dir.file("sys.tessel"), false},
                                        {dir.file("gone.tessel"), true},
                                        {read, false},
                                        {dir.file("sys.tessel"), false}}) {
        listed.ip_generation_file(file);
        EXPECT_EQ(analyse(listed).no_generation_file(), missing) << file;
    }
}

TEST_F(UpgradeAnalysis, WizardFlowsOfNewerFamilies)
{
    m_controller.set_project_family(CREST_VII);
    const auto flow = [this](const char* tool) {
        return upgrade_flow_to_string(analyse(variation(tool, "23.1", "/p/var.v")).upgrade_flow());
    };
    EXPECT_EQ(flow("pcie_bridge"), "VKELVANE_SILENT");
    EXPECT_EQ(flow("kv_pll"), "VKELVANE_SILENT");         // installed wizard, no card
    EXPECT_EQ(flow("kv_pll_old"), "VKELVANE_SILENT");     // an older name of it
    EXPECT_EQ(flow("kv_uart"), "KELVANE_NOT_INSTALLED");  // discontinued wizard
    EXPECT_EQ(flow("no_such_wizard"), "KELVANE_NOT_INSTALLED");
    read_reference_lists();
    EXPECT_EQ(flow("pcie_bridge"), "VKELVANE_UI_ONLY");  // no command-line upgrade
}

}  // namespace
}  // namespace analysis_test
