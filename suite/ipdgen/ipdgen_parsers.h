//! @file ipdgen_parsers.h
//! @brief The port readers of the two HDL families, on text already read.
#pragma once

#include <ipdgen/ipdgen.h>

#include <string>
#include <string_view>
#include <vector>

//! Ports of the first module of Verilog or SystemVerilog text; false with a reason.
bool ipdgen_parse_verilog_ports(std::string_view text, std::vector<IPDGEN_PORT>& ports, std::string& error);
//! Ports of the first entity of VHDL text; false with a reason.
bool ipdgen_parse_vhdl_ports(std::string_view text, std::vector<IPDGEN_PORT>& ports, std::string& error);
