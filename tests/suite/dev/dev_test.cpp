//! @file dev_test.cpp
//! @brief Device database: reserved families, part relations and databases that are broken or
//! missing (traits are looked up by the analysis tests).
#include "support/test_support.h"

#include <dev/dev.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

TEST(DeviceParts, DevicesBaseDevicesAndSpeedGrades)
{
    EXPECT_EQ(DEV_PART_MANAGER::get_base_device_of(5001), 300);
    EXPECT_EQ(DEV_PART_MANAGER::get_base_device_of(2501), 0);  // Cinder devices have no base
    EXPECT_EQ(DEV_PART_MANAGER::get_marketing_speed_of(5001, true), 2);
    EXPECT_EQ(dstr_get_dev_part_trait_string(DEV_PART_TRAIT_AUTO_PART), "AUTO_PART");
    EXPECT_EQ(dstr_get_dev_part_trait_string(-1), "");

    // Every family has exactly one placeholder part; it is sold with no speed grade.
    for (DEV_FAMILY_ENUM family : DEV_FAMILY_MANAGER::get_all_families()) {
        int placeholders = 0;
        for (DEV_DEVICE_ENUM device : DEV_FAMILY_MANAGER::get_devices_of(family))
            for (DEV_PART_ENUM part : DEV_PART_MANAGER::get_parts_of(device))
                if (DEV_PART_MANAGER::test_part_trait_of(part, DEV_PART_TRAIT_AUTO_PART)) {
                    ++placeholders;
                    EXPECT_EQ(DEV_PART_MANAGER::get_marketing_speed_of(part, false), 0);
                }
        EXPECT_EQ(placeholders, 1) << dstr_get_user_string(family);
    }

    EXPECT_FALSE(dstr_is_valid_dev_part_enum(DEV_PART_GENERIC));
    EXPECT_EQ(DEV_PART_MANAGER::get_device_of(DEV_PART_GENERIC), 0);
}

TEST(DeviceDatabaseFiles, BrokenEntriesAreSkippedOneByOne)
{
    TEMP_DIR root;
    SCOPED_ENV installation("VORLIN_ROOTDIR", root.path());
    root.write("devices/devices.xml", R"(<devices>
      <family id="5" name="first" user="First One" traits="NEW_IP_LAYOUT, MADE_UP"/>
      <family id="5" name="again"/>
      <family name="no_id"/>
      <family id="x7" name="bad_id"/>
      <family id="78" name="pretender" user="Pretender"/>
      <family id="6" name="FIRST" user="Shadow"/>
      <device id="50" name="D50" family="5"/>
      <part id="500" name="P500" device="50" speed="1" traits="AUTO_PART"/>
    </devices>)");
    EXPECT_EQ(dstr_get_dev_family_enum_by_string("first one"), 5);
    EXPECT_TRUE(DEV_FAMILY_MANAGER::test_trait_of(DEV_FAMILY_ENUM(5), 195));
    EXPECT_EQ(dstr_get_dev_family_enum_by_string("again"), 0);
    EXPECT_EQ(dstr_get_dev_family_enum_by_string("bad_id"), 0);
    EXPECT_EQ(dstr_get_dev_family_enum_by_string("pretender"), 0);
    EXPECT_EQ(dstr_get_dev_family_enum_by_string("first"), 5);  // the first owner keeps a name
    EXPECT_EQ(dstr_get_dev_family_enum_by_string("shadow"), 6);
    EXPECT_EQ(DEV_PART_MANAGER::get_family_of(500), 5);
}

TEST(DeviceDatabaseFiles, JunkOrMissingFileKeepsTheReservedFamilies)
{
    static const char binary[] = "\x7f"
                                 "ELF\x02\x01\x01\0\0\0binary";
    for (const std::string& junk :
         {std::string(binary, sizeof binary - 1), std::string("<devices><family id=\"3\""), std::string()}) {
        TEMP_DIR root;
        SCOPED_ENV installation("VORLIN_ROOTDIR", root.path());
        root.write("devices/devices.xml", junk);
        EXPECT_TRUE(DEV_FAMILY_MANAGER::get_all_families().empty());
        EXPECT_EQ(dstr_get_dev_family_enum_by_string("Device Agnostic"), DEV_FAMILY_DEVICE_AGNOSTIC);
        EXPECT_EQ(dstr_get_dev_family_enum_by_string("Crest V"), 0);
        EXPECT_FALSE(dstr_is_valid_dev_part_enum(5001));
    }
    setenv("VORLIN_ROOTDIR", "/nonexistent/installation", 1);
    EXPECT_EQ(dstr_get_dev_family_enum_by_string("Crest V"), 0);
    EXPECT_TRUE(dstr_is_valid_dev_family_enum(DEV_FAMILY_DEVICE_AGNOSTIC));
    setenv("VORLIN_ROOTDIR", VORLIN_BUNDLED_ROOTDIR, 1);
}
