//! @file test_generator_inputs.cpp
//! @brief Generators handed FIFOs, devices and files that are not UTF-8: each is named in a
//! warning or an error; nothing hangs and no Python traceback escapes.
#include "share/generators/generator_test_support.h"

#include <sys/stat.h>

namespace {

class GeneratorInputTest : public GeneratorTest {
protected:
    //! A copy of the test installation in the work directory, used by the runs.
    std::string installation()
    {
        const std::string root = work() + "/inst";
        std::filesystem::copy(data_dir() + "/installation", root, std::filesystem::copy_options::recursive);
        m_own_root.emplace("VORLIN_ROOTDIR", root);
        return root;
    }
    void special_files(const std::string& directory, const std::string& extension) const
    {
        ASSERT_EQ(::mkfifo((directory + "/pipe" + extension).c_str(), 0600), 0);
        std::filesystem::create_symlink("/dev/zero", directory + "/zero" + extension);
    }
    static bool has_traceback(const TOOL_RUN& run)
    {
        return run.text().find("Traceback") != std::string::npos;
    }

    std::optional<SCOPED_ENV> m_own_root;
};

}  // namespace

TEST_F(GeneratorInputTest, SpecialAndNonUtf8CatalogFilesAreSkippedByName)
{
    const std::string catalog = installation() + "/ip/catalog";
    special_files(catalog, ".xml");
    write_text(catalog + "/latin.xml", "<ip_catalog><card name=\"x\xe9\" version=\"1.0\"/></ip_catalog>");
    const std::string soc = copy("systems/soc.tessel");
    ASSERT_EQ(::mkfifo((work() + "/newer.vsf").c_str(), 0600), 0);

    const TOOL_RUN upgrade = run(tessel_generate() + " --upgrade-ip-cores " + in_quotes(soc) +
                                 " --vorlin-project=newer --rev=newer");
    EXPECT_EQ(upgrade.exit_code, 0) << upgrade.text();
    for (const char* skipped : {"pipe.xml: not a regular file", "zero.xml: not a regular file",
                                "latin.xml: not valid UTF-8 (byte 25)"})
        EXPECT_TRUE(upgrade.has_line("Warning: Skipping the IP catalog file " + catalog + "/" + skipped))
            << upgrade.text();
    EXPECT_TRUE(upgrade.has_line("Warning: Cannot read the settings file " + work() +
                                 "/newer.vsf (not a regular file); the project's device family is unknown"))
        << upgrade.text();
    EXPECT_EQ(upgrade.count_prefix("Info: Upgraded module"), 3u) << upgrade.text();
}

TEST_F(GeneratorInputTest, SpecialSystemFilesAndVersionFilesFailNamingThem)
{
    const std::string root = installation();
    special_files(work(), ".tessel");
    const TOOL_RUN systems = run(tessel_generate() + " --upgrade-ip-cores pipe.tessel --batch=zero.tessel");
    EXPECT_EQ(systems.exit_code, 1);
    EXPECT_EQ(systems.count_prefix("Error: Cannot read the system file " + work() +
                                   "/pipe.tessel: not a regular file") +
                  systems.count_prefix("Error: Cannot read the system file " + work() +
                                       "/zero.tessel: not a regular file"),
              2u)
        << systems.text();

    write_text(root + "/version.txt", "version = 24.1\xff\n");
    const TOOL_RUN version =
        run(tessel_generate() + " --upgrade-ip-cores " + in_quotes(copy("systems/soc.tessel")));
    EXPECT_EQ(version.exit_code, 1);
    EXPECT_TRUE(version.has_line("Error: Cannot read " + root + "/version.txt: not valid UTF-8 (byte 14)"))
        << version.text();
    EXPECT_FALSE(has_traceback(systems) || has_traceback(version));
}
