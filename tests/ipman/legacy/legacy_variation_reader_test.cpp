//! @file legacy_variation_reader_test.cpp
//! @brief Family of wizard variations and of legacy product cores, and the device-family
//! line rewrite, over the variation files in tests/data/legacy_variations.
#include "ipman_legacy_variation_reader.h"
#include "legacy_test_support.h"

#include <dev/dev.h>
#include <ipcatalog/ipcatalog.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>

using namespace legacy_test;
using FAMILIES = std::vector<DEV_FAMILY_ENUM>;

namespace {

const auto* const kTestIpRoot = ::testing::AddGlobalTestEnvironment(new TEST_IP_ROOT);

DEV_FAMILY_ENUM family(const char* name) {
    const DEV_FAMILY_ENUM found = dstr_get_dev_family_enum_by_string(name);
    EXPECT_NE(found, DEV_FAMILY_NONE) << name;
    return found;
}

const IPCATALOG_VORLIN_IP_CATALOG_MANAGER* catalog() {
    return IPCATALOG_VORLIN_IP_CATALOG_MANAGER::instance(false);
}

FAMILIES retrieval_families(const std::string& core, const std::string& file,
                            const IPCATALOG_VORLIN_IP_CATALOG_MANAGER* with_catalog = catalog()) {
    FAMILIES families;
    read_retrieval_info_family(with_catalog, core, file, families);
    return families;
}

} // namespace

// ---- Retrieval-information family ---------------------------------------------------------

TEST(RetrievalInfoFamily, FirstOfFamilyLineAndMatchingGenericWins) {
    EXPECT_EQ(retrieval_families("kv_counter", data_file("family_line_first.v")), FAMILIES{family("Crest II")});
    // The generic's name matches ignoring case, and blanks around the payload do not count.
    EXPECT_EQ(retrieval_families("kv_counter", data_file("generic_first.v")), FAMILIES{family("Ember II")});
}

TEST(RetrievalInfoFamily, GenericLinesNeedTheCatalogsFamilyParameter) {
    // No catalog, or a core the catalog has no legacy parameter for: only the family line counts.
    EXPECT_EQ(retrieval_families("kv_counter", data_file("generic_first.v"), nullptr), FAMILIES{family("Crest II")});
    EXPECT_EQ(retrieval_families("kv_plain", data_file("generic_first.v")), FAMILIES{family("Crest II")});
    EXPECT_EQ(retrieval_families("no_such_core", data_file("generic_first.v")), FAMILIES{family("Crest II")});
}

TEST(RetrievalInfoFamily, MatchingLegacyCardGivesTheParameterAndEmptyValuesReadOn) {
    // ram_2port is a standalone card; its matching legacy card names "Ram_Family". The empty
    // value and the standalone card's own parameter are passed over.
    EXPECT_EQ(retrieval_families("ram_2port", data_file("matching_card.v")), FAMILIES{family("Crest V")});
}

TEST(RetrievalInfoFamily, VhdlAndCrLfFilesReadAlike) {
    EXPECT_EQ(retrieval_families("kv_counter", data_file("family_line.vhd")), FAMILIES{family("Cinder")});
    EXPECT_EQ(retrieval_families("kv_counter", data_file("crlf_lines.v")), FAMILIES{family("Crest V")});
}

TEST(RetrievalInfoFamily, AppendsToWhatIsThereAndFindsNothingInOtherFiles) {
    FAMILIES families{family("Cinder")};
    read_retrieval_info_family(catalog(), "kv_counter", data_file("family_line_first.v"), families);
    EXPECT_EQ(families, (FAMILIES{family("Cinder"), family("Crest II")}));

    // Indented lines are no retrieval lines; an unknown family on the deciding line stops the
    // reading all the same; missing files and directories give nothing.
    EXPECT_TRUE(retrieval_families("kv_counter", data_file("indented_lines.v")).empty());
    EXPECT_TRUE(retrieval_families("kv_counter", data_file("unknown_family.v")).empty());
    EXPECT_TRUE(retrieval_families("kv_counter", data_file("no_such_file.v")).empty());
    EXPECT_TRUE(retrieval_families("kv_counter", data_file("ip_root")).empty());
    EXPECT_TRUE(retrieval_families("kv_counter", "").empty());
}

TEST(RetrievalInfoFamily, UnpairedQuoteOrBrokenGenericLeavesFamilyUnknown) {
    SCRATCH_DIR dir;
    EXPECT_TRUE(retrieval_families("kv_counter", dir.write("unpaired.v",
        "// Retrieval info: PRIVATE: INTENDED_DEVICE_FAMILY STRING \"Crest II\n"
        "// Retrieval info: PRIVATE: INTENDED_DEVICE_FAMILY STRING \"Cinder\"\n")).empty());
    EXPECT_EQ(retrieval_families("kv_counter", dir.write("broken_generic.v",
        "// Retrieval info: <generic name=\"INTENDED_DEVICE_FAMILY\" value=\"Crest II\"\n"
        "// Retrieval info: <generic value=\"Crest II\"/>\n"
        "// Retrieval info: <genericx name=\"INTENDED_DEVICE_FAMILY\" value=\"Crest II\"/>\n"
        "// Retrieval info: <generic name=\"INTENDED_DEVICE_FAMILY\" value=\"Ember II\"/>\n")),
        FAMILIES{family("Ember II")});
}

TEST(RetrievalInfoFamily, RelativePathsAreTakenAgainstTheProject) {
    SCRATCH_PROJECT project("Crest V");
    std::filesystem::create_directory(project.dir().path() + "ip");
    project.dir().write("ip/var.v", read_text(data_file("family_line.vhd")));
    EXPECT_EQ(retrieval_families("kv_counter", "ip/var.v"), FAMILIES{family("Cinder")});
}

TEST(RetrievalInfoFamily, BinaryJunkAndEndlessLinesAreHarmless) {
    SCRATCH_DIR dir;
    std::string junk;
    for (int i = 0; i < 200000; ++i)
        junk += static_cast<char>((i * 7919) % 256);
    EXPECT_TRUE(retrieval_families("kv_counter", dir.write("junk.v", junk)).empty());

    // A family line after a line of a few megabytes is still found.
    const std::string long_line = "// " + std::string(3 << 20, 'x') + "\n";
    EXPECT_EQ(retrieval_families("kv_counter", dir.write("long.v",
        long_line + "// Retrieval info: PRIVATE: INTENDED_DEVICE_FAMILY STRING \"Cinder\"\n")),
        FAMILIES{family("Cinder")});
}

TEST(LegacyVariationFiles, NamedPipesAreNeverOpened) {
    // Opening a pipe without a writer would block the reader for good.
    SCRATCH_PROJECT project("Crest V");
    const std::string pipe = project.dir().path() + "pipe.v";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    EXPECT_TRUE(retrieval_families("kv_counter", pipe).empty());
    DEV_FAMILY_ENUM found = DEV_FAMILY_NONE;
    EXPECT_FALSE(read_legacy_product_family(pipe, "fir_core", found));
    EXPECT_FALSE(rewrite_device_family_lines("KV_COUNTER", pipe, project.dir().path() + "out.v"));
    EXPECT_FALSE(std::filesystem::exists(project.dir().path() + "out.v"));
}

// ---- Legacy product cores ----------------------------------------------------------------

TEST(LegacyProductFamily, DfPrefixIsStrippedAndLowerCased) {
    DEV_FAMILY_ENUM found = DEV_FAMILY_NONE;
    ASSERT_TRUE(read_legacy_product_family(data_file("product_df_prefix.v"), "fir_core", found));
    EXPECT_EQ(found, family("Crest V"));
}

TEST(LegacyProductFamily, ParameterNameMatchesExactlyAndNamelessOrBrokenLinesAreSkipped) {
    DEV_FAMILY_ENUM found = DEV_FAMILY_NONE;
    ASSERT_TRUE(read_legacy_product_family(data_file("product_private_without_name.vhd"), "cic_filter", found));
    EXPECT_EQ(found, family("Ember II"));
}

TEST(LegacyProductFamily, ProductWithoutParameterIsRecognisedWithoutReading) {
    DEV_FAMILY_ENUM found = family("Cinder");
    ASSERT_TRUE(read_legacy_product_family(data_file("family_line_first.v"), "uart_basic", found));
    EXPECT_EQ(found, DEV_FAMILY_NONE);
    // It still has to exist.
    EXPECT_FALSE(read_legacy_product_family(data_file("no_such_file.v"), "uart_basic", found));
}

TEST(LegacyProductFamily, OtherCoresFilesWithoutMatchAndUnknownValuesAreNotRecognised) {
    DEV_FAMILY_ENUM found = family("Cinder");
    EXPECT_FALSE(read_legacy_product_family(data_file("product_df_prefix.v"), "FIR_CORE", found));
    EXPECT_FALSE(read_legacy_product_family(data_file("product_df_prefix.v"), "kv_counter", found));
    // The product reader wants the blank after the prefix and no blank before it.
    EXPECT_FALSE(read_legacy_product_family(data_file("product_no_match.v"), "fft_legacy", found));
    // An unknown family determines nothing, so the caller keeps the families it has.
    EXPECT_FALSE(read_legacy_product_family(data_file("product_unknown_family.v"), "pcie_hard_ip", found));
    EXPECT_EQ(found, family("Cinder"));
}

// ---- Device-family line rewrite ----------------------------------------------------------

TEST(DeviceFamilyRewrite, CopiesWithEveryFamilyLineNamingTheProjectFamily) {
    SCRATCH_PROJECT project("Crest V");
    const std::string output = project.dir().path() + "out.v";
    ASSERT_TRUE(rewrite_device_family_lines("KV_COUNTER", data_file("rewrite_source.v"), output));
    EXPECT_EQ(read_text(output), read_text(data_file("rewrite_expected_crest5.v")));
}

TEST(DeviceFamilyRewrite, InPlaceRewriteKeepsTheFileWholeAndCrLfEndings) {
    SCRATCH_PROJECT project("Ember II");
    const std::string file = project.dir().write("var.v",
        "// Retrieval info: PRIVATE: INTENDED_DEVICE_FAMILY STRING \"Crest II\"\r\n"
        "module var;\r\nendmodule\r\n");
    ASSERT_TRUE(rewrite_device_family_lines("Clock Gate Block", file, file));
    EXPECT_EQ(read_text(file),
        "// Retrieval info: PRIVATE: INTENDED_DEVICE_FAMILY STRING \"Ember II\"\r\n"
        "module var;\r\nendmodule\r\n");
}

TEST(DeviceFamilyRewrite, WritesNothingWithoutARealProjectFamilyOrForOtherCores) {
    const std::string source = data_file("rewrite_source.v");
    {
        SCRATCH_DIR dir;
        EXPECT_FALSE(rewrite_device_family_lines("KV_COUNTER", source, dir.path() + "no_project.v"));
        EXPECT_FALSE(std::filesystem::exists(dir.path() + "no_project.v"));
    }
    for (const char* project_family : {"Device Agnostic", ""}) {
        SCRATCH_PROJECT project(project_family);
        const std::string output = project.dir().path() + "out.v";
        EXPECT_FALSE(rewrite_device_family_lines("KV_COUNTER", source, output)) << project_family;
        EXPECT_FALSE(std::filesystem::exists(output)) << project_family;
    }
    SCRATCH_PROJECT project("Crest V");
    const std::string output = project.dir().path() + "out.v";
    for (const char* core : {"kv_counter", "KV_MULT", "Clock gate block", ""})
        EXPECT_FALSE(rewrite_device_family_lines(core, source, output)) << core;
    EXPECT_FALSE(std::filesystem::exists(output));
}

TEST(DeviceFamilyRewrite, UnreadableInputOrUnwritableOutputLeavesFilesAsTheyWere) {
    SCRATCH_PROJECT project("Crest V");
    const std::string output = project.dir().write("out.v", "previous content\n");
    EXPECT_FALSE(rewrite_device_family_lines("KV_COUNTER", project.dir().path() + "missing.v", output));
    EXPECT_FALSE(rewrite_device_family_lines("KV_COUNTER", project.dir().path(), output));
    EXPECT_EQ(read_text(output), "previous content\n");

    EXPECT_FALSE(rewrite_device_family_lines("KV_COUNTER", output, project.dir().path() + "no_dir/out.v"));
    EXPECT_EQ(read_text(output), "previous content\n");
}

TEST(DeviceFamilyRewrite, RelativePathsAreTakenAgainstTheProject) {
    SCRATCH_PROJECT project("Cinder");
    project.dir().copy_data_file("rewrite_source.v");
    ASSERT_TRUE(rewrite_device_family_lines("KV_COUNTER", "rewrite_source.v", "rewritten.v"));
    FAMILIES families;
    read_retrieval_info_family(nullptr, "KV_COUNTER", project.dir().path() + "rewritten.v", families);
    EXPECT_EQ(families, FAMILIES{family("Cinder")});
}
