//! @file ipman_system_file_reader.h
//! @brief Reads what a system file says about the variation it describes: its modules, the
//! tool that saved it, whether it is standalone and its device family.
#pragma once

#include <dev/dev_types.h>

#include <optional>
#include <string>
#include <vector>

//! A module that takes part in the system: it has an instance name and is not disabled.
struct IPMAN_SYSTEM_MODULE {
    std::string kind;                    //!< the component type
    std::string instance;                //!< the instance name
    std::optional<std::string> version;  //!< absent when the module names none
};

//! The content of a system file that collection needs.
struct IPMAN_SYSTEM_FILE {
    bool saved_by_pro_edition = false;             //!< the tool that last saved it is a pro-edition tool
    bool standalone = false;                       //!< it exports exactly one module
    std::vector<IPMAN_SYSTEM_MODULE> modules;      //!< in file order
    std::optional<DEV_FAMILY_ENUM> device_family;  //!< its first family parameter, when a known family
};

//! Reads the system file at path. Nothing when the file is missing, a directory, unreadable,
//! not well-formed XML, or holds no "system" element with a "module" child: such a file
//! describes no system to collect. Missing attributes are not errors.
std::optional<IPMAN_SYSTEM_FILE> ipman_read_system_file(const std::string& path);
