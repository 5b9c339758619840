// Every input the fuzzers once broke a reader with, run again through the same target.
#include "fuzz_targets.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

using FUZZ_BODY = int (*)(const std::uint8_t*, std::size_t);

struct TARGET {
    const char* reader;
    FUZZ_BODY body;
};

const TARGET targets[] = {
    {"project_file", fuzz_project_file},
    {"settings_file", fuzz_settings_file},
    {"ip_list", fuzz_ip_list},
    {"csv_table", fuzz_csv_table},
    {"ipxact", fuzz_ipxact},
    {"system_file", fuzz_system_file},
    {"wizard_lines", fuzz_wizard_lines},
    {"retrieval_lines", fuzz_retrieval_lines},
    {"catalog", fuzz_catalog},
    {"device_list", fuzz_device_list},
    {"netlist", fuzz_netlist},
};

std::vector<std::uint8_t> file_bytes(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class FuzzRegression : public ::testing::TestWithParam<TARGET> {};

TEST_P(FuzzRegression, ReadsEmptyInputAndEveryKeptCase)
{
    const TARGET& target = GetParam();
    EXPECT_EQ(0, target.body(nullptr, 0));
    const std::filesystem::path dir = std::filesystem::path(VORLIN_TEST_DATA_DIR) / "fuzz" / target.reader;
    if (!std::filesystem::is_directory(dir)) return;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
        SCOPED_TRACE(entry.path().string());
        const std::vector<std::uint8_t> bytes = file_bytes(entry.path());
        EXPECT_EQ(0, target.body(bytes.data(), bytes.size()));
    }
}

INSTANTIATE_TEST_SUITE_P(Readers, FuzzRegression, ::testing::ValuesIn(targets),
                         [](const ::testing::TestParamInfo<TARGET>& info) {
                             return std::string(info.param.reader);
                         });

}  // namespace
