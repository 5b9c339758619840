//! @file ipdgen_parsers.h
//! @brief The port readers of the two HDL families, on text already read.
#pragma once

#include <ipdgen/ipdgen.h>

#include <string>
#include <string_view>
#include <vector>

//! Ports of the first module of Verilog or SystemVerilog text; throws std::runtime_error
//! with the reason when the text holds none that can be read.
std::vector<IPDGEN_PORT> ipdgen_parse_verilog_ports(std::string_view text);
//! Ports of the first entity of VHDL text; throws as above.
std::vector<IPDGEN_PORT> ipdgen_parse_vhdl_ports(std::string_view text);
