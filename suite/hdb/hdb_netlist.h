//! @file hdb_netlist.h
//! @brief The elaborator's JSON netlist as far as the hierarchy needs it, and the design
//! built from it.
#pragma once

#include <hdb/hdb.h>

#include <cstddef>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

struct HDB_NETLIST_CELL {
    std::string name;
    std::string type;  //!< a module name of the netlist, or a primitive
};

struct HDB_NETLIST_MODULE {
    std::string unit_name;  //!< the name it was written with (parameterised copies differ)
    std::string src_file;   //!< where it was declared, as the elaborator names it; may be empty
    std::vector<HDB_NETLIST_CELL> cells;
};

using HDB_NETLIST = std::map<std::string, HDB_NETLIST_MODULE>;  //!< by netlist module name

//! Netlists above this size are refused rather than read.
constexpr std::size_t HDB_MAX_NETLIST_SIZE = std::size_t(256) << 20;
//! Netlists nest a few levels; deeper ones are refused before parsing.
constexpr std::size_t HDB_MAX_NETLIST_NESTING = 64;
//! Designs with more instances are refused: the tree is kept in memory.
constexpr std::size_t HDB_MAX_INSTANCES = 2'000'000;

//! Reads the modules and cells of a JSON netlist. Throws std::runtime_error with the reason
//! when the text is not such a netlist.
HDB_NETLIST hdb_read_netlist(const std::string& json_text);

//! The file part of a source attribute ("a.v:3.1-9.10|b.v:2.1-2.5" gives "a.v").
std::string hdb_src_file(const std::string& src);

//! What the design builder knows about the files the netlist was made from.
struct HDB_DESIGN_SOURCES {
    std::vector<HDB_INPUT_FILE> files;                   //!< the project's files, absolute
    std::set<std::string> protected_files;               //!< absolute paths among files
    std::map<std::string, std::string> black_box_files;  //!< stand-in path -> protected file
    std::string elaboration_directory;                   //!< relative source paths start here
};

//! The instance tree under the module top, with units and files flagged as the netlist
//! shows them. Null with error ("ERROR: ...") when top is missing or the tree too large.
std::unique_ptr<HDB_DESIGN> hdb_build_design(const HDB_NETLIST& netlist, const std::string& top,
                                             const HDB_DESIGN_SOURCES& sources, std::string& error);
