//! @file legacy_cores_test.cpp
//! @brief The catalogue of legacy cores: the bundled lists and their agreement with the
//! bundled wizard list and IP catalog, reading broken files, and the installed catalogue.
#include "ipman_legacy_cores.h"
#include "legacy_test_support.h"

#include <gen/gen.h>
#include <wizman/wizman.h>

#include <gtest/gtest.h>
#include <tinyxml2.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <sstream>
#include <thread>

using namespace legacy_test;
using NAMES = std::vector<std::string>;

namespace {

const auto* const kTestIpRoot = ::testing::AddGlobalTestEnvironment(new TEST_IP_ROOT);

const std::string kBundledRoot = VORLIN_BUNDLED_ROOTDIR;

IPMAN_LEGACY_CORE_CATALOGUE bundled() {
    return IPMAN_LEGACY_CORE_CATALOGUE::read_file(kBundledRoot + "ip/legacy/legacy_cores.xml");
}

bool contains(const NAMES& names, const std::string& name) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

bool all_unique(const NAMES& names) {
    return std::set<std::string>(names.begin(), names.end()).size() == names.size();
}

//! Names of the wizards the bundled installation lists (alias lines are older names).
NAMES bundled_wizards() {
    std::istringstream lines(read_text(kBundledRoot + "wizards/wizards.lst"));
    NAMES wizards;
    WIZMAN_WIZARD_ENTRY entry;
    for (std::string line; std::getline(lines, line);)
        if (wizman_parse_lst_line(line, entry) && entry.alias.empty())
            wizards.push_back(entry.name);
    return wizards;
}

//! Names of the bundled catalog's legacy cards that carry a family parameter.
NAMES bundled_legacy_cards_with_family_parameter() {
    NAMES names;
    for (const auto& file : std::filesystem::directory_iterator(kBundledRoot + "ip/catalog")) {
        tinyxml2::XMLDocument document;
        if (document.LoadFile(file.path().c_str()) != tinyxml2::XML_SUCCESS)
            continue;
        const auto* root = document.FirstChildElement("ip_catalog");
        for (const auto* card = root ? root->FirstChildElement("card") : nullptr; card;
             card = card->NextSiblingElement("card")) {
            const auto* legacy = card->FirstChildElement("legacy");
            if (card->Attribute("type", "legacy") && legacy && legacy->Attribute("family_parameter")
                && *legacy->Attribute("family_parameter"))
                names.push_back(card->Attribute("name"));
        }
    }
    return names;
}

} // namespace

TEST(BundledLegacyCores, ListsHaveTheirShape) {
    const auto catalogue = bundled();

    ASSERT_EQ(catalogue.get_product_cores().size(), 8u);
    NAMES products;
    std::set<std::string> parameters;
    for (const auto& product : catalogue.get_product_cores()) {
        products.push_back(product.core_name);
        parameters.insert(product.family_parameter);
        // The wizard library reports a core name as one word.
        EXPECT_EQ(product.core_name.find_first_of(" \t"), std::string::npos) << product.core_name;
    }
    EXPECT_TRUE(all_unique(products));
    EXPECT_EQ(parameters, (std::set<std::string>{"devicefamily", "p_family_id", "Device Family", "DEVICE", ""}));

    const NAMES& wizard_cores = catalogue.get_wizard_core_names();
    EXPECT_EQ(wizard_cores.size(), 42u);
    EXPECT_TRUE(all_unique(wizard_cores));
    for (const auto& name : wizard_cores)
        EXPECT_EQ(name, gen_ascii_tolower(name)) << "wizard core names are lower case";

    // The analysis asks for a silent core only after the lower-cased name was found among
    // the wizard cores, so every silent core must be one.
    const NAMES& silent_cores = catalogue.get_silent_core_names();
    EXPECT_EQ(silent_cores.size(), 12u);
    EXPECT_TRUE(all_unique(silent_cores));
    for (const auto& name : silent_cores) {
        EXPECT_NE(name, gen_ascii_tolower(name)) << "silent cores keep their own spelling";
        EXPECT_TRUE(contains(wizard_cores, gen_ascii_tolower(name))) << name;
    }
}

TEST(BundledLegacyCores, AgreeWithTheInstalledWizardsAndLegacyCatalogCards) {
    const auto catalogue = bundled();
    const NAMES wizards = bundled_wizards();
    ASSERT_FALSE(wizards.empty());
    for (const auto& wizard : wizards)
        EXPECT_TRUE(contains(catalogue.get_wizard_core_names(), gen_ascii_tolower(wizard))) << wizard;
    // A legacy card of a wizard core must be spelled as the wizard core, or the family
    // reader of its variations would never find the card's family parameter.
    for (const auto& card : bundled_legacy_cards_with_family_parameter()) {
        const bool is_wizard = std::any_of(wizards.begin(), wizards.end(),
                                           [&](const std::string& wizard) { return gen_iequals(wizard, card); });
        if (is_wizard) {
            EXPECT_TRUE(contains(catalogue.get_wizard_core_names(), card)) << card;
        }
    }
}

TEST(LegacyCoreCatalogueFile, BrokenFilesGiveAnEmptyCatalogue) {
    SCRATCH_DIR dir;
    std::string junk(5000, '\0');
    for (std::size_t i = 0; i < junk.size(); ++i)
        junk[i] = static_cast<char>(i * 31 % 256);
    for (const std::string& path : {dir.path() + "missing.xml", dir.path(), dir.write("junk.xml", junk),
                                    dir.write("other_root.xml", "<ip_catalog><wizard_core name=\"x\"/></ip_catalog>"),
                                    dir.write("truncated.xml", "<legacy_cores><wizard_core name=\"x\"/>")}) {
        const auto catalogue = IPMAN_LEGACY_CORE_CATALOGUE::read_file(path);
        EXPECT_TRUE(catalogue.get_product_cores().empty()) << path;
        EXPECT_TRUE(catalogue.get_wizard_core_names().empty()) << path;
        EXPECT_TRUE(catalogue.get_silent_core_names().empty()) << path;
    }
}

TEST(LegacyCoreCatalogueFile, NamelessAndUnknownEntriesAreSkipped) {
    SCRATCH_DIR dir;
    const auto catalogue = IPMAN_LEGACY_CORE_CATALOGUE::read_file(dir.write("cores.xml",
        "<legacy_cores>\n"
        "  <product family_parameter=\"DEVICE\"/>\n"
        "  <product name=\"bus_core\"/>\n"
        "  <product name=\"dsp_core\" family_parameter=\"DEVICE\"/>\n"
        "  <wizard_core name=\"\"/>\n"
        "  <wizard_core name=\"kv ram 2-port\"/>\n"
        "  <wizard_cores name=\"kv_typo\"/>\n"
        "  <silent_core name=\"KV RAM 2-PORT\"/>\n"
        "</legacy_cores>\n"));
    ASSERT_EQ(catalogue.get_product_cores().size(), 2u);
    EXPECT_EQ(catalogue.find_product_core("bus_core")->family_parameter, "");
    EXPECT_EQ(catalogue.find_product_core("dsp_core")->family_parameter, "DEVICE");
    EXPECT_EQ(catalogue.find_product_core("DSP_CORE"), nullptr);
    EXPECT_EQ(catalogue.get_wizard_core_names(), NAMES{"kv ram 2-port"});
    EXPECT_TRUE(catalogue.is_silent_core("KV RAM 2-PORT"));
    EXPECT_FALSE(catalogue.is_silent_core("kv ram 2-port"));
}

TEST(InstalledLegacyCores, FollowTheIpRootAndAnswerExactly) {
    EXPECT_TRUE(is_legacy_silent_core("KV_COUNTER"));
    EXPECT_TRUE(is_legacy_silent_core("Clock Gate Block"));
    for (const char* other : {"kv_counter", "KV_COUNTER ", "Clock gate block", ""})
        EXPECT_FALSE(is_legacy_silent_core(other)) << other;
    EXPECT_EQ(ipman_get_legacy_wizard_core_names(), (NAMES{"kv_counter", "clock gate block"}));

    // Another IP root brings its own catalogue; going back finds the first one again.
    const std::string test_root = std::getenv("IP_ROOTDIR");
    ::setenv("IP_ROOTDIR", (kBundledRoot + "ip").c_str(), 1);
    EXPECT_EQ(ipman_get_legacy_wizard_core_names().size(), 42u);
    EXPECT_FALSE(is_legacy_silent_core("Nothing Like It"));
    ::setenv("IP_ROOTDIR", test_root.c_str(), 1);
    EXPECT_EQ(ipman_get_legacy_wizard_core_names().size(), 2u);
}

TEST(InstalledLegacyCores, ConcurrentFirstUseSharesOneCatalogue) {
    SCRATCH_DIR dir;
    std::filesystem::create_directory(dir.path() + "legacy");
    dir.write("legacy/legacy_cores.xml", "<legacy_cores><silent_core name=\"KV_MUX\"/></legacy_cores>");
    const std::string test_root = std::getenv("IP_ROOTDIR");
    ::setenv("IP_ROOTDIR", dir.path().c_str(), 1);
    std::vector<std::shared_ptr<const IPMAN_LEGACY_CORE_CATALOGUE>> seen(8);
    std::vector<std::thread> threads;
    for (auto& slot : seen)
        threads.emplace_back([&slot] { slot = IPMAN_LEGACY_CORE_CATALOGUE::installed(); });
    for (auto& thread : threads)
        thread.join();
    ::setenv("IP_ROOTDIR", test_root.c_str(), 1);
    for (const auto& catalogue : seen) {
        EXPECT_EQ(catalogue, seen.front());
        EXPECT_TRUE(catalogue->is_silent_core("KV_MUX"));
    }
}
