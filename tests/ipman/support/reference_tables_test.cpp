//! @file reference_tables_test.cpp
//! @brief The bundled reference tables read cleanly and agree with the bundled IP catalog.
#include "support/ipman_basic_csv_parser.h"

#include <ipcatalog/ipcatalog.h>

#include <gtest/gtest.h>

namespace {

bool catalog_has_card(const std::string& name)
{
    const auto* catalog = IPCATALOG_VORLIN_IP_CATALOG_MANAGER::instance(false);
    return !catalog->get_ip_cards_by_name(name, IPCATALOG_QUERY_EXACT).empty();
}

//! Known in any role: card name or alias or matching name in any case, upgrade source,
//! or outdated entry.
bool catalog_knows(const std::string& name)
{
    const auto* catalog = IPCATALOG_VORLIN_IP_CATALOG_MANAGER::instance(false);
    const unsigned any = IPCATALOG_QUERY_ALIASES | IPCATALOG_QUERY_MATCHING | IPCATALOG_QUERY_IGNORE_CASE;
    return !catalog->get_ip_cards_by_name(name, any).empty() || catalog->get_upgrade_index().count(name) ||
           catalog->get_outdated_ip_info(name);
}

}  // namespace

TEST(ReferenceTables, NameMappingMapsUnknownOlderNamesToCatalogCards)
{
    std::vector<IPMAN_CSV_ROW> rows;
    ASSERT_TRUE(read_csv_file(ipman_reference_table_path(IPMAN_IP_NAME_MAPPING_FILE), rows));
    int mappings = 0;
    for (const auto& row : rows) {
        if (row[0].rfind('#', 0) == 0) continue;
        ASSERT_EQ(row.size(), 2u);
        ++mappings;
        EXPECT_TRUE(catalog_has_card(row[0])) << row[0];
        EXPECT_FALSE(catalog_knows(row[1])) << row[1];
    }
    EXPECT_GT(mappings, 0);
}

TEST(ReferenceTables, CoreListsNameCatalogCards)
{
    for (const char* table : {IPMAN_NO_CMD_SUPPORT_IP_CORES_FILE, IPMAN_HDL_COMPATIBLE_IP_FILE}) {
        std::vector<std::string> names;
        ASSERT_TRUE(read_list_file(ipman_reference_table_path(table), names)) << table;
        EXPECT_FALSE(names.empty()) << table;
        for (const auto& name : names)
            EXPECT_TRUE(catalog_has_card(name)) << table << ": " << name;
    }
}
