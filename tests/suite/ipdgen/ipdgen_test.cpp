//! @file ipdgen_test.cpp
//! @brief Port reading of Verilog, SystemVerilog and VHDL files, files that do not parse, and
//! the "Port Differences" table.
#include "support/test_support.h"

#include <ipdgen/ipdgen.h>
#include <rdb/rdb.h>

#include <sys/stat.h>

namespace {

//! Ports as "name direction width" texts joined by "|".
std::string port_text(const std::vector<IPDGEN_PORT>& ports)
{
    std::string text;
    for (const IPDGEN_PORT& port : ports) {
        text += (text.empty() ? "" : "|") + port.name + " " + port.direction + " " + port.width;
    }
    return text;
}

struct PORT_CASE {
    const char* what;
    const char* file;
    const char* text;
    const char* expected;  //!< ports, or for a file that must fail a part of its reason
    bool parses = true;
};

const PORT_CASE kPortCases[] = {
    {"ANSI header, parameterised widths, attributes, comments and strings", "ansi.v",
     "`timescale 1ns/1ps\n`define W(x) \\\n  x\n/* module fake(input z); */ // module fake2(input y);\n"
     "(* keep *) module top #(parameter W = 8, parameter S = \"a)b\") (\n"
     "  input wire [W - 1 : 0] a, b,  // b shares a's declaration\n"
     "  (* mark = \"x\" *) output reg signed [ 2*W:0 ] q = 0,\n"
     "  inout logic [`W(3):0] io, input [7:0] mem [0:3]\n);\n  always @(*) q = a;\nendmodule\n",
     "a input [W-1:0]|b input [W-1:0]|q output reg signed [2*W:0]|io inout logic [`W(3):0]|"
     "mem input [7:0] [0:3]"},
    {"non-ANSI header with declarations in the body", "plain.v",
     "module m(clk, d, .q(q_int), e);\n  input clk; input [7:0] d;\n  output [7:0] q;\n  reg [7:0] q;\n"
     "  function [3:0] f; input [3:0] x; f = x; endfunction\n  inout e;\n"
     "  always @(posedge clk) q <= d;\nendmodule\nmodule second(input z); endmodule\n",
     "clk input |d input [7:0]|q output reg [7:0]|e inout "},
    {"SystemVerilog with an import, interface and packed types", "sys.sv",
     "module automatic s import pkg::*; #(int N = 2) (input logic [N-1:0][7:0] d, axi_if.master bus,\n"
     "  output pkg::word_t w);\nendmodule\n",
     "d input logic [N-1:0][7:0]|bus input axi_if.master|w output pkg::word_t"},
    {"a module without ports", "none.v", "module empty; endmodule", ""},
    {"escaped names, both branches of a condition, sized literals, prototypes in the body", "misc.v",
     "module \\m-1 (\\a[0] , b, c);\n`ifdef WIDE\n input [15:0] b;\n`else\n input [7:0] b;\n`endif\n"
     "import \"DPI-C\" function int f(input int x);\n input \\a[0] ;\n"
     "task t; input [3:0] c; endtask\n output c; assign c = 4'b z01 == 'x;\nendmodule\n",
     "\\a[0] input |b input [7:0]|c output "},
    {"VHDL entity with generics, several names and modes", "e.vhd",
     "library ieee; use ieee.std_logic_1164.all;\n-- entity fake is port (z : in bit); end;\n"
     "ENTITY e IS\n  GENERIC (W : integer := 8; S : string := \"a;b)\");\n"
     "  PORT ( clk, rst : IN std_logic;\n"
     "         d : in  STD_LOGIC_VECTOR ( W - 1 DOWNTO 0 ) := (others => '0');  -- data\n"
     "         q : buffer unsigned(7 downto 0); signal n : integer range 0 to 7; v : std_logic );\n"
     "END ENTITY e;\narchitecture rtl of e is begin end;\n",
     "clk input std_logic|rst input std_logic|d input STD_LOGIC_VECTOR(W-1 DOWNTO 0)|"
     "q output unsigned(7 downto 0)|n input integer range 0 to 7|v input std_logic"},
    {"VHDL attributes and character literals in defaults", "tick.vhd",
     "entity t is generic (N : natural := x'length); port (a : in bit := '1'; b : out bit_vector(N'range) "
     ":= (others => ';')); end t;",
     "a input bit|b output bit_vector(N'range)"},
    {"no module at all", "nothing.v", "// module m(input a);\nwire w;\n", "no module found", false},
    {"unbalanced port list", "open.v", "module m(input a, output [3:0 b;\n", "end of the file", false},
    {"non-ANSI module cut short", "cut.v", "module m(a); input a;\n", "expected \"endmodule\"", false},
    {"a port without a name", "noname.v", "module m(input [3:0]);\nendmodule\n", "line 1", false},
    {"a dangling comma", "comma.v", "module m(input a,);\nendmodule\n", "after the last comma", false},
    {"VHDL without an entity", "nothing.vhd", "architecture a of e is begin end;", "no entity found", false},
    {"VHDL empty declaration", "empty.vhd", "entity e is port (a : in bit;; b : out bit); end;",
     "an empty declaration", false},
    {"VHDL port without a type", "bad.vhd", "entity e is port (a : in); end;", "without a type", false},
    {"binary junk and an open attribute", "junk.v", "\x01\xff\xfe(*module m(input a);", "no module found",
     false},
};

}  // namespace

TEST(IpdgenReadPorts, ReadsOrRefusesEachKindOfFile)
{
    TEMP_DIR dir;
    for (const PORT_CASE& test : kPortCases) {
        const std::string path = dir.write(test.file, test.text);
        std::vector<IPDGEN_PORT> ports{{"kept", "input", ""}};
        std::string error;
        const bool read = ipdgen_read_ports(path, FIO_EXT_UNKNOWN, ports, &error);
        ASSERT_EQ(read, test.parses) << test.what << ": " << error;
        if (read) {
            EXPECT_EQ(port_text(ports), test.expected) << test.what;
        } else {
            EXPECT_NE(error.find(test.expected), std::string::npos) << test.what << ": " << error;
            EXPECT_EQ(port_text(ports), "kept input ") << test.what;
        }
    }
}

TEST(IpdgenReadPorts, OnlyRegularFilesOfBoundedSize)
{
    TEMP_DIR dir;
    const std::string fifo = dir.file("pipe.v");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const std::string huge = dir.write("huge.v", "module m(input a);");
    std::filesystem::resize_file(huge, IPDGEN_MAX_FILE_SIZE + 1);
    std::vector<IPDGEN_PORT> ports;
    for (const std::string& path : {dir.dir(), fifo, dir.file("missing.v"), huge}) {
        std::string error;
        EXPECT_FALSE(ipdgen_read_ports(path, FIO_EXT_VERILOG, ports, &error)) << path;
        EXPECT_NE(error.find(path), std::string::npos) << error;
    }
    std::string error;
    EXPECT_FALSE(ipdgen_read_ports(dir.write("x.vip", "module m;"), FIO_EXT_VIP, ports, &error));
}

TEST(IpdgenReportWriter, TableOfEveryPairReplacingTheEarlierOne)
{
    TEMP_DIR dir;
    const std::string old_v = dir.write(
        "old.v", "module m(input clk, input [7:0] d, output q, output [3:0] gone, input t);\nendmodule\n");
    const std::string new_v = dir.write(
        "new.v",
        "module m(input clk, input [15:0] d, inout q, input [3:0] added, input logic t);\nendmodule\n");
    const std::string old_vhd = dir.write("old.vhd", "entity e is port (CLK : in std_logic); end;");
    const std::string new_vhd = dir.write("new.vhd", "entity e is port (clk : in STD_LOGIC); end;");

    IPDGEN_PORTS_INFO::reset_data();
    IPDGEN_PORTS_INFO::add_hdl_pair(new_v, "24.1", FIO_EXT_VERILOG, old_v, "23.1", FIO_EXT_VERILOG);
    IPDGEN_PORTS_INFO::add_hdl_pair(new_vhd, FIO_EXT_VHDL, old_vhd, FIO_EXT_VHDL);
    IPDGEN_PORTS_INFO::add_hdl_pair(new_v, FIO_EXT_VERILOG, dir.file("lost.v"), FIO_EXT_VERILOG);

    RDB_REPORT report("rev", RDB_REPORT_TYPE_COMPILATION);
    RDB_FOLDER_OBJECT* main = rdb_util_create_skeleton_main_folder(&report);
    main->add_object(rdb_create_table(IPDGEN_REPORT_WRITER::TABLE_NAME));
    ASSERT_TRUE(IPDGEN_REPORT_WRITER::write_report(&report, "rev"));
    ASSERT_EQ(main->get_number_of_objects(), 1u);
    const auto* table = dynamic_cast<const RDB_TABLE_OBJECT*>(main->find_object("Port Differences"));
    ASSERT_NE(table, nullptr);

    std::vector<std::string> rows;
    for (std::size_t i = 0; i < table->get_number_of_rows(); ++i) {
        std::string row;
        for (const std::string& cell : table->get_row(i))
            row += cell + ";";
        rows.push_back(row);
    }
    const std::string versions = new_v + " (24.1);" + old_v + " (23.1);";
    const std::vector<std::string> expected = {
        "New File;Old File;Port;Change;Old;New;",
        versions + "d;width;[7:0];[15:0];",
        versions + "q;direction;output;inout;",
        versions + "added;added;;input [3:0];",
        versions + "t;type;;logic;",
        versions + "gone;removed;output [3:0];;",
        new_vhd + ";" + old_vhd + ";;none;;;",
        new_v + ";" + dir.file("lost.v") + ";;unreadable;cannot open " + dir.file("lost.v") +
            ": No such file or directory;;",
    };
    EXPECT_EQ(rows, expected);
    IPDGEN_PORTS_INFO::reset_data();
}
