//! @file ipxact_reader_test.cpp
//! @brief IP-XACT component reading: both schema generations, the flags, the device
//! family, and the broken shapes that must read as failures.
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

TEST(IpxactReader, ReadsTheNewerGenerationWithFirstFamilyAndFlagsInAnyCase)
{
    IPMAN_IPXACT_READER reader(ipxact_data_file("pll_2014.gwip"));
    ASSERT_TRUE(reader.read());
    EXPECT_EQ(reader.get_schema(), IPMAN_IPXACT_SCHEMA_2014);
    EXPECT_EQ(reader.get_name(), "clock_pll");
    EXPECT_EQ(reader.get_version(), "24.1");
    EXPECT_EQ(reader.get_device_family(), "Crest V");  // the second deviceFamily is ignored
    EXPECT_TRUE(reader.has_warnings());                // "TrUe"
    EXPECT_FALSE(reader.has_errors());                 // "yes" is not true

    const IPMAN_IP_FILE_INFO info = ipman_read_ip_file_info(ipxact_data_file("pll_2014.gwip"));
    EXPECT_EQ(info.get_ipxact_version(), "IPXACT_2014");
    EXPECT_EQ(info.get_library(), "clock_pll_0");
}

TEST(IpxactReader, SchemaChoiceAndVendorExtensionTags)
{
    IPMAN_IPXACT_READER both(ipxact_data_file("both_components.gwip"));
    ASSERT_TRUE(both.read());
    EXPECT_EQ(both.get_schema(), IPMAN_IPXACT_SCHEMA_2009);  // even though it comes second
    EXPECT_EQ(both.get_name(), "older_core");

    IPMAN_IPXACT_READER mixed(ipxact_data_file("fifo_2009_ipxact_extensions.gwip"));
    EXPECT_TRUE(mixed.read());

    TEMP_DIR dir;
    const std::string newer_with_older_tag = dir.write(
        "x.gwip", edited("pll_2014.gwip", {{"ipxact:vendorExtensions", "spirit:vendorExtensions"}}));
    EXPECT_FALSE(IPMAN_IPXACT_READER(newer_with_older_tag).read());
}

TEST(IpxactReader, OptionalPartsAndParameterRules)
{
    TEMP_DIR dir;
    IPMAN_IPXACT_READER no_library(
        dir.write("a.gwip", edited("pll_2014.gwip", {{"<ipxact:library>clock_pll_0</ipxact:library>", ""}})));
    ASSERT_TRUE(no_library.read());
    EXPECT_EQ(no_library.get_library(), "");

    // A matching parameter without a value element is passed over.
    IPMAN_IPXACT_READER valueless(
        dir.write("b.gwip", edited("pll_2014.gwip", {{"<ipxact:value>Crest V</ipxact:value>", ""}})));
    ASSERT_TRUE(valueless.read());
    EXPECT_EQ(valueless.get_device_family(), "Crest II");

    IPMAN_IPXACT_READER entities(
        dir.write("c.gwip", edited("fifo_2009.gwip", {{">fifo_buffer<", ">fifo&amp;buffer&#x41;<"}})));
    ASSERT_TRUE(entities.read());
    EXPECT_EQ(entities.get_name(), "fifo&bufferA");
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
        {"no vendor extensions", "fifo_2009.gwip", {{"spirit:vendorExtensions", "spirit:other"}}},
        {"no entity info", "pll_2014.gwip", {{"oltran:entity_info", "oltran:entity"}}},
        {"no system parameters",
         "pll_2014.gwip",
         {{"oltran:oltran_system_parameters", "oltran:system_parameters"}}},
        {"no parameters element", "pll_2014.gwip", {{"ipxact:parameters", "ipxact:params"}}},
        {"no entity vendor", "fifo_2009.gwip", {{"<spirit:vendor>Oltran</spirit:vendor>", ""}}},
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
