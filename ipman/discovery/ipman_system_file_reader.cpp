//! @file ipman_system_file_reader.cpp
//! @brief Reading a system file: its active modules, saving tool, standalone mode and family.
#include "discovery/ipman_system_file_reader.h"
#include "support/ipman_input_file.h"

#include <dev/dev.h>
#include <ipman/ipman_constants.h>

#include <tinyxml2.h>

#include <cstring>

using tinyxml2::XMLDocument;
using tinyxml2::XMLElement;

namespace {

const char* const MODULE_ELEMENT = "module";

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
         module = module->NextSiblingElement(MODULE_ELEMENT)) {
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

std::vector<IPMAN_SYSTEM_MODULE> active_modules(const XMLElement* first_module)
{
    std::vector<IPMAN_SYSTEM_MODULE> modules;
    for (const XMLElement* module = first_module; module != nullptr;
         module = module->NextSiblingElement(MODULE_ELEMENT)) {
        if (!is_active_module(*module)) continue;
        IPMAN_SYSTEM_MODULE active{attribute_text(*module, "kind"), attribute_text(*module, "name"), {}};
        if (const char* version = module->Attribute("version")) active.version = version;
        modules.push_back(std::move(active));
    }
    return modules;
}

bool load_document(const std::string& path, XMLDocument& document)
{
    // The content is read first so that directories, unreadable, special and oversized
    // files are refused before the parser sees them.
    std::string content;
    if (!ipman_read_input_file_unless_directory(path, IPMAN_MAX_SYSTEM_FILE_SIZE, "system file", content))
        return false;
    return document.Parse(content.data(), content.size()) == tinyxml2::XML_SUCCESS;
}

}  // namespace

std::optional<IPMAN_SYSTEM_FILE> ipman_read_system_file(const std::string& path)
{
    XMLDocument document(true, tinyxml2::PRESERVE_WHITESPACE);
    if (!load_document(path, document)) return std::nullopt;
    const XMLElement* system = document.FirstChildElement("system");
    const XMLElement* first_module = system ? system->FirstChildElement(MODULE_ELEMENT) : nullptr;
    if (first_module == nullptr) return std::nullopt;

    IPMAN_SYSTEM_FILE content;
    content.saved_by_pro_edition = is_pro_edition_tool(saving_tool(*system));
    content.standalone = exports_exactly_one_module(first_module);
    content.modules = active_modules(first_module);
    const std::string family_text = system_device_family_text(*system);
    if (!family_text.empty()) {
        const DEV_FAMILY_ENUM family = dstr_get_dev_family_enum_by_string(family_text);
        if (dstr_is_valid_dev_family_enum(family)) content.device_family = family;
    }
    return content;
}
