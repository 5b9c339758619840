//! @file acf_list_interpreter_test.cpp
//! @brief IP lists read one after another share an interpreter only while they leave nothing
//! in it; assignments, lines and errors are the same whether a list is read that way, applied
//! from its parse, or handed to an interpreter part way.
#include "suite/acf/acf_test_support.h"

#include <algorithm>

using namespace acf_test;

namespace {

using ACF_LIST_INTERPRETER_TEST = ACF_TEST;

//! The written value of the assignment of the entity; empty when there is none.
std::string value_of_entity(const std::string& entity)
{
    ACF_ASSIGNMENT_LIST list;
    ACF_MANAGER::get_acf_manager()->get_all_assignments(list, false);
    const auto found = std::find_if(list.begin(), list.end(),
                                    [&](const ACF_ASSIGNMENT* a) { return a->get_entity_name() == entity; });
    return found == list.end() ? std::string() : (*found)->get_unmodified_value();
}

//! "NAME:line" of each assignment read from the file, in order.
std::vector<std::string> lines_of_file(const std::string& file)
{
    std::vector<std::string> lines;
    for (const ROW& row : all_rows())
        if (row.file == file) lines.push_back(row.name + ":" + std::to_string(row.line));
    return lines;
}

}  // namespace

TEST_F(ACF_LIST_INTERPRETER_TEST, ProceduresAndVariablesOfOneListStayInIt)
{
    write_text(dir() + "main.vsf", "set_global_assignment -name VIP_FILE ip/a.vip\n"
                                   "set_global_assignment -name VIP_FILE ip/b.vip\n"
                                   "set_global_assignment -name VIP_FILE ip/c.vip\n"
                                   "set_global_assignment -name VIP_FILE ip/d.vip\n");
    write_text(dir() + "ip/a.vip", "set_global_assignment -name IP_CORE_NAME -entity a a_core\n");
    write_text(dir() + "ip/b.vip", "proc core {} {return leaked}\n"
                                   "set seen [info exists ::leaked]\n"
                                   "set ::leaked 1\n"
                                   "rename set_global_assignment assign\n"
                                   "assign -name IP_CORE_NAME -entity b b_core_$seen\n");
    write_text(dir() + "ip/c.vip", "set_global_assignment -name IP_CORE_NAME -entity c "
                                   "c_core_[info exists leaked]_[llength [info procs core]]\n");
    write_text(dir() + "ip/d.vip",
               "set_global_assignment -name IP_CORE_NAME -entity d [file tail $vip_dir]\n");
    open(dir() + "nested.vpf");
    EXPECT_EQ(value_of_entity("a"), "a_core");
    EXPECT_EQ(value_of_entity("b"), "b_core_0");
    EXPECT_EQ(value_of_entity("c"), "c_core_0_0");
    EXPECT_EQ(value_of_entity("d"), "ip");
}

TEST_F(ACF_LIST_INTERPRETER_TEST, LinesCountFromTheCommandStartInEveryLayout)
{
    const std::string list = dir() + "ip/outer.vip";
    const std::string layout = "# comment\n"
                               "\n"
                               "set_global_assignment -name IP_CORE_NAME -entity a \\\n"
                               "    a_core\n"
                               "set_global_assignment -name IP_CORE_VERSION -entity a 1.0; "
                               "set_global_assignment -name IP_VENDOR -entity a v\n"
                               "set_global_assignment -name IP_PARAMETER -entity a {two\n"
                               "lines}\n"
                               "  # indented comment\n"
                               "\tset_global_assignment -name VERILOG_FILE [file join $vip_dir \\\n"
                               "   a.v]\n";
    const std::vector<std::string> expected{"IP_CORE_NAME:3", "IP_CORE_VERSION:5", "IP_VENDOR:5",
                                            "IP_PARAMETER:6", "VERILOG_FILE:9"};
    // Only the reader's commands, and then one more, which has the interpreter tell the lines.
    for (const std::string& tail : {std::string(), std::string("set unused 0\n")}) {
        write_text(list, layout + tail);
        open(dir() + "nested.vpf");
        EXPECT_EQ(lines_of_file(list), expected) << (tail.empty() ? "plain list" : "list with a Tcl command");
        manager()->close_project();
    }
}

TEST_F(ACF_LIST_INTERPRETER_TEST, ListsReadTheSameWhereverTheInterpreterTakesOver)
{
    const std::string list = dir() + "ip/outer.vip";
    const std::vector<std::string> lines{
        "set_global_assignment -name IP_CORE_NAME -entity a a_core\n",
        "set_global_assignment -name VERILOG_FILE [file join $vip_dir a.v]\n",
        "set_global_assignment -name VIP_FILE ip/inner/inner.vip\n",
        "set_global_assignment -name IP_CORE_VERSION -entity a 1.0\n",
    };
    // The same list with a Tcl command before line `at` (none: -1), and with line `broken` cut short.
    const auto write_list = [&](int at, int broken) {
        std::string text;
        for (int i = 0; i < static_cast<int>(lines.size()); ++i)
            text += (i == at ? "set v 1; " : "") + (i == broken ? lines[i].substr(0, 27) + "\n" : lines[i]);
        write_text(list, text);
    };
    write_list(-1, -1);
    open(dir() + "nested.vpf");
    const std::vector<ROW> plain = all_rows();
    manager()->close_project();
    write_list(-1, 3);
    std::string plain_error;
    EXPECT_FALSE(manager()->open_project(dir() + "nested.vpf", "", plain_error));
    EXPECT_NE(plain_error.find("outer.vip, line 4: set_global_assignment:"), std::string::npos)
        << plain_error;
    for (int at = 0; at < static_cast<int>(lines.size()); ++at) {
        write_list(at, -1);
        open(dir() + "nested.vpf");
        EXPECT_EQ(all_rows(), plain) << "Tcl command on line " << at + 1;
        manager()->close_project();
        std::string error;
        write_list(at, 3);
        EXPECT_FALSE(manager()->open_project(dir() + "nested.vpf", "", error));
        EXPECT_EQ(error, plain_error) << "Tcl command on line " << at + 1;
    }
}
