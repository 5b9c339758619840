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

TEST_F(UserSettings, OnValuesDefaultsAndNumberedValues)
{
    use_ini("a = on\nb = TRUE\nc = 1\nd = Yes\ne = off\nf = 0\ng = maybe\n"
            "num_parallel_processors = ALL\npreferred_hdl_language = VHDL\nparallel_ip_generation = on\n");
    for (const char* name : {"a", "B", "c", "d"})
        EXPECT_TRUE(cfg_is_on(name)) << name;
    for (const char* name : {"e", "f", "g"})
        EXPECT_FALSE(cfg_is_on(name, true)) << name;
    EXPECT_TRUE(cfg_is_on("unset", true));
    EXPECT_EQ(cfg_get_user_ini_value(CFG_NUM_PARALLEL_PROCESSORS), "ALL");
    EXPECT_EQ(cfg_get_user_ini_value(108), "VHDL");
    EXPECT_EQ(cfg_get_user_ini_value(119), "on");
    EXPECT_EQ(cfg_get_user_ini_value(1), "");
}

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

TEST_F(UserSettings, HomeFileWhenNoExplicitFile)
{
    SCOPED_ENV no_ini("VORLIN_USER_INI", std::nullopt);
    SCOPED_ENV home("HOME", m_dir.path());
    std::filesystem::create_directory(m_dir.file(".vorlin"));
    m_dir.write(".vorlin/vorlin.ini", "from_home = yes\n");
    cfg_reload();
    EXPECT_TRUE(cfg_is_on("from_home"));
}

TEST(Installation, RootFromEnvironmentOrBundled)
{
    TEMP_DIR dir;
    {
        SCOPED_ENV root("VORLIN_ROOTDIR", dir.path());
        SCOPED_ENV ip("IP_ROOTDIR", std::nullopt);
        EXPECT_EQ(gen_get_vorlin_path(), dir.path() + "/");
        EXPECT_EQ(gen_get_ip_root_path(), dir.path() + "/ip/");
        EXPECT_EQ(gen_get_common_misc_fullpath(), dir.path() + "/common/misc/");
    }
    {
        SCOPED_ENV root("VORLIN_ROOTDIR", "inst/../inst/");
        SCOPED_ENV ip("IP_ROOTDIR", "/elsewhere/ip");
        // Generators run in the project directory, so a relative root is anchored here.
        EXPECT_EQ(gen_get_vorlin_path(), std::filesystem::current_path().string() + "/inst/");
        EXPECT_EQ(gen_get_ip_root_path(), "/elsewhere/ip/");
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

TEST_F(VersionInfo, ReadsTheInstallationsVersionFile)
{
    m_install.write("version.txt", "version = 25.3\nproduct = Vorlin Lite\nedition = Pro\nbeta = 1\n");
    ver_reload();
    EXPECT_EQ(ver_get_version(), "25.3");
    EXPECT_EQ(ver_get_oltran_product_name(), "Vorlin Lite");
    EXPECT_TRUE(ver_is_pro_edition());
    EXPECT_TRUE(ver_is_beta());
    EXPECT_EQ(ver_get_full_version_for_reports(), "25.3 Pro Edition");
}

TEST_F(VersionInfo, DefaultsWhenMissingOrUnknown)
{
    ver_reload();
    EXPECT_EQ(ver_get_version() + ver_get_product() + ver_get_edition(), "24.1Vorlinstandard");
    EXPECT_FALSE(ver_is_beta());
    m_install.write("version.txt", "edition = ultimate\nbeta = 0\n");
    ver_reload();
    EXPECT_EQ(ver_get_full_version_for_reports(), "24.1 Standard Edition");
}

TEST_F(VersionInfo, CachedPerInstallation)
{
    m_install.write("version.txt", "version = 30.1\n");
    ver_reload();
    EXPECT_EQ(ver_get_version(), "30.1");
    m_install.write("version.txt", "version = 31.1\n");
    EXPECT_EQ(ver_get_version(), "30.1");
    {
        TEMP_DIR other;
        other.write("version.txt", "version = 9.0\n");
        SCOPED_ENV root("VORLIN_ROOTDIR", other.path());
        EXPECT_EQ(ver_get_version(), "9.0");
    }
    ver_reload();
    EXPECT_EQ(ver_get_version(), "31.1");

    SCOPED_ENV bundled("VORLIN_ROOTDIR", std::nullopt);
    EXPECT_EQ(ver_get_version(), "24.1");
    EXPECT_TRUE(ver_is_pro_edition());
}

}  // namespace
