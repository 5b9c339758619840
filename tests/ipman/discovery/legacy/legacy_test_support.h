//! @file legacy_test_support.h
//! @brief Helpers of the legacy variation tests: the sample files, the test IP root and
//! scratch projects of a chosen device family.
#pragma once

#include "support/test_support.h"

namespace legacy_test {

inline std::string data_file(const std::string& name)
{
    return test_data("legacy_variations/" + name);
}

//! Points the IP root at the test catalog and catalogue of legacy cores before any test
//! reads either.
class TEST_IP_ROOT : public ::testing::Environment {
public:
    void SetUp() override { ::setenv("IP_ROOTDIR", data_file("ip_root/").c_str(), 1); }
};

//! A scratch project of a device family (empty: no FAMILY assignment), open meanwhile.
class FAMILY_PROJECT : public SCRATCH_PROJECT {
public:
    explicit FAMILY_PROJECT(const std::string& family)
        : SCRATCH_PROJECT("legacy", "main", family.empty() ? "" : family_setting(family))
    {
    }
};

}  // namespace legacy_test
