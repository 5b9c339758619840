//! @file test_generator_inputs.cpp
//! @brief Generators handed FIFOs, devices and files that are not UTF-8 name each one in a
//! warning or an error; nothing hangs and no Python traceback escapes.
#include "share/generators/generator_test_support.h"

#include <sys/stat.h>

TEST_F(GeneratorTest, SpecialAndNonUtf8InputsAreNamedNotReadWithoutEnd)
{
    const std::string root = work() + "/inst";
    std::filesystem::copy(data_dir() + "/installation", root, std::filesystem::copy_options::recursive);
    SCOPED_ENV own_root("VORLIN_ROOTDIR", root);
    const std::string catalog = root + "/ip/catalog/";
    for (const std::string& pipe : {catalog + "pipe.xml", work() + "/newer.vsf", work() + "/pipe.tessel"})
        ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    std::filesystem::create_symlink("/dev/zero", catalog + "zero.xml");
    write_text(catalog + "latin.xml", "<ip_catalog><card name=\"x\xe9\" version=\"1.0\"/></ip_catalog>");

    const std::string soc = copy("systems/soc.tessel");
    const TOOL_RUN upgrade = run(tessel_generate() + " --upgrade-ip-cores " + in_quotes(soc) +
                                 " --batch=pipe.tessel --vorlin-project=newer --rev=newer");
    EXPECT_EQ(upgrade.exit_code, 1);
    for (const std::string& line :
         {"Warning: Skipping the IP catalog file " + catalog + "pipe.xml: not a regular file",
          "Warning: Skipping the IP catalog file " + catalog + "zero.xml: not a regular file",
          "Warning: Skipping the IP catalog file " + catalog + "latin.xml: not valid UTF-8 (byte 25)",
          "Warning: Cannot read the settings file " + work() +
              "/newer.vsf (not a regular file); the project's device family is unknown",
          "Error: Cannot read the system file " + work() + "/pipe.tessel: not a regular file"})
        EXPECT_TRUE(upgrade.has_line(line)) << line << "\n" << upgrade.text();
    EXPECT_EQ(upgrade.count_prefix("Info: Upgraded module"), 3u) << upgrade.text();

    // Undecodable text used to end in a traceback.
    write_text(root + "/version.txt", "version = 24.1\xff\n");
    const TOOL_RUN version = run(tessel_generate() + " --upgrade-ip-cores " + in_quotes(soc));
    EXPECT_EQ(version.exit_code, 1);
    EXPECT_EQ(version.text(), "Error: Cannot read " + root + "/version.txt: not valid UTF-8 (byte 14)\n");
}
