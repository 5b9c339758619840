//! @file dev.cpp
//! @brief The device database queries over the current installation's devices.xml.
#include <dev/dev.h>
#include <dev/dev_database.h>

#include <gen/gen.h>

#include <algorithm>
#include <map>
#include <mutex>

std::shared_ptr<const DEV_DATABASE> dev_get_database()
{
    // One snapshot per installation path: tests and scripts may switch VORLIN_ROOTDIR.
    static std::mutex guard;
    static std::map<std::string, std::shared_ptr<const DEV_DATABASE>> by_installation;
    const std::string root = gen_get_vorlin_path();
    std::lock_guard<std::mutex> lock(guard);
    std::shared_ptr<const DEV_DATABASE>& database = by_installation[root];
    if (!database) database = DEV_DATABASE::read(root + "devices/devices.xml");
    return database;
}

std::string dev_get_database_problem()
{
    return dev_get_database()->problem();
}

namespace {

bool has_trait(const DEV_DATABASE::ENTRY* entry, int trait)
{
    return entry != nullptr &&
           std::find(entry->traits.begin(), entry->traits.end(), trait) != entry->traits.end();
}

template <typename ENTRY>
std::string name_of(const ENTRY* entry)
{
    return entry == nullptr ? std::string() : entry->name;
}

std::string trait_name(const std::vector<DEV_TRAIT_NAME>& names, int id)
{
    for (const DEV_TRAIT_NAME& trait : names)
        if (trait.id == id) return trait.name;
    return {};
}

}  // namespace

DEV_FAMILY_ENUM dstr_get_dev_family_enum_by_string(const std::string& name)
{
    return static_cast<DEV_FAMILY_ENUM>(dev_get_database()->find_family(name));
}

DEV_DEVICE_ENUM dstr_get_dev_device_enum_by_string(const std::string& name)
{
    return dev_get_database()->find_device(name);
}

DEV_PART_ENUM dstr_get_dev_part_enum_by_string(const std::string& name)
{
    return dev_get_database()->find_part(name);
}

DEV_SPEED_ENUM dstr_get_dev_speed_enum_by_string(const std::string& name)
{
    return dev_get_database()->find_speed(name);
}

bool dstr_is_valid_dev_family_enum(DEV_FAMILY_ENUM family)
{
    return family != DEV_FAMILY_NONE && dev_get_database()->family(family) != nullptr;
}

bool dstr_is_valid_dev_device_enum(DEV_DEVICE_ENUM device)
{
    return dev_get_database()->device(device) != nullptr;
}
bool dstr_is_valid_dev_part_enum(DEV_PART_ENUM part)
{
    return dev_get_database()->part(part) != nullptr;
}
bool dstr_is_valid_dev_speed_enum(DEV_SPEED_ENUM speed)
{
    return dev_get_database()->speed(speed) != nullptr;
}

std::string dstr_get_user_string(DEV_FAMILY_ENUM family)
{
    const DEV_DATABASE::ENTRY* entry = dev_get_database()->family(family);
    return entry == nullptr ? std::string() : entry->user;
}

std::string dstr_get_dev_family_string(DEV_FAMILY_ENUM family)
{
    return name_of(dev_get_database()->family(family));
}
std::string dstr_get_dev_device_string(DEV_DEVICE_ENUM device)
{
    return name_of(dev_get_database()->device(device));
}
std::string dstr_get_dev_part_string(DEV_PART_ENUM part)
{
    return name_of(dev_get_database()->part(part));
}
std::string dstr_get_dev_speed_string(DEV_SPEED_ENUM speed)
{
    return name_of(dev_get_database()->speed(speed));
}

bool dstr_exists_dev_family_trait_string(const std::string& name)
{
    return dev_find_trait(dev_family_trait_names(), name) >= 0;
}
bool dstr_exists_dev_device_trait_string(const std::string& name)
{
    return dev_find_trait(dev_device_trait_names(), name) >= 0;
}
bool dstr_exists_dev_part_trait_string(const std::string& name)
{
    return dev_find_trait(dev_part_trait_names(), name) >= 0;
}
int dstr_get_dev_family_trait_enum_by_string(const std::string& name)
{
    return dev_find_trait(dev_family_trait_names(), name);
}
int dstr_get_dev_device_trait_enum_by_string(const std::string& name)
{
    return dev_find_trait(dev_device_trait_names(), name);
}
int dstr_get_dev_part_trait_enum_by_string(const std::string& name)
{
    return dev_find_trait(dev_part_trait_names(), name);
}
std::string dstr_get_dev_family_trait_string(int trait)
{
    return trait_name(dev_family_trait_names(), trait);
}
std::string dstr_get_dev_device_trait_string(int trait)
{
    return trait_name(dev_device_trait_names(), trait);
}
std::string dstr_get_dev_part_trait_string(int trait)
{
    return trait_name(dev_part_trait_names(), trait);
}

bool DEV_FAMILY_MANAGER::test_trait_of(DEV_FAMILY_ENUM family, int trait)
{
    return has_trait(dev_get_database()->family(family), trait);
}

std::vector<DEV_FAMILY_ENUM> DEV_FAMILY_MANAGER::get_all_families()
{
    std::vector<DEV_FAMILY_ENUM> families;
    for (int id : dev_get_database()->family_order())
        families.push_back(static_cast<DEV_FAMILY_ENUM>(id));
    return families;
}

std::vector<DEV_DEVICE_ENUM> DEV_FAMILY_MANAGER::get_devices_of(DEV_FAMILY_ENUM family)
{
    const auto database = dev_get_database();
    std::vector<DEV_DEVICE_ENUM> devices;
    if (family == DEV_FAMILY_NONE) return devices;
    for (int id : database->device_order())
        if (database->device(id)->family == family) devices.push_back(id);
    return devices;
}

DEV_DEVICE_ENUM DEV_PART_MANAGER::get_device_of(DEV_PART_ENUM part)
{
    const DEV_DATABASE::PART* entry = dev_get_database()->part(part);
    return entry == nullptr ? 0 : entry->device;
}

DEV_DEVICE_ENUM DEV_PART_MANAGER::get_base_device_of(DEV_PART_ENUM part)
{
    const auto database = dev_get_database();
    const DEV_DATABASE::PART* entry = database->part(part);
    const DEV_DATABASE::DEVICE* device = entry == nullptr ? nullptr : database->device(entry->device);
    return device == nullptr ? 0 : device->base;
}

DEV_FAMILY_ENUM DEV_PART_MANAGER::get_family_of(DEV_PART_ENUM part)
{
    const auto database = dev_get_database();
    const DEV_DATABASE::PART* entry = database->part(part);
    const DEV_DATABASE::DEVICE* device = entry == nullptr ? nullptr : database->device(entry->device);
    return device == nullptr ? DEV_FAMILY_NONE : device->family;
}

DEV_SPEED_ENUM DEV_PART_MANAGER::get_marketing_speed_of(DEV_PART_ENUM part, bool include_placeholders)
{
    const DEV_DATABASE::PART* entry = dev_get_database()->part(part);
    if (entry == nullptr) return 0;
    if (!include_placeholders && has_trait(entry, DEV_PART_TRAIT_AUTO_PART)) return 0;
    return entry->speed;
}

bool DEV_PART_MANAGER::test_part_trait_of(DEV_PART_ENUM part, int trait)
{
    return has_trait(dev_get_database()->part(part), trait);
}

bool DEV_PART_MANAGER::test_device_trait_of(DEV_PART_ENUM part, int trait)
{
    const auto database = dev_get_database();
    const DEV_DATABASE::PART* entry = database->part(part);
    return entry != nullptr && has_trait(database->device(entry->device), trait);
}

std::vector<DEV_PART_ENUM> DEV_PART_MANAGER::get_parts_of(DEV_DEVICE_ENUM device)
{
    const auto database = dev_get_database();
    std::vector<DEV_PART_ENUM> parts;
    if (device == 0) return parts;
    for (int id : database->part_order())
        if (database->part(id)->device == device) parts.push_back(id);
    return parts;
}
