//! @file ipdgen.h
//! @brief The suite's port information: the ports of Verilog, SystemVerilog and VHDL
//! top-level files, and the "Port Differences" table comparing old and new IP files.
#pragma once

#include <fio/fio.h>

#include <cstddef>
#include <string>
#include <vector>

class RDB_REPORT;

//! One port of a module or entity, as written in the file.
struct IPDGEN_PORT {
    std::string name;
    std::string direction;  //!< "input", "output", "inout" (VHDL in/out/inout/buffer mapped to these, buffer
                            //!< to "output"); empty for a listed Verilog port the file never declares
    std::string width;      //!< range or type as written ("[WIDTH-1:0]", "std_logic_vector(7 downto 0)")
};

//! Largest file ipdgen_read_ports reads.
constexpr std::size_t IPDGEN_MAX_FILE_SIZE = std::size_t(64) << 20;

//! Ports of the first module (Verilog, SystemVerilog) or entity (VHDL) of a file, in
//! order. False with a reason when the file cannot be read or holds no module or entity.
bool ipdgen_read_ports(const std::string& path, FIO_EXTENSION_TYPE type, std::vector<IPDGEN_PORT>& ports,
                       std::string* error = nullptr);

//! One difference between the ports of an old and a new file.
struct IPDGEN_PORT_CHANGE {
    std::string port;
    std::string change;  //!< "added", "removed", "direction", "width" or "type"
    std::string old_value, new_value;
};

//! The differences of two port lists: for the new ports in order, added ones and changes of
//! kept ones (direction before width or type), then the removed ones in old order. A width
//! change keeps the type (the text before the first bracket); anything else is a type change.
//! ignore_case compares names and types ignoring ASCII case (VHDL).
std::vector<IPDGEN_PORT_CHANGE> ipdgen_compare_ports(const std::vector<IPDGEN_PORT>& old_ports,
                                                     const std::vector<IPDGEN_PORT>& new_ports,
                                                     bool ignore_case);

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
//! differences gets one row with the change "none", a pair with a file that cannot be read
//! one row with the change "unreadable" and the reasons under "Old" and "New". Replaces an
//! earlier table of that name. When a report database is open the report is stored again,
//! so the table outlives the process. False with a reason without a report or when the
//! report cannot be stored; the revision is the report's own.
class IPDGEN_REPORT_WRITER {
public:
    static bool write_report(RDB_REPORT* report, const std::string& revision);
    static bool write_report(RDB_REPORT* report, const std::string& revision, std::string* error);
    //! The table's name.
    static constexpr const char* TABLE_NAME = "Port Differences";
};
