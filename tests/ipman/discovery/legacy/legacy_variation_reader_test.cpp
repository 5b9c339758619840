//! @file legacy_variation_reader_test.cpp
//! @brief Family of wizard variations and of legacy product cores, and the device-family
//! line rewrite, over the variation files in tests/data/legacy_variations.
#include "discovery/ipman_legacy_variation_reader.h"
#include "ipman/discovery/legacy/legacy_test_support.h"

#include <dev/dev.h>
#include <ipcatalog/ipcatalog.h>

#include <sys/stat.h>

using namespace legacy_test;
using FAMILIES = std::vector<DEV_FAMILY_ENUM>;

namespace {
const auto* const kTestIpRoot = ::testing::AddGlobalTestEnvironment(new TEST_IP_ROOT);

DEV_FAMILY_ENUM family(const char* name)
{
    const DEV_FAMILY_ENUM found = dstr_get_dev_family_enum_by_string(name);
    EXPECT_NE(found, DEV_FAMILY_NONE) << name;
    return found;
}

FAMILIES retrieval_families(const std::string& core, const std::string& file, bool with_catalog = true)
{
    FAMILIES families;
    read_retrieval_info_family(with_catalog ? IPCATALOG_VORLIN_IP_CATALOG_MANAGER::instance(false) : nullptr,
                               core, file, families);
    return families;
}

std::optional<DEV_FAMILY_ENUM> product_family(const std::string& file, const std::string& core)
{
    DEV_FAMILY_ENUM found = family("Cinder");
    if (!read_legacy_product_family(file, core, found)) return std::nullopt;
    return found;
}
}  // namespace

TEST(RetrievalInfoFamily, FirstOfFamilyLineAndCatalogParameterGenericWins)
{
    EXPECT_EQ(retrieval_families("kv_counter", data_file("family_line_first.v")),
              FAMILIES{family("Crest II")});
    // The generic's name matches ignoring case; blanks around the payload do not count.
    EXPECT_EQ(retrieval_families("kv_counter", data_file("generic_first.v")), FAMILIES{family("Ember II")});
    // Without a catalog, or with no legacy parameter for the core, only family lines count.
    EXPECT_EQ(retrieval_families("kv_counter", data_file("generic_first.v"), false),
              FAMILIES{family("Crest II")});
    EXPECT_EQ(retrieval_families("kv_plain", data_file("generic_first.v")), FAMILIES{family("Crest II")});
    // ram_2port's parameter comes from its matching legacy card; empty values read on.
    EXPECT_EQ(retrieval_families("ram_2port", data_file("matching_card.v")), FAMILIES{family("Crest V")});
}

TEST(RetrievalInfoFamily, NothingFromIndentedLinesUnknownFamiliesJunkOrNonFiles)
{
    TEMP_DIR dir;
    std::string junk(300000, '\0');
    for (std::size_t i = 0; i < junk.size(); ++i)
        junk[i] = static_cast<char>(i * 7919 % 251);
    ASSERT_EQ(::mkfifo((dir.dir() + "pipe.v").c_str(), 0600), 0);  // opening it would block
    for (const std::string& file :
         {data_file("indented_lines.v"), data_file("unknown_family.v"), dir.write("junk.v", junk),
          dir.dir() + "pipe.v", dir.dir() + "missing.v", dir.path(), std::string()})
        EXPECT_TRUE(retrieval_families("kv_counter", file).empty()) << file;
}

TEST(LegacyProductFamily, FamilyOfTheFirstExactlyNamedPrivateLine)
{
    EXPECT_EQ(product_family(data_file("product_df_prefix.v"), "fir_core"), family("Crest V"));
    EXPECT_EQ(product_family(data_file("product_private_without_name.vhd"), "cic_filter"),
              family("Ember II"));
    // A product without a family parameter is recognised from the file's existence alone.
    EXPECT_EQ(product_family(data_file("family_line_first.v"), "uart_basic"), DEV_FAMILY_NONE);
    EXPECT_EQ(product_family(data_file("missing.v"), "uart_basic"), std::nullopt);
    // Other cores; lines without the blank after the prefix or with one before it.
    EXPECT_EQ(product_family(data_file("product_df_prefix.v"), "FIR_CORE"), std::nullopt);
    EXPECT_EQ(product_family(data_file("product_no_match.v"), "fft_legacy"), std::nullopt);
    // An unknown family determines nothing, so the caller keeps the families it has.
    EXPECT_EQ(product_family(data_file("product_unknown_family.v"), "pcie_hard_ip"), std::nullopt);
}

TEST(DeviceFamilyRewrite, CopiesWithEveryFamilyLineNamingTheProjectFamily)
{
    FAMILY_PROJECT project("Crest V");
    ASSERT_TRUE(rewrite_device_family_lines("KV_COUNTER", data_file("rewrite_source.v"), "out.v"));
    EXPECT_EQ(read_text(project.path() + "out.v"), read_text(data_file("rewrite_expected_crest5.v")));

    const std::string crlf =
        project.write("crlf.v", "// Retrieval info: " + std::string(IPMAN_DEVICE_FAMILY_PAYLOAD) +
                                    " \"Cinder\"\r\nmodule crlf;\r\n");
    ASSERT_TRUE(rewrite_device_family_lines("Clock Gate Block", crlf, crlf));
    EXPECT_EQ(read_text(crlf), "// Retrieval info: " + std::string(IPMAN_DEVICE_FAMILY_PAYLOAD) +
                                   " \"Crest V\"\r\nmodule crlf;\r\n");
}

TEST(DeviceFamilyRewrite, WritesNothingWithoutRealFamilySilentCoreOrReadableInput)
{
    const std::string source = data_file("rewrite_source.v");
    TEMP_DIR no_project;
    EXPECT_FALSE(rewrite_device_family_lines("KV_COUNTER", source, no_project.dir() + "out.v"));
    EXPECT_FALSE(std::filesystem::exists(no_project.dir() + "out.v"));
    for (const char* project_family : {"Device Agnostic", ""}) {
        FAMILY_PROJECT project(project_family);
        EXPECT_FALSE(rewrite_device_family_lines("KV_COUNTER", source, "out.v")) << project_family;
        EXPECT_FALSE(std::filesystem::exists(project.path() + "out.v")) << project_family;
    }
    FAMILY_PROJECT project("Crest V");
    const std::string kept = project.write("out.v", "kept\n");
    ASSERT_EQ(::mkfifo((project.path() + "pipe.v").c_str(), 0600), 0);
    for (const char* core : {"kv_counter", "KV_MULT", ""})
        EXPECT_FALSE(rewrite_device_family_lines(core, source, kept)) << core;
    for (const std::string& input : {project.path() + "missing.v", project.path(), project.path() + "pipe.v"})
        EXPECT_FALSE(rewrite_device_family_lines("KV_COUNTER", input, kept)) << input;
    EXPECT_EQ(read_text(kept), "kept\n");
}
