//! @file ipdgen.h
//! @brief The suite's port information: the ports of Verilog, SystemVerilog and VHDL
//! top-level files, and the "Port Differences" table comparing old and new IP files.
#pragma once

#include <fio/fio.h>

#include <string>
#include <vector>

class RDB_REPORT;

//! One port of a module or entity, as written in the file.
struct IPDGEN_PORT {
    std::string name;
    std::string direction;  //!< "input", "output", "inout" (VHDL in/out/inout/buffer mapped to these, buffer
                            //!< to "output")
    std::string width;      //!< range or type as written ("[WIDTH-1:0]", "std_logic_vector(7 downto 0)")
};

//! Ports of the first module (Verilog, SystemVerilog) or entity (VHDL) of a file, in
//! order. False with a reason when the file cannot be read or holds no module or entity.
bool ipdgen_read_ports(const std::string& path, FIO_EXTENSION_TYPE type, std::vector<IPDGEN_PORT>& ports,
                       std::string* error = nullptr);

//! One compared pair of files, as added.
struct IPDGEN_HDL_PAIR {
    std::string new_file, new_version;
    FIO_EXTENSION_TYPE new_type;
    std::string old_file, old_version;
    FIO_EXTENSION_TYPE old_type;
};

//! The process-wide list of file pairs to compare.
class IPDGEN_PORTS_INFO {
public:
    static void reset_data();
    static void add_hdl_pair(const std::string& new_file, FIO_EXTENSION_TYPE new_type,
                             const std::string& old_file, FIO_EXTENSION_TYPE old_type);
    static void add_hdl_pair(const std::string& new_file, const std::string& new_version,
                             FIO_EXTENSION_TYPE new_type, const std::string& old_file,
                             const std::string& old_version, FIO_EXTENSION_TYPE old_type);
    static const std::vector<IPDGEN_HDL_PAIR>& get_pairs();
};

//! Writes the comparison of every pair into the report's current folder (else its main
//! folder) as the table "Port Differences" with the columns "New File", "Old File",
//! "Port", "Change" (added, removed, direction, width, type), "Old", "New"; a pair without
//! differences gets one row with the change "none". Replaces an earlier table of that name.
class IPDGEN_REPORT_WRITER {
public:
    static bool write_report(RDB_REPORT* report, const std::string& revision);
};
