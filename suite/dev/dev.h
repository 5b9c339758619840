//! @file dev.h
//! @brief Device database: families, devices, parts, speed grades and their traits, read
//! from the installation's devices/devices.xml.
#pragma once

#include <dev/dev_types.h>

#include <memory>
#include <string>
#include <vector>

//! Device numbers are those of devices/devices.xml; 0 means none.
using DEV_DEVICE_ENUM = int;
//! Speed-grade numbers are those of devices/devices.xml; 0 means none.
using DEV_SPEED_ENUM = int;

//! The part a project has before one is chosen: no particular part. It is not a valid part
//! of the database, so device requirements that need a part fail against it.
constexpr DEV_PART_ENUM DEV_PART_GENERIC = 0;

//! Family traits (the family's traits attribute names them).
enum DEV_FAMILY_TRAIT : int {
    DEV_FAMILY_TRAIT_LOW_POWER = 1,       //!< "LOW_POWER"
    DEV_FAMILY_TRAIT_HARD_PROCESSOR = 2,  //!< "HARD_PROCESSOR"
    DEV_FAMILY_TRAIT_NEW_IP_LAYOUT =
        195,  //!< "NEW_IP_LAYOUT": newer families, generated IP lists in synthesis/
};

//! Device traits (the device's traits attribute names them).
enum DEV_DEVICE_TRAIT : int {
    DEV_DEVICE_TRAIT_HAS_HBM = 1,               //!< "HAS_HBM"
    DEV_DEVICE_TRAIT_HAS_TRANSCEIVERS = 2,      //!< "HAS_TRANSCEIVERS"
    DEV_DEVICE_TRAIT_HAS_HARD_MEMORY_CTRL = 3,  //!< "HAS_HARD_MEMORY_CTRL"
    DEV_DEVICE_TRAIT_HAS_DSP_FLOAT = 4,         //!< "HAS_DSP_FLOAT"
};

//! Part traits (the part's traits attribute names them).
enum DEV_PART_TRAIT : int {
    DEV_PART_TRAIT_ENGINEERING_SAMPLE = 1,  //!< "ENGINEERING_SAMPLE"
    DEV_PART_TRAIT_INDUSTRIAL = 2,          //!< "INDUSTRIAL"
    DEV_PART_TRAIT_AUTO_PART = 7,           //!< "AUTO_PART": placeholder part, no real device chosen
};

// ---- Lookups by name --------------------------------------------------------------------
// Names are matched ignoring ASCII case, against the name and the user name of an entry.
// Every lookup answers 0 for an unknown or empty name; a missing or unreadable devices.xml
// behaves as a database that holds only the two reserved families.

//! Family by name or user name; "Device Agnostic" gives 78.
DEV_FAMILY_ENUM dstr_get_dev_family_enum_by_string(const std::string& name);
DEV_DEVICE_ENUM dstr_get_dev_device_enum_by_string(const std::string& name);
DEV_PART_ENUM dstr_get_dev_part_enum_by_string(const std::string& name);
DEV_SPEED_ENUM dstr_get_dev_speed_enum_by_string(const std::string& name);

// ---- Validity ---------------------------------------------------------------------------

//! True for every family of the database and for 78 (Device Agnostic); false for 0.
bool dstr_is_valid_dev_family_enum(DEV_FAMILY_ENUM family);
bool dstr_is_valid_dev_device_enum(DEV_DEVICE_ENUM device);
bool dstr_is_valid_dev_part_enum(DEV_PART_ENUM part);
bool dstr_is_valid_dev_speed_enum(DEV_SPEED_ENUM speed);

// ---- Names ------------------------------------------------------------------------------

//! User-facing family name ("Crest V"); "Device Agnostic" for 78; "" for 0 or unknown.
std::string dstr_get_user_string(DEV_FAMILY_ENUM family);
//! Internal family name ("crest5"); "" for 0 or unknown.
std::string dstr_get_dev_family_string(DEV_FAMILY_ENUM family);
std::string dstr_get_dev_device_string(DEV_DEVICE_ENUM device);
std::string dstr_get_dev_part_string(DEV_PART_ENUM part);
std::string dstr_get_dev_speed_string(DEV_SPEED_ENUM speed);

// ---- Trait names, per scope ---------------------------------------------------------------
// The same word may name different traits in different scopes. Names match ignoring case.

bool dstr_exists_dev_family_trait_string(const std::string& name);
bool dstr_exists_dev_device_trait_string(const std::string& name);
bool dstr_exists_dev_part_trait_string(const std::string& name);
//! Trait number of a name; -1 when the scope has no such trait.
int dstr_get_dev_family_trait_enum_by_string(const std::string& name);
int dstr_get_dev_device_trait_enum_by_string(const std::string& name);
int dstr_get_dev_part_trait_enum_by_string(const std::string& name);
//! Name of a trait number; "" when the scope has no such trait.
std::string dstr_get_dev_family_trait_string(int trait);
std::string dstr_get_dev_device_trait_string(int trait);
std::string dstr_get_dev_part_trait_string(int trait);

// ---- Managers ---------------------------------------------------------------------------

//! Questions about families. Unknown families have no traits and no devices.
class DEV_FAMILY_MANAGER {
public:
    //! True when the family carries the trait (DEV_FAMILY_TRAIT); false for 0, 78 and unknown.
    static bool test_trait_of(DEV_FAMILY_ENUM family, int trait);
    //! Every family of the database in file order, the reserved ones excluded.
    static std::vector<DEV_FAMILY_ENUM> get_all_families();
    //! Devices of a family in file order.
    static std::vector<DEV_DEVICE_ENUM> get_devices_of(DEV_FAMILY_ENUM family);
};

//! Questions about parts and their devices. Invalid parts answer 0 or false.
class DEV_PART_MANAGER {
public:
    static DEV_DEVICE_ENUM get_device_of(DEV_PART_ENUM part);
    //! Base device of the part's device; 0 when that device has none.
    static DEV_DEVICE_ENUM get_base_device_of(DEV_PART_ENUM part);
    static DEV_FAMILY_ENUM get_family_of(DEV_PART_ENUM part);
    //! The speed grade the part is sold with. Placeholder parts (AUTO_PART) answer 0 unless
    //! include_placeholders is set.
    static DEV_SPEED_ENUM get_marketing_speed_of(DEV_PART_ENUM part, bool include_placeholders);
    //! Part trait (DEV_PART_TRAIT) of the part.
    static bool test_part_trait_of(DEV_PART_ENUM part, int trait);
    //! Device trait (DEV_DEVICE_TRAIT) of the part's device.
    static bool test_device_trait_of(DEV_PART_ENUM part, int trait);
    //! Parts of a device in file order.
    static std::vector<DEV_PART_ENUM> get_parts_of(DEV_DEVICE_ENUM device);
};

class DEV_DATABASE;
//! The database of the current installation (gen_get_vorlin_path()), read on first use and
//! kept per installation path; safe to call from any thread.
std::shared_ptr<const DEV_DATABASE> dev_get_database();
//! Why the current installation's device list is unusable (missing, special, broken, naming
//! no family); empty when it is usable.
std::string dev_get_database_problem();
