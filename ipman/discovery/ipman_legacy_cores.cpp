//! @file ipman_legacy_cores.cpp
//! @brief Reading and sharing the catalogue of legacy cores: one XML file per IP root, read
//! on first use and kept for the life of the process.
#include "discovery/ipman_legacy_cores.h"

#include "support/ipman_debug.h"
#include "support/ipman_input_file.h"

#include <gen/gen.h>

#include <fmt/format.h>

#include <tinyxml2.h>

#include <algorithm>
#include <map>
#include <mutex>

using tinyxml2::XMLElement;

namespace {

constexpr char kRootElement[] = "legacy_cores";
constexpr char kProductElement[] = "product";
constexpr char kWizardCoreElement[] = "wizard_core";
constexpr char kSilentCoreElement[] = "silent_core";

std::string attribute_of(const XMLElement* element, const char* name)
{
    const char* value = element->Attribute(name);
    return value ? value : "";
}

//! Only regular files of bounded size reach the parser: a pipe would block it and a
//! device would feed it without end.
bool load_document(tinyxml2::XMLDocument& document, const std::string& path)
{
    std::string content;
    if (!ipman_read_input_file(path, IPMAN_MAX_TABLE_FILE_SIZE, "legacy core catalogue", content))
        return false;
    return document.Parse(content.data(), content.size()) == tinyxml2::XML_SUCCESS;
}

std::string installed_catalogue_path()
{
    return gen_get_ip_root_path() + "legacy/" + IPMAN_LEGACY_CORE_CATALOGUE::FILE_NAME;
}

}  // namespace

IPMAN_LEGACY_CORE_CATALOGUE IPMAN_LEGACY_CORE_CATALOGUE::read_file(const std::string& path)
{
    IPMAN_LEGACY_CORE_CATALOGUE catalogue;
    tinyxml2::XMLDocument document;
    const XMLElement* root =
        load_document(document, path) ? document.FirstChildElement(kRootElement) : nullptr;
    if (!root) {
        ipman_debug(
            fmt::format("Legacy core catalogue {} is missing or unreadable; no legacy cores known", path));
        return catalogue;
    }
    for (const XMLElement* entry = root->FirstChildElement(); entry; entry = entry->NextSiblingElement()) {
        const std::string kind = entry->Name();
        const std::string name = attribute_of(entry, "name");
        if (name.empty()) {
            ipman_debug(fmt::format("Legacy core catalogue {}: <{}> on line {} has no name; skipped", path,
                                    kind, entry->GetLineNum()));
            continue;
        }
        if (kind == kProductElement)
            catalogue.m_products.push_back({name, attribute_of(entry, "family_parameter")});
        else if (kind == kWizardCoreElement)
            catalogue.m_wizard_cores.push_back(name);
        else if (kind == kSilentCoreElement)
            catalogue.m_silent_cores.push_back(name);
        else
            ipman_debug(fmt::format("Legacy core catalogue {}: unknown element <{}> on line {}; skipped",
                                    path, kind, entry->GetLineNum()));
    }
    return catalogue;
}

std::shared_ptr<const IPMAN_LEGACY_CORE_CATALOGUE> IPMAN_LEGACY_CORE_CATALOGUE::installed()
{
    // Kept per IP root so that a process that switches installations sees the right lists.
    static std::mutex guard;
    static std::map<std::string, std::shared_ptr<const IPMAN_LEGACY_CORE_CATALOGUE>> by_path;
    const std::string path = installed_catalogue_path();
    std::lock_guard<std::mutex> lock(guard);
    auto& catalogue = by_path[path];
    if (!catalogue) catalogue = std::make_shared<const IPMAN_LEGACY_CORE_CATALOGUE>(read_file(path));
    return catalogue;
}

const IPMAN_LEGACY_PRODUCT_CORE*
IPMAN_LEGACY_CORE_CATALOGUE::find_product_core(const std::string& core_name) const
{
    const auto found =
        std::find_if(m_products.begin(), m_products.end(), [&](const IPMAN_LEGACY_PRODUCT_CORE& product) {
            return product.core_name == core_name;
        });
    return found == m_products.end() ? nullptr : &*found;
}

bool IPMAN_LEGACY_CORE_CATALOGUE::is_silent_core(const std::string& name) const
{
    return std::find(m_silent_cores.begin(), m_silent_cores.end(), name) != m_silent_cores.end();
}

bool is_legacy_silent_core(const std::string& name)
{
    return IPMAN_LEGACY_CORE_CATALOGUE::installed()->is_silent_core(name);
}

std::vector<std::string> ipman_get_legacy_wizard_core_names()
{
    return IPMAN_LEGACY_CORE_CATALOGUE::installed()->get_wizard_core_names();
}
