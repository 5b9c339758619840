//! @file wizman_test.cpp
//! @brief Legacy wizard information: the wizard list and wizard-generated file detection.
#include <wizman/wizman.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace {

const std::string VARIATIONS = std::string(VORLIN_TEST_DATA_DIR) + "/wizard_variations/";

//! A scratch directory removed at the end of the test.
class SCRATCH {
public:
    SCRATCH()
    {
        char pattern[] = "/tmp/wizman_test_XXXXXX";
        m_dir = mkdtemp(pattern);
    }
    ~SCRATCH() { fs::remove_all(m_dir); }
    std::string write(const std::string& name, const std::string& text) const
    {
        const std::string path = m_dir + "/" + name;
        fs::create_directories(fs::path(path).parent_path());
        std::ofstream(path, std::ios::binary) << text;
        return path;
    }
    const std::string& dir() const { return m_dir; }

private:
    std::string m_dir;
};

std::string lines(int count, const std::string& filler = "// filler\n")
{
    std::string text;
    for (int i = 0; i < count; ++i)
        text += filler;
    return text;
}

} // namespace

TEST(WizardList, LineForms)
{
    WIZMAN_WIZARD_ENTRY entry;
    ASSERT_TRUE(wizman_parse_lst_line("  kv_fifo   alias=kv_queue  EOL  # old name", entry));
    EXPECT_EQ(entry.name, "kv_fifo");
    EXPECT_EQ(entry.alias, "kv_queue");
    EXPECT_TRUE(entry.eol);
    ASSERT_TRUE(wizman_parse_lst_line("kv_pll\r", entry));
    EXPECT_EQ(entry.name, "kv_pll");
    EXPECT_TRUE(entry.alias.empty());
    EXPECT_FALSE(entry.eol);
    for (const char* bad : {"", "   ", "# comment", "alias=kv_pll", "kv_pll alias=", "kv_pll eol eol",
                            "kv_pll alias=a alias=b", "kv_pll retired"})
        EXPECT_FALSE(wizman_parse_lst_line(bad, entry)) << bad;
    EXPECT_TRUE(entry.name.empty());
}

TEST(WizardList, BundledWizardsAliasesAndEol)
{
    WIZMAN_WIZARD_INFO_MANAGER wizards;
    EXPECT_TRUE(wizards.get_next_wizard_name().empty());       // nothing before the lists are read
    ASSERT_TRUE(wizards.read_lst_files());
    wizards.get_wizard_table_head();
    std::vector<std::string> names;
    for (std::string name = wizards.get_next_wizard_name(); !name.empty(); name = wizards.get_next_wizard_name())
        names.push_back(name);
    EXPECT_EQ(names.front(), "kv_counter");
    EXPECT_EQ(std::count(names.begin(), names.end(), "counter"), 0);   // aliases are not walked
    EXPECT_EQ(std::count(names.begin(), names.end(), "kv_uart"), 1);   // end-of-life ones are
    wizards.get_wizard_table_head();
    EXPECT_EQ(wizards.get_next_wizard_name(), "kv_counter");

    EXPECT_EQ(wizards.get_wizard_alias_name("COUNTER"), "kv_counter");
    EXPECT_EQ(wizards.get_wizard_alias_name("kv_fifo"), "kv_fifo");
    EXPECT_EQ(wizards.get_wizard_alias_name("unknown_wizard"), "unknown_wizard");
    EXPECT_TRUE(wizards.is_unspecified_wizard(" \t"));
    EXPECT_FALSE(wizards.is_unspecified_wizard("kv_fifo"));
    EXPECT_TRUE(wizman_global_is_eol("KV_UART"));
    EXPECT_TRUE(wizman_global_is_eol("kv_serial"));              // an end-of-life older name
    EXPECT_FALSE(wizman_global_is_eol("kv_pll_old"));
    EXPECT_FALSE(wizman_global_is_eol("kv_pll"));
    EXPECT_TRUE(wizards.is_installed_wizard("Kv_Pll"));
    EXPECT_FALSE(wizards.is_installed_wizard("kv_pll_old"));
}

TEST(WizardList, AliasCyclesEndAndMissingListsAreEmpty)
{
    SCRATCH installation;
    installation.write("wizards/wizards.lst", "a alias=b\nb alias=c\nc alias=a\nd\nd eol\n\x01\x02junk here\n");
    setenv("VORLIN_ROOTDIR", installation.dir().c_str(), 1);
    WIZMAN_WIZARD_INFO_MANAGER wizards;
    EXPECT_TRUE(wizards.read_lst_files());
    EXPECT_EQ(wizards.get_wizard_alias_name("a"), "c");
    EXPECT_EQ(wizards.get_next_wizard_name(), "d");
    EXPECT_FALSE(wizards.is_eol_wizard("d"));                     // the first line of a name wins
    EXPECT_EQ(wizards.get_entries().size(), 4u);

    setenv("VORLIN_ROOTDIR", (installation.dir() + "/nowhere").c_str(), 1);
    WIZMAN_WIZARD_INFO_MANAGER none;
    EXPECT_FALSE(none.read_lst_files());
    EXPECT_TRUE(none.get_next_wizard_name().empty());
    setenv("VORLIN_ROOTDIR", VORLIN_BUNDLED_ROOTDIR, 1);
}

TEST(WizardGeneratedFiles, VerilogVhdlAndCoreOnly)
{
    std::string core = "keep", version = "keep";
    EXPECT_TRUE(is_wizard_generated_file(VARIATIONS + "kv_counter_var.v", core, version));
    EXPECT_EQ(core, "kv_counter");
    EXPECT_EQ(version, "22.1");
    EXPECT_TRUE(is_wizard_generated_file(VARIATIONS + "kv_fifo_var.vhd", core, version));   // CRLF lines
    EXPECT_EQ(core, "kv_fifo");
    EXPECT_EQ(version, "23.1");

    core = version = "keep";
    EXPECT_FALSE(is_wizard_generated_file(VARIATIONS + "kv_mult_core_only.v", core, version));
    EXPECT_EQ(core, "keep");
    EXPECT_TRUE(wizman_file_was_wizard_generated(VARIATIONS + "kv_mult_core_only.v"));
    EXPECT_EQ(wizman_global_extract_wizard_from_config(VARIATIONS + "kv_mult_core_only.v"), "kv_mult");

    for (const char* name : {"hand_written.v", "indented_header.v", "missing.v", ""})
        EXPECT_FALSE(wizman_file_was_wizard_generated(VARIATIONS + name)) << name;
    EXPECT_EQ(wizman_global_extract_wizard_from_config(VARIATIONS + "hand_written.v"), "");
}

TEST(WizardGeneratedFiles, OnlyTheFirstThirtyLinesCount)
{
    SCRATCH scratch;
    const std::string header = "-- Generated by Kelvane: core=kv_pll version=21.1\n";
    EXPECT_TRUE(wizman_file_was_wizard_generated(scratch.write("line30.vhd", lines(29) + header)));
    EXPECT_FALSE(wizman_file_was_wizard_generated(scratch.write("line31.vhd", lines(30) + header)));
    // A huge first line counts as one line, however long.
    EXPECT_TRUE(wizman_file_was_wizard_generated(scratch.write("long.vhd", std::string(100000, 'x') + "\n" + header)));
    EXPECT_FALSE(wizman_file_was_wizard_generated(scratch.write("junk.v", std::string(1 << 20, '\0'))));
    EXPECT_FALSE(wizman_file_was_wizard_generated(scratch.dir()));
}
