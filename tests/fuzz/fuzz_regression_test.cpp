// Every fuzz body run over the files it is seeded from (tests/data/fuzz/seeds) and over every
// input the fuzzers once broke a reader with: no crash, and the promises the bodies check hold.
#include "fuzz_targets.h"

#include <gtest/gtest.h>

#include <fnmatch.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
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

const fs::path data_dir = VORLIN_TEST_DATA_DIR;

std::vector<std::string> seed_patterns(const std::string& reader)
{
    std::ifstream seeds(data_dir / "fuzz" / "seeds");
    for (std::string line; std::getline(seeds, line);) {
        std::istringstream words(line);
        std::string name;
        if (!(words >> name) || name != reader) continue;
        return {std::istream_iterator<std::string>(words), std::istream_iterator<std::string>()};
    }
    return {};
}

bool is_input_of(const fs::path& file, const std::string& reader, const std::vector<std::string>& patterns)
{
    if (file.parent_path().parent_path() == data_dir / "fuzz") return file.parent_path().filename() == reader;
    if (file.parent_path() == data_dir / "fuzz") return false;
    for (const std::string& pattern : patterns)
        if (fnmatch(pattern.c_str(), file.filename().c_str(), 0) == 0) return true;
    return false;
}

class FuzzRegression : public ::testing::TestWithParam<TARGET> {};

TEST_P(FuzzRegression, ReadsEmptyInputSeedsAndEveryKeptCase)
{
    const TARGET& target = GetParam();
    EXPECT_EQ(0, target.body(nullptr, 0));
    const std::vector<std::string> patterns = seed_patterns(target.reader);
    ASSERT_FALSE(patterns.empty());
    int inputs = 0;
    for (const auto& entry : fs::recursive_directory_iterator(data_dir)) {
        if (!entry.is_regular_file() || !is_input_of(entry.path(), target.reader, patterns)) continue;
        SCOPED_TRACE(entry.path().string());
        std::ifstream in(entry.path(), std::ios::binary);
        const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in),
                                              std::istreambuf_iterator<char>()};
        EXPECT_EQ(0, target.body(bytes.data(), bytes.size()));
        ++inputs;
    }
    EXPECT_GT(inputs, 0);
}

INSTANTIATE_TEST_SUITE_P(Readers, FuzzRegression, ::testing::ValuesIn(targets),
                         [](const ::testing::TestParamInfo<TARGET>& info) {
                             return std::string(info.param.reader);
                         });

}  // namespace
