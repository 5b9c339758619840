//! @file system_file_reader_test.cpp
//! @brief The system file reader: standalone detection, disabled and exported modules,
//! entities per instance and the device family (broken files: the collector and fuzz tests).
#include "discovery/ipman_system_file_reader.h"
#include "ipman/discovery/collector_test_support.h"

#include <fio/fio.h>

#include <tinyxml2.h>

#include <fstream>
#include <optional>

using namespace collector_test;

namespace {

using LINES = std::vector<std::string>;

std::string system_file(const std::string& name)
{
    return test_data("system_files/" + name);
}

//! What the collector makes of one system file: nothing when it would skip the file.
std::optional<IPMAN_COLLECTED_IP> read_system(const std::string& path, bool pro_version = true)
{
    IPMAN_ACF_IP_COLLECTOR collector;
    collector.set_is_pro_version(pro_version);
    return collector.system_file_record(path, path);
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

//! The record and entities of a system file, the data directory written as "$P/".
LINES read_summary(const std::string& name, bool pro_version = true)
{
    const auto record = read_system(system_file(name), pro_version);
    if (!record) return {};
    LINES lines{summary(*record, system_file(""))};
    for (const std::string& entity : describe(record->entities))
        lines.push_back("  " + entity);
    expect_consistent_index(*record);
    return lines;
}

}  // namespace

TEST(SYSTEM_FILE_READER_TEST, StandaloneSystemsTakeTheIdentityOfTheirFirstModule)
{
    // One exported module: standalone, reported as the first module (the exported is nco).
    EXPECT_EQ(read_summary("standalone_two_modules.tessel"),
              (LINES{"$P/standalone_two_modules.tessel | unclassified standalone_two_modules | "
                     "$P/standalone_two_modules.tessel"
                     " |  | fir_filter 23.1 | - | -SF-- | Crest V | ",
                     "  standalone_two_modules|standalone_two_modules|fir_filter|23.1|Tessel||",
                     "  fir_filter|fir_0|fir_filter|23.1|Tessel||", "  nco|nco_0|nco|22.1|Tessel||"}));
    // The exported module disabled: not standalone, and the module gives no entity.
    EXPECT_EQ(
        read_summary("exported_disabled.tessel"),
        (LINES{"$P/exported_disabled.tessel | unclassified exported_disabled | $P/exported_disabled.tessel"
               " |  | Tessel  | - | --F-- | Crest V | ",
               "  exported_disabled|exported_disabled|Tessel||Tessel||",
               "  fir_filter|fir_0|fir_filter|23.1|Tessel||"}));
    // autoexport="true" is no export.
    const auto loose = read_system(system_file("autoexport_true.tessel"));
    ASSERT_TRUE(loose);
    EXPECT_FALSE(loose->standalone);
    EXPECT_EQ(loose->entities.size(), 3u);
}

TEST(SYSTEM_FILE_READER_TEST, InstancesOfOneKindAndMissingAttributes)
{
    // Three instances of one kind: three entities. "Crest XC" is no family of the database.
    EXPECT_EQ(
        read_summary("same_kind_instances.tessel"),
        (LINES{
            "$P/same_kind_instances.tessel | unclassified same_kind_instances | $P/same_kind_instances.tessel"
            " |  | TesselCrestPro  | - | --F-- |  | ",
            "  same_kind_instances|same_kind_instances|TesselCrestPro||TesselCrestPro||",
            "  fifo_buffer|fifo_a|fifo_buffer|22.1|TesselCrestPro||",
            "  fifo_buffer|fifo_b|fifo_buffer||TesselCrestPro||",
            "  fifo_buffer|fifo_c|fifo_buffer|21.1|TesselCrestPro||"}));
    // No component: the standard tool. The first family parameter with a value counts. A
    // module without kind is an entity with an empty name; without name, or with
    // enabled="0", none; enabled="yes" is not disabled.
    EXPECT_EQ(
        read_summary("bare_modules.tessel"),
        (LINES{
            "$P/bare_modules.tessel | unclassified bare_modules | $P/bare_modules.tessel |  |   | - | -SF--"
            " | Device Agnostic | ",
            "  bare_modules|bare_modules|||Tessel||", "  |anon_0|||Tessel||",
            "  uart_tiny|on_0|uart_tiny||Tessel||"}));
}
