//! @file dev_database.cpp
//! @brief Reading devices.xml into the device database, entry by entry.
#include <dev/dev_database.h>

#include <fio/fio.h>
#include <gen/gen.h>
#include <msg/msg.h>

#include <fmt/format.h>
#include <tinyxml2.h>

#include <algorithm>
#include <charconv>
#include <cstring>
#include <sstream>

namespace {

const char* const DEVICE_AGNOSTIC_NAME = "Device Agnostic";

//! A non-negative decimal attribute; false when absent or not a plain number.
bool read_number(const tinyxml2::XMLElement& element, const char* attribute, int& value)
{
    const char* text = element.Attribute(attribute);
    if (text == nullptr) return false;
    const char* end = text + std::strlen(text);
    auto [rest, error] = std::from_chars(text, end, value);
    return error == std::errc() && rest == end && value >= 0;
}

std::string read_text(const tinyxml2::XMLElement& element, const char* attribute)
{
    const char* text = element.Attribute(attribute);
    return text == nullptr ? std::string() : std::string(text);
}

}  // namespace

int dev_find_trait(const std::vector<DEV_TRAIT_NAME>& names, const std::string& name)
{
    for (const DEV_TRAIT_NAME& trait : names)
        if (gen_iequals(name, trait.name)) return trait.id;
    return -1;
}

const std::vector<DEV_TRAIT_NAME>& dev_family_trait_names()
{
    static const std::vector<DEV_TRAIT_NAME> names = {
        {DEV_FAMILY_TRAIT_LOW_POWER, "LOW_POWER"},
        {DEV_FAMILY_TRAIT_HARD_PROCESSOR, "HARD_PROCESSOR"},
        {DEV_FAMILY_TRAIT_NEW_IP_LAYOUT, "NEW_IP_LAYOUT"},
    };
    return names;
}

const std::vector<DEV_TRAIT_NAME>& dev_device_trait_names()
{
    static const std::vector<DEV_TRAIT_NAME> names = {
        {DEV_DEVICE_TRAIT_HAS_HBM, "HAS_HBM"},
        {DEV_DEVICE_TRAIT_HAS_TRANSCEIVERS, "HAS_TRANSCEIVERS"},
        {DEV_DEVICE_TRAIT_HAS_HARD_MEMORY_CTRL, "HAS_HARD_MEMORY_CTRL"},
        {DEV_DEVICE_TRAIT_HAS_DSP_FLOAT, "HAS_DSP_FLOAT"},
    };
    return names;
}

const std::vector<DEV_TRAIT_NAME>& dev_part_trait_names()
{
    static const std::vector<DEV_TRAIT_NAME> names = {
        {DEV_PART_TRAIT_ENGINEERING_SAMPLE, "ENGINEERING_SAMPLE"},
        {DEV_PART_TRAIT_INDUSTRIAL, "INDUSTRIAL"},
        {DEV_PART_TRAIT_AUTO_PART, "AUTO_PART"},
    };
    return names;
}

//! Fills a database from one parsed document, skipping entries it cannot use.
class DEV_DATABASE::READER {
public:
    READER(DEV_DATABASE& database, std::string path) : m_db(database), m_path(std::move(path)) {}

    void read_document(const tinyxml2::XMLElement& root)
    {
        for (const auto* e = root.FirstChildElement(); e != nullptr; e = e->NextSiblingElement()) {
            const std::string kind = e->Name();
            if (kind == "family")
                read_family(*e);
            else if (kind == "device")
                read_device(*e);
            else if (kind == "part")
                read_part(*e);
            else if (kind == "speed")
                read_speed(*e);
        }
    }

private:
    void skip(const tinyxml2::XMLElement& element, const char* why)
    {
        msg_local_debug("DEV", 2,
                        fmt::format("{}: <{}> on line {} skipped: {}", m_path, element.Name(),
                                    element.GetLineNum(), why));
    }

    //! Common fields; false (entry skipped) without a usable number and name.
    bool read_entry(const tinyxml2::XMLElement& element, const std::vector<DEV_TRAIT_NAME>& trait_names,
                    ENTRY& entry)
    {
        if (!read_number(element, "id", entry.id) || entry.id == 0) {
            skip(element, "no valid id");
            return false;
        }
        entry.name = read_text(element, "name");
        if (entry.name.empty()) {
            skip(element, "no name");
            return false;
        }
        entry.user = read_text(element, "user");
        if (entry.user.empty()) entry.user = entry.name;
        std::string traits = read_text(element, "traits");
        std::replace(traits.begin(), traits.end(), ',', ' ');
        std::istringstream words(traits);
        for (std::string word; words >> word;) {
            const int trait = dev_find_trait(trait_names, word);
            if (trait < 0)
                skip(element, ("unknown trait " + word).c_str());
            else
                entry.traits.push_back(trait);
        }
        return true;
    }

    template <typename T>
    bool add(std::map<int, T>& entries, NAME_INDEX& names, std::vector<int>* order,
             const tinyxml2::XMLElement& element, T entry)
    {
        if (!entries.emplace(entry.id, entry).second) {
            skip(element, "id used before");
            return false;
        }
        // The first entry of a name keeps it, so a later duplicate cannot redirect lookups.
        names.emplace(gen_ascii_tolower(entry.name), entry.id);
        names.emplace(gen_ascii_tolower(entry.user), entry.id);
        if (order != nullptr) order->push_back(entry.id);
        return true;
    }

    void read_family(const tinyxml2::XMLElement& element)
    {
        ENTRY family;
        if (!read_entry(element, dev_family_trait_names(), family)) return;
        if (family.id == DEV_FAMILY_DEVICE_AGNOSTIC) {
            skip(element, "reserved family number");
            return;
        }
        add(m_db.m_families, m_db.m_family_names, &m_db.m_family_order, element, family);
    }

    void read_device(const tinyxml2::XMLElement& element)
    {
        DEVICE device;
        if (!read_entry(element, dev_device_trait_names(), device)) return;
        int family = 0;
        read_number(element, "family", family);
        device.family = static_cast<DEV_FAMILY_ENUM>(family);
        read_number(element, "base", device.base);
        add(m_db.m_devices, m_db.m_device_names, &m_db.m_device_order, element, device);
    }

    void read_part(const tinyxml2::XMLElement& element)
    {
        PART part;
        if (!read_entry(element, dev_part_trait_names(), part)) return;
        read_number(element, "device", part.device);
        read_number(element, "speed", part.speed);
        add(m_db.m_parts, m_db.m_part_names, &m_db.m_part_order, element, part);
    }

    void read_speed(const tinyxml2::XMLElement& element)
    {
        ENTRY speed;
        if (!read_entry(element, {}, speed)) return;
        add(m_db.m_speeds, m_db.m_speed_names, nullptr, element, speed);
    }

    DEV_DATABASE& m_db;
    std::string m_path;
};

DEV_DATABASE::DEV_DATABASE()
{
    ENTRY agnostic;
    agnostic.id = DEV_FAMILY_DEVICE_AGNOSTIC;
    agnostic.name = agnostic.user = DEVICE_AGNOSTIC_NAME;
    m_families.emplace(agnostic.id, agnostic);
    m_family_names.emplace(gen_ascii_tolower(DEVICE_AGNOSTIC_NAME), agnostic.id);
}

std::shared_ptr<const DEV_DATABASE> DEV_DATABASE::read(const std::string& xml_path)
{
    std::shared_ptr<DEV_DATABASE> database(new DEV_DATABASE());
    std::string text;
    std::string problem;
    tinyxml2::XMLDocument document;
    if (!FIO_FILE_SYSTEM::read_file(xml_path, text, MAX_FILE_SIZE, &problem)) {
        database->m_problem = fmt::format("the device list {} {}", xml_path, problem);
    } else if (!gen_is_valid_utf8(text)) {
        database->m_problem = fmt::format("the device list {} is not valid UTF-8", xml_path);
    } else if (document.Parse(text.data(), text.size()) != tinyxml2::XML_SUCCESS) {
        database->m_problem =
            fmt::format("the device list {} is not valid XML: {}", xml_path, document.ErrorStr());
    } else if (const tinyxml2::XMLElement* root = document.FirstChildElement("devices")) {
        READER(*database, xml_path).read_document(*root);
        if (database->m_family_order.empty())
            database->m_problem = fmt::format("the device list {} names no device family", xml_path);
    } else {
        database->m_problem = fmt::format("the device list {} has no <devices> element", xml_path);
    }
    if (!database->m_problem.empty()) msg_local_debug("DEV", 2, database->m_problem);
    return database;
}

int DEV_DATABASE::find(const NAME_INDEX& index, const std::string& name)
{
    if (name.empty()) return 0;
    auto found = index.find(gen_ascii_tolower(name));
    return found == index.end() ? 0 : found->second;
}

namespace {
template <typename T>
const T* find_entry(const std::map<int, T>& entries, int id)
{
    auto found = entries.find(id);
    return found == entries.end() ? nullptr : &found->second;
}
}  // namespace

const DEV_DATABASE::ENTRY* DEV_DATABASE::family(DEV_FAMILY_ENUM id) const
{
    return find_entry(m_families, id);
}
const DEV_DATABASE::DEVICE* DEV_DATABASE::device(DEV_DEVICE_ENUM id) const
{
    return find_entry(m_devices, id);
}
const DEV_DATABASE::PART* DEV_DATABASE::part(DEV_PART_ENUM id) const
{
    return find_entry(m_parts, id);
}
const DEV_DATABASE::ENTRY* DEV_DATABASE::speed(DEV_SPEED_ENUM id) const
{
    return find_entry(m_speeds, id);
}
