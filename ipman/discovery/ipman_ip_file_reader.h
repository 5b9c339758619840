//! @file ipman_ip_file_reader.h
//! @brief Reads the identity, device family and generation flags of a gwip file, an
//! IP-XACT component of either schema generation with the suite's vendor extensions.
#pragma once

#include <ipman/ipman_ip_file_info.h>

#include <string>

namespace tinyxml2 {
class XMLElement;
}
struct IPMAN_IPXACT_TAGS;

//! Schema generation, told apart by the element prefix of the component.
enum IPMAN_IPXACT_SCHEMA {
    IPMAN_IPXACT_SCHEMA_2009 = 0,     //!< "spirit:" elements
    IPMAN_IPXACT_SCHEMA_2014 = 1,     //!< "ipxact:" elements
    IPMAN_IPXACT_SCHEMA_UNKNOWN = 2,  //!< not read, or no component found
};

//! Reads one IP-XACT component file. Broken files (unparsable, not a component, missing
//! elements) make read() answer false with a debug trace; nothing is thrown.
class IPMAN_IPXACT_READER {
public:
    explicit IPMAN_IPXACT_READER(std::string path);
    virtual ~IPMAN_IPXACT_READER();
    IPMAN_IPXACT_READER(const IPMAN_IPXACT_READER&) = delete;
    IPMAN_IPXACT_READER& operator=(const IPMAN_IPXACT_READER&) = delete;

    //! True when the component, its name, the vendor extensions, the entity information
    //! with vendor, name and version, and the "deviceFamily" system parameter were found.
    bool read();

    IPMAN_IPXACT_SCHEMA get_schema() const { return m_schema; }
    //! "IPXACT_2009", "IPXACT_2014", or "" while the schema is unknown.
    std::string get_schema_version_text() const;
    const std::string& get_path() const { return m_path; }
    const std::string& get_vendor() const { return m_vendor; }
    const std::string& get_name() const { return m_name; }
    const std::string& get_version() const { return m_version; }
    const std::string& get_library() const { return m_library; }
    const std::string& get_device_family() const { return m_device_family; }
    bool has_warnings() const { return m_has_warnings; }
    bool has_errors() const { return m_has_errors; }

private:
    bool read_entity_info(const IPMAN_IPXACT_TAGS& tags, const tinyxml2::XMLElement* entity_info);
    bool read_device_family(const IPMAN_IPXACT_TAGS& tags, const tinyxml2::XMLElement* system_parameters);

    std::string m_path;
    IPMAN_IPXACT_SCHEMA m_schema = IPMAN_IPXACT_SCHEMA_UNKNOWN;
    std::string m_vendor;
    std::string m_name;
    std::string m_version;
    std::string m_library;
    std::string m_device_family;
    bool m_has_warnings = false;
    bool m_has_errors = false;
};

//! The identity of the component in an IP-XACT file; all fields empty when the file is
//! missing or does not read. IPMAN_IP_INFO_MANAGER::get_ip_file_info answers with this.
IPMAN_IP_FILE_INFO ipman_read_ip_file_info(const std::string& path);
