//! @file ipxact_reader_test.cpp
//! @brief IP-XACT component reading, and the broken shapes that must read as failures.
#include "discovery/ipman_ip_file_reader.h"
#include "ipman/discovery/readers_test_support.h"

#include <gtest/gtest.h>

namespace {

struct EDIT {
    std::string from;
    std::string to;
};

//! A data file with every occurrence of each edit's text replaced.
std::string edited(const std::string& data_file, const std::vector<EDIT>& edits)
{
    std::string text = read_text(ipxact_data_file(data_file));
    for (const auto& edit : edits) {
        EXPECT_NE(text.find(edit.from), std::string::npos) << edit.from;
        while (replace_once(text, edit.from, edit.to)) {
        }
    }
    return text;
}

void expect_empty(const IPMAN_IP_FILE_INFO& info)
{
    EXPECT_EQ(info.get_ipxact_version() + info.get_name() + info.get_version() + info.get_library() +
                  info.get_vendor(),
              "");
}

}  // namespace

TEST(IpxactReader, ReadsTheOlderGeneration)
{
    IPMAN_IPXACT_READER reader(ipxact_data_file("fifo_2009.gwip"));
    ASSERT_TRUE(reader.read());
    EXPECT_EQ(reader.get_schema(), IPMAN_IPXACT_SCHEMA_2009);
    EXPECT_EQ(reader.get_vendor(), "Oltran");  // the entity's, not the component's
    EXPECT_EQ(reader.get_name(), "fifo_buffer");
    EXPECT_EQ(reader.get_version(), "23.1");
    EXPECT_EQ(reader.get_library(), "fifo_buffer_0");
    EXPECT_EQ(reader.get_device_family(), "Crest V");
    EXPECT_FALSE(reader.has_warnings());
    EXPECT_FALSE(reader.has_errors());

    const IPMAN_IP_FILE_INFO info = ipman_read_ip_file_info(ipxact_data_file("fifo_2009.gwip"));
    EXPECT_EQ(info.get_ipxact_version(), "IPXACT_2009");
    EXPECT_EQ(info.get_name(), "fifo_buffer");
    EXPECT_EQ(info.get_vendor(), "Oltran");
}

TEST(IpxactReader, BrokenShapesFailWithoutThrowing)
{
    const struct {
        const char* what;
        const char* file;
        std::vector<EDIT> edits;
    } cases[] = {
        {"unparsable", "fifo_2009.gwip", {{"</spirit:vendorExtensions>", "</spirit:vendorExt"}}},
        {"not a component", "fifo_2009.gwip", {{"spirit:component", "spirit:design"}}},
        {"no component name", "fifo_2009.gwip", {{"<spirit:name>fifo_buffer_0</spirit:name>", ""}}},
        {"no entity info", "pll_2014.gwip", {{"oltran:entity_info", "oltran:entity"}}},
        {"no system parameters",
         "pll_2014.gwip",
         {{"oltran:oltran_system_parameters", "oltran:system_parameters"}}},
        {"empty entity version",
         "fifo_2009.gwip",
         {{"      <spirit:version>23.1</spirit:version>", "      <spirit:version></spirit:version>"}}},
        {"older family id on the parameter",
         "fifo_2009.gwip",
         {{"spirit:format=\"string\" spirit:id=\"deviceFamily\"", ""},
          {"<spirit:parameter>\n          <spirit:name>deviceFamily",
           "<spirit:parameter spirit:id=\"deviceFamily\">\n          <spirit:name>deviceFamily"}}},
        {"newer family id on the value",
         "pll_2014.gwip",
         {{"parameterId=\"deviceFamily\"", ""},
          {"<ipxact:value>Crest", "<ipxact:value parameterId=\"deviceFamily\">Crest"}}},
    };
    TEMP_DIR dir;
    for (const auto& c : cases) {
        const std::string path = dir.write("broken.gwip", edited(c.file, c.edits));
        EXPECT_FALSE(IPMAN_IPXACT_READER(path).read()) << c.what;
        expect_empty(ipman_read_ip_file_info(path));
    }
}

TEST(IpxactReader, MissingEmptyAndNonRegularFilesReadAsNothing)
{
    TEMP_DIR dir;
    for (const std::string& path : {dir.path() + "/absent.gwip", dir.write("empty.gwip", ""), dir.path(),
                                    std::string("/dev/zero"), std::string()}) {
        IPMAN_IPXACT_READER reader(path);
        EXPECT_FALSE(reader.read()) << path;
        EXPECT_EQ(reader.get_schema(), IPMAN_IPXACT_SCHEMA_UNKNOWN);
        expect_empty(ipman_read_ip_file_info(path));
    }
}
