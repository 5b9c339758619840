//! @file system_file_reader_test.cpp
//! @brief The system file reader: standalone detection, disabled and exported modules, the
//! pro-edition tool string, entities per instance, the device family, broken files, and a
//! seeded fuzz run over mutated system files.
#include "collector_test_support.h"
#include "ipman_system_file_reader.h"

#include <fio/fio.h>

#include <tinyxml2.h>

#include <fstream>
#include <iterator>
#include <optional>
#include <random>

using namespace collector_test;

namespace {

using LINES = std::vector<std::string>;

std::string system_file(const std::string& name)
{
    return std::string(VORLIN_TEST_DATA_DIR) + "/system_files/" + name;
}

//! What the collector makes of one system file: nothing when it would skip the file.
std::optional<IPMAN_COLLECTED_IP> read_system(const std::string& path, bool pro_version = true)
{
    IPMAN_ACF_IP_COLLECTOR collector;
    collector.set_is_pro_version(pro_version);
    tinyxml2::XMLDocument document(true, tinyxml2::PRESERVE_WHITESPACE);
    if (!ipman_load_system_document(path, document))
        return std::nullopt;
    const tinyxml2::XMLElement* first_module = ipman_find_first_system_module(document);
    if (first_module == nullptr)
        return std::nullopt;
    IPMAN_COLLECTED_IP record(path);
    record.from_system_file = true;
    read_system_file(collector, document, first_module, record);
    return record;
}

//! The entity index names every entity exactly once, at its position.
void expect_consistent_index(const IPMAN_COLLECTED_IP& record)
{
    ASSERT_EQ(record.entity_index.size(), record.entities.size());
    for (std::size_t i = 0; i < record.entities.size(); ++i) {
        const IPMAN_COLLECTED_ENTITY& e = record.entities[i];
        EXPECT_EQ(record.find_entity(e.entity, e.library), i);
    }
}

} // namespace

TEST(SYSTEM_FILE_READER_TEST, OneExportedModuleMakesAStandaloneSystemOfTheFirstModule)
{
    const auto record = read_system(system_file("standalone_two_modules.tessel"));
    ASSERT_TRUE(record);
    EXPECT_TRUE(record->standalone);
    EXPECT_EQ(record->main_file, system_file("standalone_two_modules.tessel"));
    EXPECT_EQ(record->core_name, "fir_filter");
    EXPECT_EQ(record->core_version, "23.1");
    EXPECT_EQ(describe(record->entities), (LINES{"standalone_two_modules|standalone_two_modules|fir_filter|23.1|Tessel||",
                                                 "fir_filter|fir_0|fir_filter|23.1|Tessel||",
                                                 "nco|nco_0|nco|22.1|Tessel||"}));
    EXPECT_EQ(record->supported_families, (std::vector<DEV_FAMILY_ENUM>{family("Crest V")}));
    EXPECT_EQ(record->kind, IPMAN_COLLECTED_IP_KIND::UNCLASSIFIED);
    expect_consistent_index(*record);
}

TEST(SYSTEM_FILE_READER_TEST, DisabledOrLooselyFlaggedExportsDoNotCount)
{
    const auto disabled = read_system(system_file("exported_disabled.tessel"));
    ASSERT_TRUE(disabled);
    EXPECT_FALSE(disabled->standalone);
    EXPECT_EQ(disabled->core_name, "Tessel");
    EXPECT_EQ(describe(disabled->entities),
              (LINES{"exported_disabled|exported_disabled|Tessel||Tessel||", "fir_filter|fir_0|fir_filter|23.1|Tessel||"}));

    const auto loose = read_system(system_file("autoexport_true.tessel"));
    ASSERT_TRUE(loose);
    EXPECT_FALSE(loose->standalone);
    EXPECT_EQ(loose->entities.size(), 3u);
}

TEST(SYSTEM_FILE_READER_TEST, ProEditionToolsFollowTheCollectorsEdition)
{
    const auto pro = read_system(system_file("pro_sa_tool.tessel"), true);
    const auto standard = read_system(system_file("pro_sa_tool.tessel"), false);
    ASSERT_TRUE(pro && standard);
    EXPECT_EQ(pro->core_name, "TesselCrestPro");
    EXPECT_EQ(describe(pro->entities), (LINES{"pro_sa_tool|pro_sa_tool|TesselCrestPro||TesselCrestPro||",
                                              "pcie_bridge|pcie_0|pcie_bridge|23.1|TesselCrestPro||"}));
    EXPECT_EQ(standard->core_name, "Tessel");
    EXPECT_EQ(standard->entities[1].generated_by, "Tessel");
    EXPECT_TRUE(pro->supported_families.empty());
}

TEST(SYSTEM_FILE_READER_TEST, InstancesOfOneKindAreEntitiesOfTheirOwn)
{
    const auto record = read_system(system_file("same_kind_instances.tessel"));
    ASSERT_TRUE(record);
    EXPECT_FALSE(record->standalone);
    EXPECT_EQ(describe(record->entities), (LINES{"same_kind_instances|same_kind_instances|TesselCrestPro||TesselCrestPro||",
                                                 "fifo_buffer|fifo_a|fifo_buffer|22.1|TesselCrestPro||",
                                                 "fifo_buffer|fifo_b|fifo_buffer||TesselCrestPro||",
                                                 "fifo_buffer|fifo_c|fifo_buffer|21.1|TesselCrestPro||"}));
    // "Crest XC" is no family of the device database.
    EXPECT_TRUE(record->supported_families.empty());
    expect_consistent_index(*record);
}

TEST(SYSTEM_FILE_READER_TEST, MissingAttributesAreNotErrors)
{
    const auto record = read_system(system_file("bare_modules.tessel"));
    ASSERT_TRUE(record);
    // No component: the standard tool. The first family parameter with a value counts.
    EXPECT_EQ(record->supported_families, (std::vector<DEV_FAMILY_ENUM>{DEV_FAMILY_DEVICE_AGNOSTIC}));
    // A module without kind is an entity with an empty name; one without name, or with
    // enabled="0", is none; enabled="yes" is not disabled.
    EXPECT_EQ(describe(record->entities), (LINES{"bare_modules|bare_modules|||Tessel||", "|anon_0|||Tessel||",
                                                 "uart_tiny|on_0|uart_tiny||Tessel||"}));
    EXPECT_TRUE(record->standalone);
}

TEST(SYSTEM_FILE_READER_TEST, BrokenSystemFilesAreSkipped)
{
    for (const char* name : {"not_xml.tessel", "binary_junk.tessel", "empty.tessel", "no_modules.tessel",
                             "absent.tessel"})
        EXPECT_FALSE(read_system(system_file(name))) << name;
    EXPECT_FALSE(read_system(std::string(VORLIN_TEST_DATA_DIR) + "/system_files"));
    EXPECT_FALSE(read_system(""));
}

// ---- Fuzzing -----------------------------------------------------------------------------

namespace {

std::string read_text(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

//! One to four random edits of a system file: bytes, truncation, markup characters,
//! long runs, and duplicated or nested module elements.
std::string mutate(std::string text, std::mt19937& random)
{
    auto below = [&random](std::size_t bound) {
        return std::uniform_int_distribution<std::size_t>(0, bound - 1)(random);
    };
    static const std::vector<std::string> pieces{
        "<", ">", "\"", "'", "&", "&amp;", "\0", "=", "/>", "</system>", "<system>", "<module name=\"m\" kind=\"k\"/>",
        "<module", "autoexport=\"1\"", "enabled=\"0\"", "<component tool=\"TesselCrestPro\"/>",
        "<parameter name=\"deviceFamily\" value=\"Crest V\"/>", "<!--", "<![CDATA[", "<?xml", "&#0;", "&#xFFFFFF;"};
    for (std::size_t edits = 1 + below(4); edits > 0; --edits) {
        const std::size_t at = below(text.size() + 1);
        switch (below(5)) {
        case 0:
            if (at < text.size())
                text[at] = static_cast<char>(below(256));
            break;
        case 1: text.resize(at); break;
        case 2: text.insert(at, pieces[below(pieces.size())]); break;
        case 3: text.insert(at, 1 + below(5000), "<>\"= a"[below(6)]); break;
        default: {
            std::string nested;
            for (std::size_t depth = below(300); depth > 0; --depth)
                nested += "<module name=\"n\">";
            text.insert(at, nested);
        }
        }
    }
    return text;
}

} // namespace

TEST(SYSTEM_FILE_READER_FUZZ_TEST, MutatedSystemFilesNeverBreakTheReader)
{
    SCRATCH_DIR scratch;
    const std::vector<std::string> seeds{read_text(system_file("standalone_two_modules.tessel")),
                                         read_text(system_file("bare_modules.tessel")),
                                         read_text(system_file("same_kind_instances.tessel"))};
    std::mt19937 random(20240611);
    const std::string path = scratch.path() + "fuzz.tessel";
    int systems_read = 0;
    for (int round = 0; round < 400; ++round) {
        const std::string text = mutate(seeds[static_cast<std::size_t>(round) % seeds.size()], random);
        std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
        const auto record = read_system(path);
        if (!record)
            continue;
        ++systems_read;
        // Whatever the file holds, the record is well formed.
        ASSERT_FALSE(record->entities.empty()) << "round " << round;
        EXPECT_EQ(record->main_file, FIO_PATH(path).flatten().fullpath());
        EXPECT_LE(record->supported_families.size(), 1u);
        expect_consistent_index(*record);
    }
    // Enough mutations stay well-formed for the reader itself to be exercised.
    EXPECT_GT(systems_read, 40);
}
