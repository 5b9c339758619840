//! @file dev_test.cpp
//! @brief Device database files that are broken or missing.
#include "support/test_support.h"

#include <dev/dev.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

//! Points VORLIN_ROOTDIR at a fresh installation holding only the given devices.xml text.
class TEMPORARY_INSTALLATION {
public:
    explicit TEMPORARY_INSTALLATION(const std::string& devices_xml)
    {
        m_root.write("devices/devices.xml", devices_xml);
    }

private:
    TEMP_DIR m_root;
    SCOPED_ENV m_env{"VORLIN_ROOTDIR", m_root.path()};
};

}  // namespace

TEST(DeviceDatabaseFiles, BrokenEntriesAreSkippedOneByOne)
{
    TEMPORARY_INSTALLATION installation(R"(<devices>
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
    EXPECT_EQ(dstr_get_dev_family_enum_by_string("no_id"), 0);
    EXPECT_EQ(dstr_get_dev_family_enum_by_string("bad_id"), 0);
    EXPECT_EQ(dstr_get_user_string(DEV_FAMILY_DEVICE_AGNOSTIC), "Device Agnostic");
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
        TEMPORARY_INSTALLATION installation(junk);
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
