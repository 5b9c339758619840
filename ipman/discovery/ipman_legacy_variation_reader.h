//! @file ipman_legacy_variation_reader.h
//! @brief Retrieval-information lines of legacy HDL variation files: the device family a
//! variation was generated for, and the rewrite of its device-family lines.
#pragma once

#include <dev/dev_types.h>

#include <string>
#include <vector>

class IPCATALOG_VORLIN_IP_CATALOG_MANAGER;

//! Retrieval-information prefixes; the first 18 characters start the line, no blanks before.
constexpr char IPMAN_VERILOG_RETRIEVAL_PREFIX[] = "// Retrieval info:";
constexpr char IPMAN_VHDL_RETRIEVAL_PREFIX[] = "-- Retrieval info:";
//! Payload of a device-family line, followed by a blank and the family in double quotes.
constexpr char IPMAN_DEVICE_FAMILY_PAYLOAD[] = "PRIVATE: INTENDED_DEVICE_FAMILY STRING";
//! Start of the instance line, which names the variation's entity and core version in its
//! "entity-name" and "version" tags.
constexpr char IPMAN_INSTANCE_LINE_MARKER[] = "-- Retrieval info: <instance";

//! The value of tag in a retrieval line: the text after the first tag="..." up to the next
//! double quote, or to the end of the line without one; empty when the tag is absent. A tag
//! only counts as a whole name ("version" does not match inside "core-version").
std::string ipman_retrieval_info_tag_value(const std::string& line, const std::string& tag);

//! Finds the device family a wizard variation was generated for and appends it (at most one)
//! to supported_families. The first device-family line, or the first "<generic>" line
//! naming the catalog's legacy family parameter of core_name, decides. catalog may be null
//! (then only device-family lines count). A relative main_file is taken against the open
//! project's directory. Missing or unreadable files and unknown families append nothing.
void read_retrieval_info_family(const IPCATALOG_VORLIN_IP_CATALOG_MANAGER* catalog,
                                const std::string& core_name, const std::string& main_file,
                                std::vector<DEV_FAMILY_ENUM>& supported_families);

//! True when core_name is a legacy product core whose family could be determined from its
//! file: family is the family of its first "<PRIVATE>" line naming the product's family
//! parameter ("df_" values stripped of the prefix and lower-cased), or 0 for a product
//! that carries no family. False for other cores, missing files, and a value the device
//! database does not know (family is then left alone).
bool read_legacy_product_family(const std::string& path, const std::string& core_name,
                                DEV_FAMILY_ENUM& family);

//! Copies input_path to output_path, rewriting every device-family line to the open project's
//! family. Only for silent cores (is_legacy_silent_core) while a project with a real family
//! (neither 0 nor Device Agnostic) is open; otherwise nothing is written. The input is read
//! whole before the output is replaced atomically, so both may name the same file, and an
//! unreadable input leaves the output untouched. A rewritten line keeps a carriage return
//! that ended it. True when the output was written.
bool rewrite_device_family_lines(const std::string& core_name, const std::string& input_path,
                                 const std::string& output_path);
