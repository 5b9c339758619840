//! @file ipman_ip_file_info.h
//! @brief IPMAN_IP_FILE_INFO: the identity of an IP read from an IP-XACT component file.
#pragma once

#include <string>
#include <utility>

//! Schema generation, name, version, library and vendor of an IP-XACT component. All
//! fields are empty when the file could not be read.
class IPMAN_IP_FILE_INFO {
public:
    //! "IPXACT_2009" ("spirit:" elements) or "IPXACT_2014" ("ipxact:" elements).
    const std::string& get_ipxact_version() const { return m_ipxact_version; }
    const std::string& get_name() const { return m_name; }
    const std::string& get_version() const { return m_version; }
    const std::string& get_library() const { return m_library; }
    const std::string& get_vendor() const { return m_vendor; }

    void set_ipxact_version(std::string value) { m_ipxact_version = std::move(value); }
    void set_name(std::string value) { m_name = std::move(value); }
    void set_version(std::string value) { m_version = std::move(value); }
    void set_library(std::string value) { m_library = std::move(value); }
    void set_vendor(std::string value) { m_vendor = std::move(value); }

private:
    std::string m_ipxact_version;
    std::string m_name;
    std::string m_version;
    std::string m_library;
    std::string m_vendor;
};
