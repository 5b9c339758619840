//! @file test_settings_and_installation.cpp
//! @brief User settings, installation paths and the installation's version information.
#include "support/test_support.h"

#include <cfg/cfg.h>
#include <gen/gen.h>
#include <ver/ver.h>

#include <gtest/gtest.h>

namespace {

TEST(CfgParse, NamesValuesAndComments)
{
    const auto values = cfg_parse_name_value_text(
        "# a comment line\n  Disable_IP_Regen =  On  \r\nno equals sign here\npath = /proj/a#b\n"
        "level = 3   # trailing comment\n   # indented = 1\nempty =\nlevel = 4\n= nameless\n");
    EXPECT_EQ(values, (std::map<std::string, std::string>{
                          {"disable_ip_regen", "On"}, {"path", "/proj/a#b"}, {"level", "4"}, {"empty", ""}}));
}

class UserSettings : public testing::Test {
protected:
    void use_ini(const std::string& content)
    {
        std::ofstream(m_ini) << content;
        cfg_reload();
    }
    void TearDown() override { cfg_reload(); }

    TEMP_DIR m_dir;
    std::string m_ini = m_dir.file("vorlin.ini");
    SCOPED_ENV m_env{"VORLIN_USER_INI", m_ini};
};

TEST_F(UserSettings, CachedUntilReloadWithProcessValuesOnTop)
{
    use_ini("x = 1\n");
    EXPECT_EQ(cfg_get_value("x"), "1");
    std::ofstream(m_ini) << "x = 2\n";
    EXPECT_EQ(cfg_get_value("x"), "1");
    cfg_set_value("X", "process");
    cfg_reload();
    EXPECT_EQ(cfg_get_value("x"), "process");
    cfg_set_value("x", "");
    EXPECT_EQ(cfg_get_value("x"), "2");
}

TEST(Installation, RootFromEnvironmentOrBundled)
{
    TEMP_DIR dir;
    {
        SCOPED_ENV root("VORLIN_ROOTDIR", dir.path());
        SCOPED_ENV ip("IP_ROOTDIR", std::nullopt);
        EXPECT_EQ(gen_get_vorlin_path(), dir.path() + "/");
        EXPECT_EQ(gen_get_ip_root_path(), dir.path() + "/ip/");
    }
    SCOPED_ENV empty("VORLIN_ROOTDIR", "");
    EXPECT_EQ(gen_get_vorlin_path(), VORLIN_BUNDLED_ROOTDIR);
}

class VersionInfo : public testing::Test {
protected:
    void TearDown() override { ver_reload(); }
    TEMP_DIR m_install;
    SCOPED_ENV m_root{"VORLIN_ROOTDIR", m_install.path()};
};

TEST_F(VersionInfo, ReadsTheInstallationsVersionFileOrDefaults)
{
    ver_reload();
    EXPECT_EQ(ver_get_version() + ver_get_product() + ver_get_edition(), "24.1Vorlinstandard");
    EXPECT_FALSE(ver_is_beta());
    m_install.write("version.txt", "version = 25.3\nproduct = Vorlin Lite\nedition = Pro\nbeta = 1\n");
    ver_reload();
    EXPECT_EQ(ver_get_version(), "25.3");
    EXPECT_EQ(ver_get_oltran_product_name(), "Vorlin Lite");
    EXPECT_TRUE(ver_is_pro_edition());
    EXPECT_TRUE(ver_is_beta());
    EXPECT_EQ(ver_get_full_version_for_reports(), "25.3 Pro Edition");
    m_install.write("version.txt", "edition = ultimate\nbeta = 0\n");
    ver_reload();
    EXPECT_EQ(ver_get_full_version_for_reports(), "24.1 Standard Edition");
}

}  // namespace
