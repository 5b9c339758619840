//! @file acf_reading_test.cpp
//! @brief Opening projects: assignments of nested IP lists with their origins, values and
//! lines, cycles of lists, and files that must not open.
#include "suite/acf/acf_test_support.h"

#include <acf/proj_project.h>
#include <cfg/cfg.h>
#include <dev/dev.h>
#include <msg/msg.h>

#include <algorithm>
#include <map>

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

TEST(ACF_PARAMETERS, HomeFileAndOriginChangeOneAtATimeAndOnlyInTheirOwnCopy)
{
    // Assignments of one file share where they come from: a change must not reach the others.
    ACF_MGR_INPUT_PARAMETERS params;
    params.set_origin("ip/a.vip");
    params.set_home_file("/p/ip/a.vip", 3);
    ACF_MGR_INPUT_PARAMETERS copy = params;
    copy.set_origin("");
    EXPECT_EQ(copy.get_home_file(), "/p/ip/a.vip");
    EXPECT_EQ(copy.get_origin(), "");
    EXPECT_EQ(copy.get_home_line(), 3);
    EXPECT_EQ(params.get_origin(), "ip/a.vip");
    EXPECT_EQ(params.get_home_file(), "/p/ip/a.vip");
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

TEST_F(ACF_READING_TEST, ListsNestedTooDeepFailTheOpenNamingTheList)
{
    // A chain outer -> d1 -> ... -> d80: no list includes itself, the chain is only too long.
    write_text(dir() + "ip/outer.vip", "set_global_assignment -name VIP_FILE [file join $vip_dir d1.vip]\n");
    for (int i = 1; i <= 80; ++i)
        write_text(dir() + "ip/d" + std::to_string(i) + ".vip",
                   "set_global_assignment -name IP_CORE_NAME -entity d core" + std::to_string(i) +
                       "\nset_global_assignment -name VIP_FILE [file join $vip_dir d" +
                       std::to_string(i + 1) + ".vip]\n");
    std::string error;
    EXPECT_FALSE(manager()->open_project(dir() + "nested.vpf", "", error));
    EXPECT_NE(error.find("ERROR: IP list file " + dir() + "ip/d63.vip is nested too deep"), std::string::npos)
        << error;
}

TEST_F(ACF_READING_TEST, ListsIncludedManyTimesAreReadOnceAndBroughtInOncePerOrigin)
{
    // Each list names the next one twice: read again each time, 40 levels would never end.
    for (int i = 1; i <= 40; ++i) {
        const std::string next =
            "set_global_assignment -name VIP_FILE [file join $vip_dir f" + std::to_string(i + 1) + ".vip]\n";
        write_text(dir() + "ip/f" + std::to_string(i) + ".vip",
                   "set_global_assignment -name IP_CORE_NAME core" + std::to_string(i) + "\n" + next + next);
    }
    write_text(dir() + "ip/f41.vip", "set_global_assignment -name IP_CORE_NAME last\n");
    write_text(dir() + "main.vsf", "set_global_assignment -name VIP_FILE ip/f1.vip\n"
                                   "set_global_assignment -name VIP_FILE ip/inner/inner.vip\n"
                                   "set_global_assignment -name VIP_FILE ./ip/inner/../inner/inner.vip\n"
                                   "set_global_assignment -name VIP_FILE ip/inner/inner.vip\n");
    open(dir() + "nested.vpf");
    std::map<std::string, int> origins_of_ram;
    int last = 0;
    for (const ROW& row : all_rows()) {
        if (row.written == "ram") ++origins_of_ram[row.origin];
        if (row.written == "last") ++last;
    }
    EXPECT_EQ(last, 1);
    const std::map<std::string, int> expected{{"ip/inner/inner.vip", 1},
                                              {"./ip/inner/../inner/inner.vip", 1}};
    EXPECT_EQ(origins_of_ram, expected);
}

TEST_F(ACF_READING_TEST, RunawayOrTooDeeplyNestedFilesFailNamingTheFile)
{
    cfg_set_value("project_file_eval_time_limit", "0.3");
    const std::string deep = "set_global_assignment -name A " + std::string(40000, '[') + "\n";
    for (const std::string file : {"nested.vpf", "main.vsf", "ip/inner/inner.vip"}) {
        const std::string before = read_text(dir() + file);
        const std::string prefix = file == "nested.vpf" ? "revision main\n" : "";
        for (const auto& [content, says] : {std::pair{prefix + "while 1 {}\n", "did not end within 0.3 s"},
                                            std::pair{prefix + deep, "nested more than 1000 levels deep"}}) {
            write_text(dir() + file, content);
            std::string error;
            EXPECT_FALSE(manager()->open_project(dir() + "nested.vpf", "", error));
            EXPECT_NE(error.find("ERROR: " + dir() + file), std::string::npos) << error;
            EXPECT_NE(error.find(says), std::string::npos) << error;
        }
        write_text(dir() + file, before);
    }
    cfg_set_value("project_file_eval_time_limit", "");
    open(dir() + "nested.vpf");
}

TEST_F(ACF_READING_TEST, RevisionNamesArePlainNames)
{
    std::string error;
    for (const char* name : {"../main", "/tmp/x", ".", "sub/main", "a\tb"}) {
        EXPECT_FALSE(manager()->open_project(dir() + "nested.vpf", name, error));
        EXPECT_NE(error.find("is not a plain name"), std::string::npos) << error;
    }
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
        MALFORMED_CASE{"project_file", "nested.vpf", "revision main\nrevision\n", 2, "wrong # args"},
        MALFORMED_CASE{"revision_path", "nested.vpf", "revision main\nrevision ../x\n", 2,
                       "not a plain name"},
        MALFORMED_CASE{"active_revision_path", "nested.vpf", "revision main\nactive_revision /tmp/x\n", 2,
                       "not a plain name"}),
    [](const ::testing::TestParamInfo<MALFORMED_CASE>& info) { return std::string(info.param.label); });
