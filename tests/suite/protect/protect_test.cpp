//! @file protect_test.cpp
//! @brief Protected sources: the envelope test.
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
