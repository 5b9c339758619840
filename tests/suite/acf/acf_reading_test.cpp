//! @file acf_reading_test.cpp
//! @brief Opening projects: assignments of nested IP lists with their origins, values and
//! lines, filters, project identity, settings, and bad or incomplete files.
#include "suite/acf/acf_test_support.h"

#include <acf/proj_project.h>
#include <dev/dev.h>
#include <msg/msg.h>

#include <algorithm>

using namespace acf_test;

namespace {

using ACF_READING_TEST = ACF_TEST;

bool warning_mentions(const std::string& text)
{
    const auto& posted = msg_posted_messages();
    return std::any_of(posted.begin(), posted.end(), [&](const MSG_RECORD& r) {
        return r.type == MSG_POST_WARNING && r.text.find(text) != std::string::npos;
    });
}

}  // namespace

TEST_F(ACF_READING_TEST, ReadsNestedListsInPlaceWithOriginsValuesAndLines)
{
    open(dir() + "nested.vpf");
    const std::string vsf = dir() + "main.vsf";
    const std::string outer = dir() + "ip/outer.vip";
    const std::string inner = dir() + "ip/inner/inner.vip";
    const std::string soc = dir() + "sys/soc/synthesis/soc.vip";
    const std::vector<ROW> expected{
        {"FAMILY", "Crest V", "Crest V", "", vsf, 2},
        {"DEVICE", "CV5A-F1152-I2", "CV5A-F1152-I2", "", vsf, 3},
        {"TOP_LEVEL_ENTITY", "top", "top", "", vsf, 4},
        {"VERILOG_FILE", "src/top.v", dir() + "src/top.v", "", vsf, 5},
        {"VIP_FILE", "ip/outer.vip", outer, "", vsf, 6},
        {"IP_CORE_NAME", "fifo", "fifo", "ip/outer.vip", outer, 1},
        {"IP_CORE_VERSION", "24.1", "24.1", "ip/outer.vip", outer, 2},
        {"VERILOG_FILE", dir() + "ip/outer.v", dir() + "ip/outer.v", "ip/outer.vip", outer, 3},
        {"VIP_FILE", inner, inner, "ip/outer.vip", outer, 4},
        // The inner list's origin is the including value exactly as outer.vip wrote it.
        {"VHDL_FILE", dir() + "ip/inner/inner.vhd", dir() + "ip/inner/inner.vhd", inner, inner, 1},
        {"IP_CORE_NAME", "ram", "ram", inner, inner, 2},
        {"IP_VENDOR", "Oltran", "Oltran", "ip/outer.vip", outer, 5},
        {"VHDL_FILE", "./src/../src/util.vhd", dir() + "src/util.vhd", "", vsf, 7},
        {"TESSEL_FILE", "sys/soc.tessel", dir() + "sys/soc.tessel", "", vsf, 8},
        // The list generation wrote for the system file, with the system file as origin.
        {"IP_VARIATION_FILE", dir() + "sys/soc/synthesis/../../soc.tessel",
         dir() + "sys/soc/synthesis/../../soc.tessel", "sys/soc.tessel", soc, 1},
        {"VERILOG_FILE", dir() + "sys/soc/synthesis/soc.v", dir() + "sys/soc/synthesis/soc.v",
         "sys/soc.tessel", soc, 2},
        {"ALWAYS_REGENERATE_IP", "ON", "ON", "", vsf, 9},
        {"NUM_PARALLEL_PROCESSORS", "4", "4", "", vsf, 10},
    };
    EXPECT_EQ(all_rows(), expected);
}

TEST_F(ACF_READING_TEST, AssignmentsCarryEntityLibraryAndOnlyListsHaveOrigins)
{
    open(dir() + "nested.vpf");
    ACF_MGR_INPUT_PARAMETERS vendor;
    vendor.set_variable_type(ACF_VAR_IP_VENDOR);
    ACF_ASSIGNMENT_LIST list;
    manager()->get_revision_manager()->get_global_assignment_coll(&vendor, list, true);
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list.front()->get_entity_name(), "outer");
    EXPECT_STREQ(list.front()->get_argument_value(ACF_ARG_LIBRARY), "outer_lib");

    // Assignments of the settings file itself have no origin.
    list.clear();
    ACF_MGR_INPUT_PARAMETERS family;
    family.set_variable_type(ACF_VAR_FAMILY);
    manager()->get_revision_manager()->get_global_assignment_coll(&family, list, true);
    ASSERT_EQ(list.size(), 1u);
    EXPECT_FALSE(list.front()->does_argument_exist(ACF_ARG_ORIGIN));
    EXPECT_FALSE(list.front()->does_argument_exist(ACF_ARG_LIBRARY));
}

TEST_F(ACF_READING_TEST, FiltersSelectDesignOrFileAssignments)
{
    open(dir() + "nested.vpf");
    manager()->set_file_category_filter(ACF_FILE_CATEGORY_DESIGN);
    EXPECT_EQ(filtered_names(),
              (std::vector<std::string>{"VERILOG_FILE", "VIP_FILE", "IP_CORE_NAME", "IP_CORE_VERSION",
                                        "VERILOG_FILE", "VIP_FILE", "VHDL_FILE", "IP_CORE_NAME", "IP_VENDOR",
                                        "VHDL_FILE", "TESSEL_FILE", "IP_VARIATION_FILE", "VERILOG_FILE"}));

    // Trait 4 names a file: IP_VARIATION_FILE is a design assignment but not a file one.
    manager()->reset_filters();
    manager()->set_variable_trait_filter(ACF_TRAIT_FILE);
    EXPECT_EQ(filtered_names(),
              (std::vector<std::string>{"VERILOG_FILE", "VIP_FILE", "VERILOG_FILE", "VIP_FILE", "VHDL_FILE",
                                        "VHDL_FILE", "TESSEL_FILE", "VERILOG_FILE"}));

    manager()->set_file_category_filter(ACF_FILE_CATEGORY_PROJECT);
    EXPECT_TRUE(filtered_names().empty());

    manager()->reset_filters();
    EXPECT_EQ(filtered_names().size(), 18u);
}

TEST_F(ACF_READING_TEST, ProjectIdentityDeviceAndSettings)
{
    EXPECT_FALSE(manager()->is_project_open());
    EXPECT_EQ(PROJ_PROJECT::m_current, nullptr);
    EXPECT_EQ(manager()->get_project_family_enum(), DEV_FAMILY_NONE);

    open(dir() + "nested.vpf");
    EXPECT_TRUE(manager()->is_project_open());
    EXPECT_EQ(manager()->get_project_full_path(), dir());
    EXPECT_EQ(manager()->get_project_path(), dir());
    EXPECT_EQ(manager()->get_project_family_enum(), dstr_get_dev_family_enum_by_string("Crest V"));
    EXPECT_EQ(manager()->get_project_part_enum(), dstr_get_dev_part_enum_by_string("CV5A-F1152-I2"));

    ACF_REVISION_MANAGER* revision = manager()->get_revision_manager();
    EXPECT_EQ(revision->get_active_revision_name(), "main");
    EXPECT_EQ(revision->get_top_level_entity_name(), "top");
    ASSERT_NE(PROJ_PROJECT::m_current, nullptr);
    EXPECT_EQ(PROJ_PROJECT::m_current->get_project_name(), "nested");
    EXPECT_EQ(PROJ_PROJECT::m_current->get_current_revision_name(), "main");
    EXPECT_EQ(PROJ_PROJECT::m_current->get_project_directory(), dir());

    EXPECT_EQ(manager()->get_global_assignment_enum(ACF_VAR_ALWAYS_REGENERATE_IP, ACF_VALUE_OFF),
              ACF_VALUE_ON);
    EXPECT_EQ(manager()->get_global_assignment_enum(ACF_VAR_PARALLEL_IP_GENERATION, ACF_VALUE_OFF),
              ACF_VALUE_OFF);
    EXPECT_EQ(manager()->get_global_assignment_string(ACF_VAR_NUM_PARALLEL_PROCESSORS), "4");
    ACF_MGR_INPUT_PARAMETERS unset;
    unset.set_variable_type(ACF_VAR_PARALLEL_IP_GENERATION);
    EXPECT_FALSE(manager()->get_global_assignment_value(unset));

    EXPECT_TRUE(manager()->close_project());
    EXPECT_FALSE(manager()->is_project_open());
    EXPECT_EQ(PROJ_PROJECT::m_current, nullptr);
    EXPECT_EQ(manager()->get_project_full_path(), "");
}

TEST_F(ACF_READING_TEST, OpensByDirectoryByNameAndByRevision)
{
    open(dir(), "alt");
    EXPECT_EQ(manager()->get_revision_manager()->get_active_revision_name(), "alt");
    EXPECT_EQ(manager()->get_project_family_enum(), dstr_get_dev_family_enum_by_string("Crest II"));
    // Without TOP_LEVEL_ENTITY the revision names the top entity.
    EXPECT_EQ(manager()->get_revision_manager()->get_top_level_entity_name(), "alt");

    const std::string previous = std::filesystem::current_path().string();
    std::filesystem::current_path(dir());
    std::string error;
    const bool by_name = manager()->open_project("nested", "", error);
    std::filesystem::current_path(previous);
    ASSERT_TRUE(by_name) << error;
    EXPECT_EQ(manager()->get_revision_manager()->get_active_revision_name(), "main");

    EXPECT_FALSE(manager()->open_project(dir() + "nested.vpf", "nosuch", error));
    EXPECT_NE(error.find("nosuch"), std::string::npos) << error;
    EXPECT_FALSE(manager()->open_project(dir() + "absent.vpf", "", error));
    EXPECT_EQ(error.rfind("ERROR: ", 0), 0u) << error;
    // A failed open keeps the project that was open.
    EXPECT_EQ(manager()->get_revision_manager()->get_active_revision_name(), "main");
}

TEST_F(ACF_READING_TEST, MissingNestedListIsAWarningAndIsSkipped)
{
    write_text(dir() + "ip/outer.vip", "set_global_assignment -name VIP_FILE [file join $vip_dir gone.vip]\n"
                                       "set_global_assignment -name IP_CORE_NAME -entity outer fifo\n");
    msg_clear_posted_messages();
    open(dir() + "nested.vpf");
    EXPECT_TRUE(warning_mentions(dir() + "ip/gone.vip"));
    const auto rows = all_rows();
    EXPECT_TRUE(std::any_of(rows.begin(), rows.end(), [](const ROW& r) { return r.written == "fifo"; }));
}

TEST_F(ACF_READING_TEST, CyclesOfListsEndAndReadEachListOnce)
{
    write_text(dir() + "ip/outer.vip", "set_global_assignment -name IP_CORE_NAME -entity a a_core\n"
                                       "set_global_assignment -name VIP_FILE [file join $vip_dir b.vip]\n");
    write_text(dir() + "ip/b.vip", "set_global_assignment -name IP_CORE_NAME -entity b b_core\n"
                                   "set_global_assignment -name VIP_FILE [file join $vip_dir outer.vip]\n"
                                   "set_global_assignment -name VIP_FILE [file join $vip_dir b.vip]\n");
    msg_clear_posted_messages();
    open(dir() + "nested.vpf");
    const auto rows = all_rows();
    EXPECT_EQ(std::count_if(rows.begin(), rows.end(), [](const ROW& r) { return r.written == "a_core"; }), 1);
    EXPECT_EQ(std::count_if(rows.begin(), rows.end(), [](const ROW& r) { return r.written == "b_core"; }), 1);
    EXPECT_TRUE(warning_mentions(dir() + "ip/outer.vip"));
    EXPECT_TRUE(warning_mentions(dir() + "ip/b.vip"));
}

TEST_F(ACF_READING_TEST, ListsNestedTooDeepAreSkippedWithAWarningThatSaysSo)
{
    // A chain outer -> d1 -> ... -> d80: no list includes itself, the chain is only too long.
    write_text(dir() + "ip/outer.vip", "set_global_assignment -name VIP_FILE [file join $vip_dir d1.vip]\n");
    for (int i = 1; i <= 80; ++i)
        write_text(dir() + "ip/d" + std::to_string(i) + ".vip",
                   "set_global_assignment -name IP_CORE_NAME -entity d core" + std::to_string(i) +
                       "\nset_global_assignment -name VIP_FILE [file join $vip_dir d" +
                       std::to_string(i + 1) + ".vip]\n");
    msg_clear_posted_messages();
    open(dir() + "nested.vpf");
    EXPECT_TRUE(warning_mentions("is nested too deep"));
    EXPECT_FALSE(warning_mentions("included again"));
    const auto rows = all_rows();
    const auto read = [&rows](const char* core) {
        return std::any_of(rows.begin(), rows.end(), [core](const ROW& r) { return r.written == core; });
    };
    EXPECT_TRUE(read("core1"));
    EXPECT_FALSE(read("core80"));
}

struct MALFORMED_CASE {
    const char* label;
    const char* file;  //!< relative to the project directory
    const char* content;
    int line;
    const char* says;                //!< part of the message
    const char* includer = nullptr;  //!< another settings text for main.vsf, when set
};

class ACF_MALFORMED_TEST : public ACF_READING_TEST, public ::testing::WithParamInterface<MALFORMED_CASE> {};

TEST_P(ACF_MALFORMED_TEST, FailsNamingFileAndLineAndOpensNothing)
{
    const MALFORMED_CASE& c = GetParam();
    write_text(dir() + c.file, c.content);
    if (c.includer != nullptr) write_text(dir() + "main.vsf", c.includer);
    std::string error;
    EXPECT_FALSE(manager()->open_project(dir() + "nested.vpf", "", error));
    EXPECT_EQ(error.rfind("ERROR: ", 0), 0u) << error;
    EXPECT_NE(error.find(dir() + c.file + ", line " + std::to_string(c.line)), std::string::npos) << error;
    EXPECT_NE(error.find(c.says), std::string::npos) << error;
    EXPECT_FALSE(manager()->is_project_open());
    EXPECT_EQ(PROJ_PROJECT::m_current, nullptr);
}

INSTANTIATE_TEST_SUITE_P(
    BadFiles, ACF_MALFORMED_TEST,
    ::testing::Values(
        MALFORMED_CASE{"syntax", "main.vsf", "set_global_assignment -name FAMILY x\n\nset a {\n", 3,
                       "missing close-brace"},
        MALFORMED_CASE{"command", "main.vsf", "\nexec rm -rf /\n", 2, "invalid command name \"exec\""},
        MALFORMED_CASE{"option", "main.vsf",
                       "set_global_assignment -name A x\nset_global_assignment -nmae A x\n", 2,
                       "unknown option \"-nmae\""},
        MALFORMED_CASE{"value", "main.vsf", "set_global_assignment -name FAMILY\n", 1, "missing value"},
        MALFORMED_CASE{"option_value", "main.vsf", "set_global_assignment x -name\n", 1, "needs a value"},
        MALFORMED_CASE{"nested", "ip/inner/inner.vip",
                       "set_global_assignment -name A x\nset_global_assignment -name\n", 2, "needs a value"},
        MALFORMED_CASE{"caught_nested", "ip/inner/inner.vip", "\nfile delete x\n", 2, "not available",
                       "catch {set_global_assignment -name VIP_FILE ip/inner/inner.vip}\n"},
        MALFORMED_CASE{"file_io", "ip/inner/inner.vip", "file delete x\n", 1, "not available"},
        MALFORMED_CASE{"event_loop", "main.vsf", "after 100000000\n", 1, "invalid command name \"after\""},
        MALFORMED_CASE{"project_file", "nested.vpf", "revision main\nrevision\n", 2, "wrong # args"}),
    [](const ::testing::TestParamInfo<MALFORMED_CASE>& info) { return std::string(info.param.label); });
