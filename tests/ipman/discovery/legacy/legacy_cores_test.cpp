//! @file legacy_cores_test.cpp
//! @brief The catalogue of legacy cores: the bundled lists and their agreement with the
//! installed wizards, broken catalogue files, and the installed catalogue per IP root.
#include "discovery/ipman_legacy_cores.h"
#include "ipman/discovery/legacy/legacy_test_support.h"

#include <gen/gen.h>
#include <wizman/wizman.h>

#include <algorithm>
#include <sstream>

using namespace legacy_test;
using NAMES = std::vector<std::string>;

namespace {
const auto* const kTestIpRoot = ::testing::AddGlobalTestEnvironment(new TEST_IP_ROOT);
const std::string kBundledIpRoot = std::string(VORLIN_BUNDLED_ROOTDIR) + "ip/";

bool contains(const NAMES& names, const std::string& name)
{
    return std::find(names.begin(), names.end(), name) != names.end();
}
}  // namespace

TEST(BundledLegacyCores, ListsHaveTheirShapeAndKnowEveryInstalledWizard)
{
    const auto catalogue = IPMAN_LEGACY_CORE_CATALOGUE::read_file(kBundledIpRoot + "legacy/legacy_cores.xml");
    EXPECT_FALSE(catalogue.get_product_cores().empty());
    const NAMES& wizard_cores = catalogue.get_wizard_core_names();
    EXPECT_FALSE(wizard_cores.empty());
    for (const auto& name : wizard_cores)
        EXPECT_EQ(name, gen_ascii_tolower(name));
    // The analysis asks for a silent core only after finding the lower-cased name among the
    // wizard cores, so each silent core must be one.
    EXPECT_FALSE(catalogue.get_silent_core_names().empty());
    for (const auto& name : catalogue.get_silent_core_names())
        EXPECT_TRUE(contains(wizard_cores, gen_ascii_tolower(name))) << name;

    // Variations of an installed wizard are legacy variations only when it is listed here.
    std::istringstream lines(read_text(std::string(VORLIN_BUNDLED_ROOTDIR) + "wizards/wizards.lst"));
    WIZMAN_WIZARD_ENTRY wizard;
    for (std::string line; std::getline(lines, line);) {
        if (wizman_parse_lst_line(line, wizard) && wizard.alias.empty()) {
            EXPECT_TRUE(contains(wizard_cores, gen_ascii_tolower(wizard.name))) << wizard.name;
        }
    }
}

TEST(LegacyCoreCatalogueFile, BrokenFilesAndEntriesAreSkipped)
{
    TEMP_DIR dir;
    for (const std::string& broken :
         {dir.dir() + "missing.xml", dir.path(), dir.write("junk.xml", std::string("\0\x89PNG<<\xff", 8)),
          dir.write("truncated.xml", "<legacy_cores><wizard_core name=\"x\"/>")})
        EXPECT_TRUE(IPMAN_LEGACY_CORE_CATALOGUE::read_file(broken).get_wizard_core_names().empty()) << broken;

    const auto catalogue = IPMAN_LEGACY_CORE_CATALOGUE::read_file(dir.write(
        "cores.xml",
        "<legacy_cores><product family_parameter=\"DEVICE\"/><product name=\"bus_core\"/>"
        "<wizard_core name=\"\"/><wizard_core name=\"kv ram 2-port\"/><wizard_cores name=\"kv_typo\"/>"
        "<silent_core name=\"KV RAM 2-PORT\"/></legacy_cores>"));
    ASSERT_EQ(catalogue.get_product_cores().size(), 1u);
    EXPECT_EQ(catalogue.find_product_core("bus_core")->family_parameter, "");
    EXPECT_EQ(catalogue.find_product_core("BUS_CORE"), nullptr);
    EXPECT_EQ(catalogue.get_wizard_core_names(), NAMES{"kv ram 2-port"});
    EXPECT_TRUE(catalogue.is_silent_core("KV RAM 2-PORT"));
    EXPECT_FALSE(catalogue.is_silent_core("kv ram 2-port"));
}
