//! @file legacy_fuzz_test.cpp
//! @brief Seeded random mutations of legacy variation files: the retrieval-line readers never
//! crash and find at most one known family; the rewrite keeps every other line as it was.
#include "ipman_legacy_variation_reader.h"
#include "legacy_test_support.h"

#include <dev/dev.h>
#include <ipcatalog/ipcatalog.h>

#include <gtest/gtest.h>

#include <random>

using namespace legacy_test;

namespace {

const auto* const kTestIpRoot = ::testing::AddGlobalTestEnvironment(new TEST_IP_ROOT);

//! Edits that aim at the retrieval-line syntax: prefixes, quotes, markup, line breaks.
class VARIATION_MUTATOR {
public:
    explicit VARIATION_MUTATOR(unsigned seed) : m_random(seed) {}

    std::size_t below(std::size_t bound) {
        return std::uniform_int_distribution<std::size_t>(0, bound - 1)(m_random);
    }

    std::string mutate(std::string text) {
        static const char* const kPieces[] = {
            "// Retrieval info: ", "-- Retrieval info:", "PRIVATE: INTENDED_DEVICE_FAMILY STRING \"",
            "<generic name=\"INTENDED_DEVICE_FAMILY\" value=\"", "<PRIVATE name=\"devicefamily\" value=\"df_",
            "\"", "\"/>", "<", ">", "\r", "\n", "\r\n", std::string(1, '\0').c_str(), "&#x0;", "Crest V", "\t"};
        for (std::size_t edits = 1 + below(5); edits > 0; --edits) {
            const std::size_t at = below(text.size() + 1);
            switch (below(6)) {
            case 0:
                if (at < text.size()) text[at] = static_cast<char>(below(256));
                break;
            case 1: text.resize(at); break;
            case 2: text.insert(at, kPieces[below(std::size(kPieces))]); break;
            case 3: text.insert(at, text.substr(at, below(200))); break;
            case 4: text.erase(at, below(40)); break;
            default: text.insert(at, 1 + below(10000), "x\"< \r"[below(5)]); break;
            }
        }
        return text;
    }

private:
    std::mt19937 m_random;
};

const char* const kSeedFiles[] = {"family_line_first.v", "generic_first.v", "family_line.vhd", "crlf_lines.v",
                                  "matching_card.v", "product_df_prefix.v", "product_private_without_name.vhd",
                                  "rewrite_source.v"};

std::vector<std::string> lines_of(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const auto end = text.find('\n', start);
        const auto stop = end == std::string::npos ? text.size() : end;
        lines.push_back(text.substr(start, stop - start));
        start = stop + 1;
    }
    return lines;
}

bool is_family_line(const std::string& line) {
    for (const char* prefix : {IPMAN_VERILOG_RETRIEVAL_PREFIX, IPMAN_VHDL_RETRIEVAL_PREFIX})
        if (line.rfind(std::string(prefix) + " " + IPMAN_DEVICE_FAMILY_PAYLOAD, 0) == 0)
            return true;
    return false;
}

//! The readers' promises for one file.
void check_readers(const std::string& file) {
    for (const char* core : {"kv_counter", "ram_2port"}) {
        std::vector<DEV_FAMILY_ENUM> families;
        read_retrieval_info_family(IPCATALOG_VORLIN_IP_CATALOG_MANAGER::instance(false), core, file, families);
        ASSERT_LE(families.size(), 1u);
        if (!families.empty()) {
            EXPECT_TRUE(dstr_is_valid_dev_family_enum(families.front()));
        }
    }
    for (const char* product : {"fir_core", "cic_filter"}) {
        DEV_FAMILY_ENUM family = DEV_FAMILY_NONE;
        if (read_legacy_product_family(file, product, family)) {
            EXPECT_TRUE(dstr_is_valid_dev_family_enum(family));
        } else {
            EXPECT_EQ(family, DEV_FAMILY_NONE);
        }
    }
}

//! The rewrite changes exactly the device-family lines and is idempotent.
void check_rewrite(const std::string& input, const std::string& output) {
    ASSERT_TRUE(rewrite_device_family_lines("KV_COUNTER", input, output));
    const auto before = lines_of(read_text(input));
    const std::string rewritten = read_text(output);
    const auto after = lines_of(rewritten);
    ASSERT_EQ(before.size(), after.size());
    for (std::size_t i = 0; i < before.size(); ++i) {
        if (!is_family_line(before[i])) {
            EXPECT_EQ(after[i], before[i]) << "line " << i + 1;
            continue;
        }
        const std::string expected = before[i].substr(0, 19) + IPMAN_DEVICE_FAMILY_PAYLOAD + " \"Crest V\"";
        EXPECT_TRUE(after[i] == expected || after[i] == expected + "\r") << "line " << i + 1;
    }
    ASSERT_TRUE(rewrite_device_family_lines("KV_COUNTER", output, output));
    EXPECT_EQ(read_text(output), rewritten);
}

} // namespace

// Each rewrite syncs its output to disk, so fewer mutants go through the rewrite.
constexpr unsigned kReaderSeeds = 150;
constexpr unsigned kRewriteSeeds = 8;

TEST(LegacyVariationFuzz, MutatedVariationFilesKeepTheReadersPromises) {
    SCRATCH_PROJECT project("Crest V");
    for (unsigned seed = 1; seed <= kReaderSeeds; ++seed) {
        VARIATION_MUTATOR mutator(seed);
        for (const char* name : kSeedFiles) {
            SCOPED_TRACE(::testing::Message() << "seed " << seed << ", " << name);
            const std::string file = project.dir().write("mutant.v", mutator.mutate(read_text(data_file(name))));
            check_readers(file);
            if (seed <= kRewriteSeeds)
                check_rewrite(file, project.dir().path() + "rewritten.v");
            if (::testing::Test::HasFailure())
                return;
        }
    }
}
