//! @file ip_info_test.cpp
//! @brief IPMAN_IP_INFO: validity, display name, identity, predicates, dump and text forms.

#include <gtest/gtest.h>

#include <sstream>

#include <ipman/ipman_ip_info.h>

namespace {

IPMAN_IP_INFO with_flow(IPMAN_IP_UPGRADE_FLOW_ENUM flow, IPMAN_IP_REGEN_STATUS_ENUM status)
{
    IPMAN_IP_INFO info;
    info.upgrade_flow(flow);
    info.regen_status(status);
    return info;
}

}  // namespace

TEST(IpInfo, ValidityNeedsAllThreeNamesUnknownAndNoInstance)
{
    IPMAN_IP_INFO info;
    EXPECT_TRUE(info.is_valid()) << "an empty generation file is not \"N/A\"";
    info.ip_generation_file("N/A");
    EXPECT_FALSE(info.is_valid());
    info.instance_paths.insert("top|u_fifo");
    EXPECT_TRUE(info.is_valid());
    info.instance_paths.clear();
    info.tool_name("n/a");
    EXPECT_TRUE(info.is_valid()) << "the comparison is case-sensitive";
}

TEST(IpInfo, CopiesSharingTextsStayIndependentValues)
{
    IPMAN_IP_INFO original;
    original.source_file(ipman_shared_text("/p/a.vip"));
    original.status_notification("<html>old</html>");
    IPMAN_IP_INFO copy = original;
    copy.source_file("/p/b.vip");
    copy.status_notification("");
    EXPECT_EQ(original.source_file(), "/p/a.vip");
    EXPECT_EQ(original.status_notification(), "<html>old</html>");
    EXPECT_EQ(copy.source_file(), "/p/b.vip");
    EXPECT_EQ(copy.status_notification(), "");
    EXPECT_EQ(copy.upgrade_note(), "") << "an unset text reads empty";
}

TEST(IpInfo, DisplayNameOverrideAndSystemNames)
{
    IPMAN_IP_INFO info;
    info.tool_name("fir_filter");
    EXPECT_EQ(info.display_name(), "fir_filter");
    info.display_name("N/A");
    EXPECT_EQ(info.display_name(), "fir_filter") << "a stored \"N/A\" is ignored";
    info.display_name("FIR Filter");
    EXPECT_EQ(info.display_name(), "FIR Filter");

    info.display_name("");
    for (const char* tool : {"tessel", "TESSEL", "TesselCrestPro", "tesselcrestpro"}) {
        info.tool_name(tool);
        EXPECT_EQ(info.display_name(), "<Plandor>") << tool;
    }
    info.tool_name("gridWRIGHT");
    EXPECT_EQ(info.display_name(), "<System>");
    info.tool_name("TesselPro");
    EXPECT_EQ(info.display_name(), "TesselPro");
}

TEST(IpInfo, EqualityComparesIdentityOnly)
{
    IPMAN_IP_INFO a;
    a.tool_name("fifo");
    a.tool_version("24.1");
    a.entity("fifo_a");
    a.library("fifo_lib");
    a.ip_generation_file("/p/fifo_a.v");
    IPMAN_IP_INFO b = a;
    b.source_file("/p/other.v");
    b.regen_status(IPMAN_VERSION_OLD);
    b.parent_entity("top");
    EXPECT_TRUE(a == b);
    EXPECT_FALSE(a != b);

    for (auto change :
         {+[](IPMAN_IP_INFO& r) { r.tool_name("FIFO"); }, +[](IPMAN_IP_INFO& r) { r.tool_version("24.1.0"); },
          +[](IPMAN_IP_INFO& r) { r.entity("fifo_b"); }, +[](IPMAN_IP_INFO& r) { r.library("fifo_lib "); },
          +[](IPMAN_IP_INFO& r) { r.ip_generation_file("/p/FIFO_A.v"); }}) {
        IPMAN_IP_INFO c = a;
        change(c);
        EXPECT_TRUE(a != c);
    }
}

TEST(IpInfo, SilentUpgradeAndWizardFlows)
{
    EXPECT_FALSE(with_flow(IPMAN_VKELVANE_SILENT, IPMAN_FAMILY_MISMATCH).silently_upgradable());
    EXPECT_TRUE(with_flow(IPMAN_VKELVANE_SILENT, IPMAN_VERSION_OLD).silently_upgradable());
    EXPECT_TRUE(with_flow(IPMAN_VKELVANE_LEGACY_SILENT, IPMAN_FAMILY_MISMATCH).silently_upgradable());
    for (auto flow : {IPMAN_TESSEL_UPGRADE_IP_CORES, IPMAN_TESSEL_UPGRADE_IP_CORES_TO_VIP,
                      IPMAN_VARIATION_TO_TESSEL_SA_WITH_TESSEL})
        EXPECT_TRUE(with_flow(flow, IPMAN_INCOMPATIBLE).silently_upgradable()) << flow;
    for (auto flow :
         {IPMAN_NO_UPGRADE, IPMAN_NOT_SUPPORTED, IPMAN_VKELVANE_UI_ONLY, IPMAN_VKELVANE_LEGACY_UI_ONLY})
        EXPECT_FALSE(with_flow(flow, IPMAN_VERSION_OLD).silently_upgradable()) << flow;

    for (int flow = IPMAN_NO_UPGRADE; flow <= IPMAN_VKELVANE_LEGACY_UI_ONLY; ++flow)
        EXPECT_EQ(with_flow(static_cast<IPMAN_IP_UPGRADE_FLOW_ENUM>(flow), IPMAN_COMPATIBLE)
                      .vkelvane_migration_flow(),
                  flow >= 6)
            << flow;
}

TEST(IpInfo, CompatibleAndNotEditableInTheUserInterface)
{
    IPMAN_IP_INFO info = with_flow(IPMAN_VKELVANE_SILENT, IPMAN_COMPATIBLE);
    EXPECT_TRUE(info.is_compatible());
    EXPECT_FALSE(info.not_ui_editable());
    info.no_generation_file(true);
    EXPECT_TRUE(info.not_ui_editable());
    EXPECT_FALSE(with_flow(IPMAN_KELVANE_NOT_INSTALLED, IPMAN_VERSION_OLD).is_compatible());
    EXPECT_TRUE(with_flow(IPMAN_KELVANE_NOT_INSTALLED, IPMAN_VERSION_OLD).not_ui_editable());
}

TEST(IpInfo, DebugDumpShowsDerivedNamesAndStatusTexts)
{
    IPMAN_IP_INFO info;
    info.tool_name("Tessel");
    info.entity("sys");
    info.source_file("/p/sys.tessel");
    info.regen_status(IPMAN_VERSION_OLD);
    info.upgrade_flow(IPMAN_TESSEL_UPGRADE_IP_CORES);
    info.is_eol(true);
    std::ostringstream out;
    out << info;
    for (const char* line : {"  Display Name: '<Plandor>'\n", "  Regen Status: 'VERSION_OLD'\n",
                             "  Upgrade Flow: 'TESSEL_UPGRADE_IP_CORES'\n", "  Is EOL: 'True'\n"})
        EXPECT_NE(out.str().find(line), std::string::npos) << out.str();

    info.upgrade_flow(static_cast<IPMAN_IP_UPGRADE_FLOW_ENUM>(42));
    std::ostringstream unnamed;
    unnamed << info;
    EXPECT_NE(unnamed.str().find("  Upgrade Flow: ''\n"), std::string::npos);
}

TEST(IpInfo, TextFormsOfUnusualAndOutOfRangeValues)
{
    EXPECT_EQ(regen_status_to_string(static_cast<IPMAN_IP_REGEN_STATUS_ENUM>(10)), "");

    EXPECT_EQ(regen_status_to_compatibility_text(IPMAN_SUBCORE_NEEDS_REGEN), "incompatible");
    EXPECT_EQ(regen_status_to_compatibility_text(IPMAN_OLD_AND_FAMILY_MISMATCH), "compatible");
    EXPECT_EQ(regen_status_to_compatibility_text(static_cast<IPMAN_IP_REGEN_STATUS_ENUM>(-1)), "compatible");

    EXPECT_EQ(upgrade_status_to_string(IPMAN_UPGRADE_ATTEMPTED), "not_attempted");
    EXPECT_EQ(rtl_language_to_string(static_cast<IPMAN_RTL_LANGUAGE_ENUM>(3)), "use_project_setting");

    EXPECT_EQ(regen_fileset_from_catalog(IPCATALOG_FILESET_BLOCK_SYMBOL), IPMAN_FILESET_BLOCK_SYMBOL);
    EXPECT_FALSE(regen_fileset_from_catalog(4).has_value());
}
