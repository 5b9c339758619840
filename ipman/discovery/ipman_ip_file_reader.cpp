//! @file ipman_ip_file_reader.cpp
//! @brief IP-XACT component reading: elements are looked up by their qualified names, the
//! prefix included, in document order.
#include "discovery/ipman_ip_file_reader.h"

#include "support/ipman_debug.h"
#include "support/ipman_input_file.h"

#include <gen/gen.h>

#include <tinyxml2.h>

#include <cstring>
#include <utility>

using tinyxml2::XMLElement;

//! Qualified names that differ between the two schema generations.
struct IPMAN_IPXACT_TAGS {
    const char* component;
    const char* name;
    const char* vendor_extensions;
    const char* fallback_vendor_extensions;  //!< also accepted, or null
    const char* vendor;
    const char* version;
    const char* library;
    const char* parameters;
    const char* parameter;
    const char* value;
    const char* parameter_id;
    bool parameter_id_on_value;  //!< the id is an attribute of the value
};

namespace {

// Older components sometimes carry the newer vendor-extensions tag, so it is accepted
// there as well; newer ones must use their own.
constexpr IPMAN_IPXACT_TAGS kTags2009{"spirit:component",
                                      "spirit:name",
                                      "spirit:vendorExtensions",
                                      "ipxact:vendorExtensions",
                                      "spirit:vendor",
                                      "spirit:version",
                                      "spirit:library",
                                      "spirit:parameters",
                                      "spirit:parameter",
                                      "spirit:value",
                                      "spirit:id",
                                      true};
constexpr IPMAN_IPXACT_TAGS kTags2014{"ipxact:component",
                                      "ipxact:name",
                                      "ipxact:vendorExtensions",
                                      nullptr,
                                      "ipxact:vendor",
                                      "ipxact:version",
                                      "ipxact:library",
                                      "ipxact:parameters",
                                      "ipxact:parameter",
                                      "ipxact:value",
                                      "parameterId",
                                      false};

constexpr char kEntityInfo[] = "oltran:entity_info";
constexpr char kSystemParameters[] = "oltran:oltran_system_parameters";
constexpr char kHasWarnings[] = "oltran:oltran_has_warnings";
constexpr char kHasErrors[] = "oltran:oltran_has_errors";
constexpr char kDeviceFamilyId[] = "deviceFamily";

std::string text_of(const XMLElement* element)
{
    const char* text = element->GetText();
    return text ? text : "";
}

bool flag_of(const XMLElement* parent, const char* tag)
{
    const XMLElement* element = parent->FirstChildElement(tag);
    return element && gen_ascii_tolower(text_of(element)) == "true";
}

//! Only regular files of bounded size reach the parser: a pipe would block it, and a
//! device would feed it without end. A directory is no IP file and passes silently.
void load_document(tinyxml2::XMLDocument& document, const std::string& path)
{
    std::string content;
    if (!ipman_read_input_file_unless_directory(path, IPMAN_MAX_IPXACT_FILE_SIZE, "IP-XACT file", content))
        return;
    document.Parse(content.data(), content.size());
}

}  // namespace

IPMAN_IPXACT_READER::IPMAN_IPXACT_READER(std::string path) : m_path(std::move(path)) {}

IPMAN_IPXACT_READER::~IPMAN_IPXACT_READER() = default;

std::string IPMAN_IPXACT_READER::get_schema_version_text() const
{
    switch (m_schema) {
    case IPMAN_IPXACT_SCHEMA_2009:
        return "IPXACT_2009";
    case IPMAN_IPXACT_SCHEMA_2014:
        return "IPXACT_2014";
    case IPMAN_IPXACT_SCHEMA_UNKNOWN:
        break;
    }
    return "";
}

bool IPMAN_IPXACT_READER::read()
{
    // Entities are expanded, whitespace inside texts is kept as written.
    tinyxml2::XMLDocument document(true, tinyxml2::PRESERVE_WHITESPACE);
    load_document(document, m_path);

    const IPMAN_IPXACT_TAGS* tags = &kTags2009;
    const XMLElement* component = document.FirstChildElement(tags->component);
    if (component) {
        m_schema = IPMAN_IPXACT_SCHEMA_2009;
    } else {
        tags = &kTags2014;
        component = document.FirstChildElement(tags->component);
        if (!component) {
            ipman_debug("No component parsing IP File");
            return false;
        }
        m_schema = IPMAN_IPXACT_SCHEMA_2014;
    }

    if (!component->FirstChildElement(tags->name)) {
        ipman_debug("Missing IPXACT component name parsing IP File");
        return false;
    }

    const XMLElement* extensions = component->FirstChildElement(tags->vendor_extensions);
    if (!extensions && tags->fallback_vendor_extensions)
        extensions = component->FirstChildElement(tags->fallback_vendor_extensions);
    if (!extensions) {
        ipman_debug("No vendor extensions parsing IP File");
        return false;
    }

    const XMLElement* entity_info = extensions->FirstChildElement(kEntityInfo);
    if (!entity_info) {
        ipman_debug("No entity info parsing IP File");
        return false;
    }
    const XMLElement* system_parameters = extensions->FirstChildElement(kSystemParameters);
    if (!system_parameters) {
        ipman_debug("No system parameters IP File");
        return false;
    }

    m_has_warnings = flag_of(extensions, kHasWarnings);
    m_has_errors = flag_of(extensions, kHasErrors);

    return read_entity_info(*tags, entity_info) && read_device_family(*tags, system_parameters);
}

bool IPMAN_IPXACT_READER::read_entity_info(const IPMAN_IPXACT_TAGS& tags, const XMLElement* entity_info)
{
    const XMLElement* vendor = entity_info->FirstChildElement(tags.vendor);
    const XMLElement* name = entity_info->FirstChildElement(tags.name);
    const XMLElement* version = entity_info->FirstChildElement(tags.version);
    const XMLElement* library = entity_info->FirstChildElement(tags.library);
    if (!vendor || !name || !version) return false;
    m_vendor = text_of(vendor);
    m_name = text_of(name);
    m_version = text_of(version);
    m_library = library ? text_of(library) : "";
    return !m_vendor.empty() && !m_name.empty() && !m_version.empty();
}

bool IPMAN_IPXACT_READER::read_device_family(const IPMAN_IPXACT_TAGS& tags,
                                             const XMLElement* system_parameters)
{
    const XMLElement* parameters = system_parameters->FirstChildElement(tags.parameters);
    if (!parameters) return false;
    for (const XMLElement* parameter = parameters->FirstChildElement(tags.parameter); parameter;
         parameter = parameter->NextSiblingElement(tags.parameter)) {
        const XMLElement* value = parameter->FirstChildElement(tags.value);
        if (!value) continue;
        const XMLElement* id_holder = tags.parameter_id_on_value ? value : parameter;
        const char* id = id_holder->Attribute(tags.parameter_id);
        if (id && std::strcmp(id, kDeviceFamilyId) == 0) {
            m_device_family = text_of(value);  // the first match counts
            return true;
        }
    }
    return false;
}

IPMAN_IP_FILE_INFO ipman_read_ip_file_info(const std::string& path)
{
    IPMAN_IP_FILE_INFO info;
    IPMAN_IPXACT_READER reader(path);
    if (!reader.read()) return info;
    info.set_ipxact_version(reader.get_schema_version_text());
    info.set_name(reader.get_name());
    info.set_version(reader.get_version());
    info.set_library(reader.get_library());
    info.set_vendor(reader.get_vendor());
    return info;
}
