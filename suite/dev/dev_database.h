//! @file dev_database.h
//! @brief The device database read from one devices.xml: entries by number and by name.
#pragma once

#include <dev/dev.h>

#include <cstddef>
#include <map>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

//! An immutable snapshot of one devices.xml. Broken or missing files give a database that
//! holds only the reserved families; broken entries are skipped one by one.
class DEV_DATABASE {
public:
    struct ENTRY {
        int id = 0;
        std::string name;
        std::string user;         //!< user-facing name; the name when the file gives none
        std::vector<int> traits;  //!< trait numbers of the entry's scope
    };
    struct DEVICE : ENTRY {
        DEV_FAMILY_ENUM family = DEV_FAMILY_NONE;
        DEV_DEVICE_ENUM base = 0;
    };
    struct PART : ENTRY {
        DEV_DEVICE_ENUM device = 0;
        DEV_SPEED_ENUM speed = 0;
    };

    //! Largest devices.xml read.
    static constexpr std::size_t MAX_FILE_SIZE = std::size_t{64} << 20;
    //! Reads a devices.xml; never null.
    static std::shared_ptr<const DEV_DATABASE> read(const std::string& xml_path);
    //! Why the file gave no usable database (missing, not a regular file, not XML, no family);
    //! empty when it did.
    const std::string& problem() const { return m_problem; }

    const ENTRY* family(DEV_FAMILY_ENUM id) const;
    const DEVICE* device(DEV_DEVICE_ENUM id) const;
    const PART* part(DEV_PART_ENUM id) const;
    const ENTRY* speed(DEV_SPEED_ENUM id) const;

    //! Number of the entry with this name or user name (ASCII case ignored); 0 when none.
    int find_family(const std::string& name) const { return find(m_family_names, name); }
    int find_device(const std::string& name) const { return find(m_device_names, name); }
    int find_part(const std::string& name) const { return find(m_part_names, name); }
    int find_speed(const std::string& name) const { return find(m_speed_names, name); }

    //! Entries in file order (families without the reserved ones).
    const std::vector<int>& family_order() const { return m_family_order; }
    const std::vector<int>& device_order() const { return m_device_order; }
    const std::vector<int>& part_order() const { return m_part_order; }

private:
    using NAME_INDEX = std::unordered_map<std::string, int>;
    class READER;
    DEV_DATABASE();
    static int find(const NAME_INDEX& index, const std::string& name);

    std::map<int, ENTRY> m_families;
    std::map<int, DEVICE> m_devices;
    std::map<int, PART> m_parts;
    std::map<int, ENTRY> m_speeds;
    NAME_INDEX m_family_names, m_device_names, m_part_names, m_speed_names;
    std::vector<int> m_family_order, m_device_order, m_part_order;
    std::string m_problem;
};

//! Trait names of one scope.
struct DEV_TRAIT_NAME {
    int id;
    const char* name;
};
const std::vector<DEV_TRAIT_NAME>& dev_family_trait_names();
const std::vector<DEV_TRAIT_NAME>& dev_device_trait_names();
const std::vector<DEV_TRAIT_NAME>& dev_part_trait_names();
//! Number of a trait name of one scope (ASCII case ignored); -1 when the scope has none.
int dev_find_trait(const std::vector<DEV_TRAIT_NAME>& names, const std::string& name);
