//! @file ipman_basic_csv_parser.h
//! @brief The CSV parser and the line-list reader behind the reference tables of common/misc/.
#pragma once

#include <fio/fio.h>

#include <cstddef>
#include <string>
#include <vector>

//! File names of the reference tables, joined to the common data directory.
inline constexpr char IPMAN_NO_CMD_SUPPORT_IP_CORES_FILE[] = "no_cmd_support_ip_cores.txt";
inline constexpr char IPMAN_HDL_COMPATIBLE_IP_FILE[] = "hdl_compatible_ip.csv";
inline constexpr char IPMAN_IP_NAME_MAPPING_FILE[] = "ip_name_mapping.csv";

using IPMAN_CSV_ROW = std::vector<std::string>;

//! Splits text into rows of fields.
class IPMAN_CSV_PARSER {
public:
    virtual ~IPMAN_CSV_PARSER();
    //! Appends one row per line of text that yields at least one field.
    virtual void parse_buffer(const char* text, std::size_t length,
                              std::vector<IPMAN_CSV_ROW>& rows) const = 0;
};

//! Comma-separated fields; double quotes group commas and blanks, a doubled quote inside
//! quotes is one quote; blanks around unquoted fields are dropped.
class IPMAN_BASIC_CSV_PARSER : public IPMAN_CSV_PARSER {
public:
    ~IPMAN_BASIC_CSV_PARSER() override;
    void parse_buffer(const char* text, std::size_t length, std::vector<IPMAN_CSV_ROW>& rows) const override;
    //! Appends the fields of one line (the line holds no newline).
    virtual void parse_line(const char* line, std::size_t length, std::vector<std::string>& fields) const;
};

//! Path of a reference table in the installation's common/misc/ directory.
FIO_PATH ipman_reference_table_path(const char* file_name);

//! Appends the rows of a CSV file, read whole. A missing or unreadable file adds no rows
//! and answers false. Windows line ends are read as plain line ends.
bool read_csv_file(const FIO_PATH& path, std::vector<IPMAN_CSV_ROW>& rows);

//! Appends the significant lines of a list file: each trimmed of blanks, tabs and line
//! breaks, skipping empty lines and lines beginning with "#". A file that cannot be read
//! adds nothing and answers false.
bool read_list_file(const FIO_PATH& path, std::vector<std::string>& lines);
