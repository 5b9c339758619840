//! @file ipman_system_file_reader.cpp
//! @brief Reading a system file into a collected record: modules become sub-IP entities.
#include "discovery/ipman_system_file_reader.h"

#include "discovery/ipman_acf_ip_collector.h"

#include <dev/dev.h>
#include <fio/fio.h>
#include <ipman/ipman_constants.h>

#include <tinyxml2.h>

#include <cstring>

using tinyxml2::XMLDocument;
using tinyxml2::XMLElement;

namespace {

const char* const MODULE_TAG = "module";

std::string attribute_text(const XMLElement& element, const char* name)
{
    const char* value = element.Attribute(name);
    return value ? std::string(value) : std::string();
}

//! Modules without an instance name and disabled modules take no part in the system.
bool is_active_module(const XMLElement& module)
{
    if (module.Attribute("name") == nullptr) return false;
    const char* enabled = module.Attribute("enabled");
    return enabled == nullptr || std::strcmp(enabled, "0") != 0;
}

bool is_exported_module(const XMLElement& module)
{
    const char* autoexport = module.Attribute("autoexport");
    return is_active_module(module) && autoexport != nullptr && std::strcmp(autoexport, "1") == 0;
}

//! A system that exports exactly one module wraps that component and is standalone.
bool exports_exactly_one_module(const XMLElement* first_module)
{
    int exported = 0;
    for (const XMLElement* module = first_module; module != nullptr && exported <= 1;
         module = module->NextSiblingElement(MODULE_TAG)) {
        if (is_exported_module(*module)) ++exported;
    }
    return exported == 1;
}

//! The tool that last saved the system, from its first "component" element.
std::string saving_tool(const XMLElement& system)
{
    const XMLElement* component = system.FirstChildElement("component");
    return component ? attribute_text(*component, "tool") : std::string();
}

bool is_pro_edition_tool(const std::string& tool)
{
    return tool == IPMAN_TESSEL_CP_STR || tool == IPMAN_TESSEL_CP_SA_STR || tool == IPMAN_TESSEL_PRO_STR;
}

std::string system_device_family_text(const XMLElement& system)
{
    for (const XMLElement* parameter = system.FirstChildElement("parameter"); parameter != nullptr;
         parameter = parameter->NextSiblingElement("parameter")) {
        const char* name = parameter->Attribute("name");
        const char* value = parameter->Attribute("value");
        if (name != nullptr && std::strcmp(name, "deviceFamily") == 0 && value != nullptr) return value;
    }
    return {};
}

void add_module_entities(const XMLElement* first_module, const std::string& tool, IPMAN_COLLECTED_IP& record)
{
    for (const XMLElement* module = first_module; module != nullptr;
         module = module->NextSiblingElement(MODULE_TAG)) {
        if (!is_active_module(*module)) continue;
        const std::string kind = attribute_text(*module, "kind");
        // The component type names the entity; the instance name serves as its library.
        IPMAN_COLLECTED_ENTITY& entity = record.find_or_add_entity(kind, attribute_text(*module, "name"));
        if (const char* version = module->Attribute("version")) entity.tool_version = version;
        entity.tool_name = kind;
        entity.generated_by = tool;
    }
}

}  // namespace

bool ipman_load_system_document(const std::string& path, XMLDocument& document)
{
    // The content is read by the file library first so that directories, unreadable files
    // and special files are refused before the parser sees them.
    std::string content;
    if (path.empty() || FIO_FILE_SYSTEM::is_directory(path) || !FIO_FILE_SYSTEM::read_file(path, content))
        return false;
    return document.Parse(content.data(), content.size()) == tinyxml2::XML_SUCCESS;
}

const XMLElement* ipman_find_first_system_module(const XMLDocument& document)
{
    const XMLElement* system = document.FirstChildElement("system");
    return system ? system->FirstChildElement(MODULE_TAG) : nullptr;
}

void read_system_file(const IPMAN_ACF_IP_COLLECTOR& collector, const XMLDocument& document,
                      const XMLElement* first_module, IPMAN_COLLECTED_IP& record)
{
    const XMLElement* system = document.FirstChildElement("system");
    if (system == nullptr || first_module == nullptr) return;

    const std::string base = FIO_PATH(record.key).base();
    record.standalone = exports_exactly_one_module(first_module);
    const std::string tool = is_pro_edition_tool(saving_tool(*system)) ? collector.get_tool_string()
                                                                       : std::string(IPMAN_TESSEL_STR);
    record.main_file = FIO_PATH(record.key).flatten().fullpath();
    record.core_name = tool;

    {
        IPMAN_COLLECTED_ENTITY& own = record.find_or_add_entity(base, base);
        own.tool_name = tool;
        own.generated_by = tool;
    }
    add_module_entities(first_module, tool, record);

    // A standalone system is reported under the identity of the first component it holds.
    if (record.standalone && record.entities.size() >= 2) {
        const IPMAN_COLLECTED_ENTITY wrapped = record.entities[1];
        IPMAN_COLLECTED_ENTITY& own = record.entities[record.find_entity(base, base)];
        own.tool_name = wrapped.tool_name;
        own.tool_version = wrapped.tool_version;
        record.core_name = wrapped.tool_name;
        record.core_version = wrapped.tool_version;
    }

    const std::string family_text = system_device_family_text(*system);
    if (!family_text.empty()) {
        const DEV_FAMILY_ENUM family = dstr_get_dev_family_enum_by_string(family_text);
        if (dstr_is_valid_dev_family_enum(family)) record.supported_families.push_back(family);
    }
}
