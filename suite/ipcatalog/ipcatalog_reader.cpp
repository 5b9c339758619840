//! @file ipcatalog_reader.cpp
//! @brief Reading one catalog file into cards and outdated information.
#include <ipcatalog/ipcatalog_reader.h>

#include <dev/dev.h>
#include <gen/gen.h>
#include <msg/msg.h>

#include <fmt/format.h>
#include <tinyxml2.h>

#include <algorithm>
#include <charconv>
#include <cstring>

namespace {

const char* const MODULE = "IPCATALOG";

std::string attribute(const tinyxml2::XMLElement& element, const char* name)
{
    const char* value = element.Attribute(name);
    return value == nullptr ? std::string() : std::string(value);
}

std::string trimmed_text(const tinyxml2::XMLElement& element)
{
    const char* text = element.GetText();
    if (text == nullptr) return {};
    std::string value(text);
    const char* blanks = " \t\r\n";
    const auto first = value.find_first_not_of(blanks);
    if (first == std::string::npos) return {};
    return value.substr(first, value.find_last_not_of(blanks) - first + 1);
}

void append_once(std::vector<std::string>& list, const std::string& value)
{
    if (!value.empty() && std::find(list.begin(), list.end(), value) == list.end()) list.push_back(value);
}

bool parse_ip_type(const std::string& text, IPCATALOG_IP_TYPE& type)
{
    if (text.empty() || gen_iequals(text, "standalone") || text == "0")
        type = IPCATALOG_IP_TYPE_STANDALONE;
    else if (gen_iequals(text, "legacy") || text == "1")
        type = IPCATALOG_IP_TYPE_LEGACY;
    else
        return false;
    return true;
}

bool is_all_versions(const std::string& text)
{
    return gen_iequals(text, "all");
}

}  // namespace

DEV_FAMILY_ENUM ipcatalog_family_of(const std::string& text)
{
    if (gen_iequals(text, "Device Agnostic")) return DEV_FAMILY_DEVICE_AGNOSTIC;
    return dstr_get_dev_family_enum_by_string(text);
}

bool IPCATALOG_FILE_READER::read(const std::string& path, const std::string& text,
                                 IPCATALOG_FILE_CONTENT& content)
{
    content = IPCATALOG_FILE_CONTENT();
    tinyxml2::XMLDocument document;
    if (document.Parse(text.data(), text.size()) != tinyxml2::XML_SUCCESS) {
        msg_local_debug(MODULE, 2, fmt::format("catalog file {} skipped: {}", path, document.ErrorStr()));
        return false;
    }
    const tinyxml2::XMLElement* root = document.RootElement();
    if (root == nullptr || std::strcmp(root->Name(), "ip_catalog") != 0) {
        msg_local_debug(MODULE, 2, fmt::format("catalog file {} skipped: no <ip_catalog> root", path));
        return false;
    }
    IPCATALOG_FILE_READER reader(path);
    for (const auto* e = root->FirstChildElement(); e != nullptr; e = e->NextSiblingElement()) {
        if (std::strcmp(e->Name(), "card") == 0) {
            if (auto card = reader.read_card(*e)) content.cards.push_back(std::move(card));
        } else if (std::strcmp(e->Name(), "outdated") == 0) {
            if (auto info = reader.read_outdated(*e)) content.outdated.push_back(std::move(info));
        }
    }
    return true;
}

void IPCATALOG_FILE_READER::skip(const tinyxml2::XMLElement& element, const std::string& why) const
{
    msg_local_debug(
        MODULE, 2,
        fmt::format("{}: <{}> on line {} skipped: {}", m_path, element.Name(), element.GetLineNum(), why));
}

bool IPCATALOG_FILE_READER::read_family(const tinyxml2::XMLElement& element, const char* name,
                                        DEV_FAMILY_ENUM& family)
{
    const std::string text = attribute(element, name);
    family = text.empty() ? DEV_FAMILY_DEVICE_AGNOSTIC : ipcatalog_family_of(text);
    if (family != DEV_FAMILY_NONE) return true;
    skip(element, "unknown family " + text);
    return false;
}

std::unique_ptr<IPCATALOG_CARD> IPCATALOG_FILE_READER::read_card(const tinyxml2::XMLElement& element)
{
    auto card = std::make_unique<IPCATALOG_CARD>();
    card->m_name = attribute(element, "name");
    if (card->m_name.empty()) {
        skip(element, "no name");
        return nullptr;
    }
    if (!parse_ip_type(attribute(element, "type"), card->m_ip_type)) {
        skip(element, "unknown type " + attribute(element, "type"));
        return nullptr;
    }
    card->m_version = attribute(element, "version");
    card->m_parsed_version = IPVX_VERSION(card->m_version);
    card->m_author = attribute(element, "author");
    card->m_display_name = attribute(element, "display_name");
    if (card->m_display_name.empty()) card->m_display_name = card->m_name;
    card->m_test_fails = attribute(element, "test_fails");
    card->m_catalog_file = m_path;
    for (const auto* child = element.FirstChildElement(); child != nullptr;
         child = child->NextSiblingElement())
        read_card_child(*child, *card);
    // An empty family list means every family: a card limited to families this installation
    // does not know must not become a card for all of them.
    if (card->m_families.empty() && element.FirstChildElement("family") != nullptr) {
        skip(element, "limited to families this installation does not know");
        return nullptr;
    }
    return card;
}

void IPCATALOG_FILE_READER::read_card_child(const tinyxml2::XMLElement& child, IPCATALOG_CARD& card)
{
    const std::string kind = child.Name();
    const std::string text = trimmed_text(child);
    if (kind == "family") {
        const DEV_FAMILY_ENUM family = ipcatalog_family_of(text);
        if (family == DEV_FAMILY_NONE)
            skip(child, "unknown family " + text);
        else if (std::find(card.m_families.begin(), card.m_families.end(), family) == card.m_families.end())
            card.m_families.push_back(family);
    } else if (kind == "fileset") {
        int value = 0;
        auto [rest, error] = std::from_chars(text.data(), text.data() + text.size(), value);
        if (text.empty() || error != std::errc() || rest != text.data() + text.size())
            skip(child, "not a number: " + text);
        else
            card.m_filesets.push_back(static_cast<IPCATALOG_SUPPORTED_FILESET_ENUM>(value));
    } else if (kind == "eol_sub_ip") {
        append_once(card.m_eol_sub_ips, text);
    } else if (kind == "alias") {
        append_once(card.m_aliases, text);
    } else if (kind == "matching") {
        append_once(card.m_matching_names, text);
    } else if (kind == "legacy") {
        card.m_legacy_file = attribute(child, "file");
        card.m_legacy_family_parameter = attribute(child, "family_parameter");
    } else if (kind == "upgradeable_from") {
        IPCATALOG_UPGRADEABLE_FROM_INFO entry;
        entry.name = attribute(child, "name");
        entry.version = attribute(child, "version");
        if (entry.version.empty()) entry.version = "all";
        if (entry.name.empty())
            skip(child, "no name");
        else if (read_family(child, "family", entry.family))
            card.m_upgradeable_from.push_back(entry);
    }
}

std::unique_ptr<IPCATALOG_OUTDATED_IP_INFO>
IPCATALOG_FILE_READER::read_outdated(const tinyxml2::XMLElement& element)
{
    auto info = std::make_unique<IPCATALOG_OUTDATED_IP_INFO>();
    info->m_ip_name = attribute(element, "name");
    if (info->m_ip_name.empty()) {
        skip(element, "no name");
        return nullptr;
    }
    info->m_release_notes = attribute(element, "release_notes");
    for (const auto* child = element.FirstChildElement(); child != nullptr;
         child = child->NextSiblingElement())
        read_outdated_child(*child, *info);
    return info;
}

bool IPCATALOG_FILE_READER::read_outdated_child(const tinyxml2::XMLElement& child,
                                                IPCATALOG_OUTDATED_IP_INFO& info)
{
    using ENTRY = IPCATALOG_OUTDATED_IP_INFO::VERSIONED_TEXT;
    const std::string kind = child.Name();
    std::vector<ENTRY>* list = kind == "release"   ? &info.m_releases
                               : kind == "change"  ? &info.m_changes
                               : kind == "upgrade" ? &info.m_upgrades
                               : kind == "eol"     ? &info.m_eols
                               : kind == "invalid" ? &info.m_invalids
                                                   : nullptr;
    if (list == nullptr) return false;
    ENTRY entry;
    if (!read_family(child, "family", entry.family) ||
        !read_family(child, "project_family", entry.project_family))
        return false;
    entry.target = attribute(child, "to");
    entry.text = kind == "upgrade" ? attribute(child, "description") : trimmed_text(child);
    if (kind != "upgrade") {
        // Every other entry is about a version: a real one, or "all" where that makes sense.
        const std::string version = attribute(child, "version");
        entry.all_versions = (kind == "eol" || kind == "invalid") && is_all_versions(version);
        entry.version = IPVX_VERSION(version);
        if (!entry.all_versions && !entry.version.is_valid()) {
            skip(child, "not a version: " + version);
            return false;
        }
    }
    list->push_back(entry);
    return true;
}
