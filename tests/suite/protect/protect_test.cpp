//! @file protect_test.cpp
//! @brief Protected sources: the envelope test, the header comment and vendors (proxies: the
//! design-hierarchy finder test).
#include <protect/protect.h>

#include <gtest/gtest.h>

namespace {
const std::string PROTECTED = std::string(VORLIN_TEST_DATA_DIR) + "/protected/";
}

TEST(ProtectedFiles, EnvelopeTest)
{
    EXPECT_EQ(cpt_is_encrypted_file(PROTECTED + "fir_filter_enc.v"), 2);  // line of begin_protected
    EXPECT_EQ(cpt_is_encrypted_file(PROTECTED + "ddr_phy_enc.vhd"), 2);
    EXPECT_EQ(cpt_is_encrypted_file(PROTECTED + "plain.v"), 0);  // mentioned in prose only
    EXPECT_EQ(cpt_is_encrypted_file(PROTECTED + "wrapped_core.v"), 0);
    EXPECT_EQ(cpt_is_encrypted_file(PROTECTED + "missing.v"), -1);
    EXPECT_EQ(cpt_is_encrypted_file(PROTECTED), -1);  // a directory
}

TEST(ProtectedFiles, HeaderCommentGivesCoreVersionAndVendor)
{
    CPT_PROTECTED_FILE_READER reader;
    ASSERT_TRUE(reader.open(PROTECTED + "fir_filter_enc.v"));
    EXPECT_EQ(reader.get_core_name(), "\"fir_filter\"");  // as written: quotes kept
    EXPECT_EQ(reader.get_core_version(), "24.1");
    EXPECT_EQ(reader.get_vendor_id(), "6AF7");
    EXPECT_EQ(reader.get_vendor_name(), "Oltran");  // not the comment inside the data

    ASSERT_TRUE(reader.open(PROTECTED + "ddr_phy_enc.vhd"));
    EXPECT_EQ(reader.get_core_name(), "\"ddr phy\"");
    EXPECT_EQ(reader.get_core_version(), "23.1.2");
    EXPECT_EQ(reader.get_vendor_name(), "Quillon Systems");  // ids ignore case

    ASSERT_TRUE(reader.open(PROTECTED + "no_header_enc.v"));
    EXPECT_EQ(reader.get_core_name(), "");
    EXPECT_EQ(reader.get_vendor_name(), "N/A");

    EXPECT_FALSE(reader.open(PROTECTED + "plain.v"));
    EXPECT_FALSE(reader.open(PROTECTED + "missing.v"));
}

TEST(ProtectedFiles, CommentTextForms)
{
    CPT_PROTECTED_FILE_READER reader;
    EXPECT_TRUE(reader.parse_comment("  vendor=7B10   core_name=plain_name core_version=1.0 extra  "));
    EXPECT_EQ(reader.get_core_name(), "plain_name");
    EXPECT_EQ(reader.get_vendor_name(), "Brightlane Logic");
    CPT_PROTECTED_FILE_READER unterminated;
    EXPECT_TRUE(unterminated.parse_comment("core_name=\"open ended core_version=2"));
    EXPECT_EQ(unterminated.get_core_name(), "\"open ended core_version=2");
    CPT_PROTECTED_FILE_READER empty;
    EXPECT_FALSE(empty.parse_comment("core_version=2 vendor=6AF7"));
    EXPECT_EQ(cpt_get_vendor_name("FFFF"), "N/A");
}
