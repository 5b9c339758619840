//! @file legacy_fuzz_test.cpp
//! @brief Seeded random mutations of legacy variation files: the readers find at most one
//! known family, and the rewrite changes exactly the device-family lines.
#include "discovery/ipman_legacy_variation_reader.h"
#include "ipman/discovery/legacy/legacy_test_support.h"
#include "support/fuzz.h"

#include <dev/dev.h>
#include <ipcatalog/ipcatalog.h>

using namespace legacy_test;

namespace {
const auto* const kTestIpRoot = ::testing::AddGlobalTestEnvironment(new TEST_IP_ROOT);

const std::vector<std::string> RETRIEVAL_PIECES{"// Retrieval info: ",
                                                "-- Retrieval info:",
                                                "PRIVATE: INTENDED_DEVICE_FAMILY",
                                                "<generic name=\"INTENDED_DEVICE_FAMILY\" value=\"",
                                                "<PRIVATE name=\"devicefamily\" value=\"df_",
                                                "\"/>",
                                                "\r",
                                                "\n",
                                                std::string(1, '\0'),
                                                "Crest V",
                                                "x"};

//! Rewritten lines as the rewrite must produce them, carriage returns kept.
std::string expected_rewrite(const std::string& input)
{
    std::string expected;
    for (std::size_t start = 0; start < input.size();) {
        const std::size_t stop = std::min(input.find('\n', start), input.size());
        std::string line = input.substr(start, stop - start);
        const std::string tail = line.substr(std::min<std::size_t>(19, line.size()));
        if ((line.rfind("// Retrieval info: ", 0) == 0 || line.rfind("-- Retrieval info: ", 0) == 0) &&
            tail.rfind(IPMAN_DEVICE_FAMILY_PAYLOAD, 0) == 0)
            line = line.substr(0, 19) + IPMAN_DEVICE_FAMILY_PAYLOAD + " \"Crest V\"" +
                   (line.back() == '\r' ? "\r" : "");
        expected += line + "\n";
        start = stop + 1;
    }
    return expected;
}
}  // namespace

TEST(LegacyVariationFuzz, MutatedFilesKeepTheReadersAndRewritePromises)
{
    FAMILY_PROJECT project("Crest V");
    FUZZ_MUTATOR mutator(20240312, RETRIEVAL_PIECES);
    for (int round = 0; round < 150; ++round) {
        for (const char* seed : {"generic_first.v", "family_line.vhd", "crlf_lines.v", "matching_card.v",
                                 "product_df_prefix.v", "rewrite_source.v"}) {
            const std::string input = mutator.mutate(read_text(data_file(seed)), 5);
            const std::string file = project.write("mutant.v", input);
            SCOPED_TRACE(::testing::Message() << "round " << round << " of " << seed);
            std::vector<DEV_FAMILY_ENUM> families;
            read_retrieval_info_family(IPCATALOG_VORLIN_IP_CATALOG_MANAGER::instance(false), "ram_2port",
                                       file, families);
            ASSERT_LE(families.size(), 1u);
            if (!families.empty()) {
                ASSERT_TRUE(dstr_is_valid_dev_family_enum(families.front()));
            }
            DEV_FAMILY_ENUM family = DEV_FAMILY_NONE;
            if (read_legacy_product_family(file, "fir_core", family)) {
                ASSERT_TRUE(dstr_is_valid_dev_family_enum(family));
            }
            // Each rewrite syncs to disk: only some rounds take it.
            if (round % 20 == 0) {
                ASSERT_TRUE(rewrite_device_family_lines("KV_COUNTER", file, file));
                ASSERT_EQ(read_text(file), expected_rewrite(input));
            }
        }
    }
}
