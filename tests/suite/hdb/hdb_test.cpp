//! @file hdb_test.cpp
//! @brief Elaborating a real design: the instance tree, design units and their files, the
//! design's lifetime, and failures that keep the design before.
#include "support/design_test_support.h"

#include <hdb/hdb_netlist.h>

#include <gmock/gmock.h>

#include <set>
#include <stdexcept>

using testing::HasSubstr;

namespace {

std::set<std::string> all_paths(const HDB_INSTANCE_NAME& root)
{
    std::set<std::string> paths{root.get_hierarchy_path()};
    for (const HDB_INSTANCE_NAME* child : root.children()) {
        EXPECT_TRUE(child->is_macrofunction());
        const std::set<std::string> below = all_paths(*child);
        paths.insert(below.begin(), below.end());
    }
    return paths;
}

const HDB_SOURCE_FILE& file_of_unit(HDB_DESIGN& design, const std::string& unit)
{
    const HDB_DESIGN_UNIT* found = design.get_namespace()->find_entity(unit, "work");
    if (found == nullptr || found->get_file() == nullptr) throw std::runtime_error("no file for " + unit);
    return *found->get_file();
}

}  // namespace

TEST(DesignHierarchy, ElaboratesTheTreeWithItsUnitsAndFiles)
{
    SKIP_WITHOUT_YOSYS();
    msg_clear_posted_messages();
    ELABORATED_TEST_PROJECT project;
    ASSERT_TRUE(project.ok()) << project.error();
    const std::vector<POSTED> posted = take_posted();
    ASSERT_EQ(posted.size(), 1u);
    EXPECT_THAT(posted[0].second, HasSubstr(project.file("rtl/legacy.vhd")));

    HDB_DESIGN& design = project.design();
    const HDB_INSTANCE_NAME& root = *design.get_root();
    EXPECT_FALSE(root.is_macrofunction());
    // The VHDL entity and nothing primitive appears; an included file's module does.
    EXPECT_EQ(all_paths(root), (std::set<std::string>{"top", "top|u_core", "top|u_core|u_fifo", "top|u_glue",
                                                      "top|u_helper", "top|u_helper|u_sec_c", "top|u_sec_a",
                                                      "top|u_sec_b", "top|u_shell", "top|u_shell|u_body"}));
    EXPECT_EQ(design.instance_count(), 10u);
    // The finder's test reads the group keys and flags of this design's files.
    EXPECT_EQ(design.get_namespace()->find_entity("core", "other"), nullptr);
    EXPECT_EQ(file_of_unit(design, "sec").get_full_path(), project.file("ip/sec/sec.v"));
}

TEST(DesignHierarchy, KeptUntilTheProjectClosesAndAfterAFailedElaboration)
{
    SKIP_WITHOUT_YOSYS();
    {
        ELABORATED_TEST_PROJECT project;
        ASSERT_TRUE(project.ok()) << project.error();
        HDB_DESIGN* kept = &project.design();

        ACF_MANAGER* acf = ACF_MANAGER::get_acf_manager();
        ACF_MGR_INPUT_PARAMETERS top;
        top.set_variable_type(ACF_VAR_TOP_LEVEL_ENTITY);
        top.set_value_string("no_such_top");
        ASSERT_NE(acf->add_assignment(top), nullptr);
        std::string error;
        EXPECT_FALSE(hdb_elaborate_active_revision(error));
        EXPECT_THAT(error, HasSubstr("ERROR: Elaboration failed: "));
        EXPECT_EQ(hdb_get_elaborated_design(), kept);

        top.set_value_string("top; rm -rf x");
        ASSERT_NE(acf->add_assignment(top), nullptr);
        EXPECT_FALSE(hdb_elaborate_active_revision(error));
        EXPECT_THAT(error, HasSubstr("is not a Verilog module name"));
    }
    EXPECT_EQ(hdb_get_elaborated_design(), nullptr);
}

TEST(DesignHierarchy, ElaboratorThatCannotStartOrDoesNotFinish)
{
    TEMP_DIR dir;
    HDB_ELABORATION_INPUT input;
    input.top = "top";
    input.files = {{dir.write("top.v", "module top; endmodule\n"), ""}};
    input.program = dir.file("missing/yosys");
    std::string error;
    EXPECT_EQ(hdb_elaborate(input, error), nullptr);
    EXPECT_THAT(error, HasSubstr("Debian package yosys"));

    input.program = write_script(dir.file("slow"), "exec sleep 30\n");
    input.time_limit = std::chrono::seconds(1);
    EXPECT_EQ(hdb_elaborate(input, error), nullptr);
    EXPECT_EQ(error, "ERROR: Elaboration did not finish within 1 seconds and was stopped");
}

TEST(DesignHierarchy, NetlistReading)
{
    EXPECT_EQ(hdb_src_file("/p/a b.v:3.1-9.10|/p/c.v:1.1-1.2"), "/p/a b.v");
    EXPECT_EQ(hdb_src_file("c:x.v"), "c:x.v");
    EXPECT_THROW(hdb_read_netlist("{\"modules\": {"), std::runtime_error);
    EXPECT_THROW(hdb_read_netlist("{}"), std::runtime_error);
    EXPECT_THROW(hdb_read_netlist("{\"modules\": " + std::string(100000, '[')), std::runtime_error);
    const HDB_NETLIST netlist = hdb_read_netlist(
        R"({"modules": {"$paramod\\p\\W=1": {"attributes": {"hdlname": "\\p", "src": "p.v:1.1-2.2"},
            "cells": {"g[0].u": {"type": "q"}}}}})");
    ASSERT_EQ(netlist.size(), 1u);
    const HDB_NETLIST_MODULE& module = netlist.begin()->second;
    EXPECT_EQ(module.unit_name, "p");
    EXPECT_EQ(module.src_file, "p.v");
    ASSERT_EQ(module.cells.size(), 1u);
    EXPECT_EQ(module.cells[0].name, "g[0].u");

    // A module that instantiates itself further down is refused before any instance is built.
    const HDB_NETLIST looping = hdb_read_netlist(
        R"({"modules": {"top": {"cells": {"u": {"type": "a"}, "v": {"type": "b"}}},
            "a": {"cells": {"w": {"type": "b"}}}, "b": {"cells": {"x": {"type": "c"}}},
            "c": {"cells": {"y": {"type": "b"}, "z": {"type": "lut"}}},
            "shared": {"cells": {"p": {"type": "d"}, "q": {"type": "e"}}},
            "d": {"cells": {"r": {"type": "e"}}}, "e": {}}})");
    std::string error;
    EXPECT_EQ(hdb_build_design(looping, "top", HDB_DESIGN_SOURCES(), error), nullptr);
    EXPECT_EQ(error, "ERROR: The elaborated design instantiates module b within itself");
    error.clear();
    EXPECT_NE(hdb_build_design(looping, "shared", HDB_DESIGN_SOURCES(), error), nullptr) << error;
}
