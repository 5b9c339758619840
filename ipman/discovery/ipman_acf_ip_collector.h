//! @file ipman_acf_ip_collector.h
//! @brief The project IP collector: groups the project's IP assignments into one working
//! record per variation and completes each from its legacy, system or gwip file.
#pragma once

#include "discovery/ipman_legacy_variation_reader.h"
#include "discovery/ipman_system_file_reader.h"
#include "support/ipman_file_memo.h"

#include <dev/dev_types.h>
#include <ipman/ipman_ip_info.h>

#include <cstddef>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

class ACF_ASSIGNMENT;
class IPCATALOG_VORLIN_IP_CATALOG_MANAGER;
class IPMAN_RECORD_ANALYSER;

//! How a collected variation was recognised.
enum class IPMAN_COLLECTED_IP_KIND : int {
    UNCLASSIFIED = 0,
    LEGACY_VARIATION = 1,  //!< the group's HDL file is a wizard-generated variation
    TESSEL_SYSTEM = 2,     //!< list of a system file, keyed by the system file itself
    TESSEL_LIST = 3,       //!< an IP list that names a system file
    GWIP_FILE = 5,         //!< list of a gwip file, keyed by the gwip file itself
    GWIP_LIST = 6,         //!< an IP list that names a gwip file
    GWIP_COMPONENT = 7,    //!< read directly from a gwip (IP-XACT component) file
};

//! True for the kinds whose variation is regenerated from a system or gwip file.
bool ipman_is_system_kind(IPMAN_COLLECTED_IP_KIND kind);

//! One entity of a variation, identified by (entity, library), compared exactly.
struct IPMAN_COLLECTED_ENTITY {
    std::string entity;
    std::string top_level_comp_name;
    std::string library;
    std::string tool_version;
    std::string tool_name;
    std::string generated_by;
    std::string vendor;
};

//! The collector's working record of one variation; filled by the collector and the
//! legacy, IP-XACT and system file readers.
class IPMAN_COLLECTED_IP {
public:
    //! A record keyed by key: base name from the key, everything else empty or false.
    explicit IPMAN_COLLECTED_IP(const std::string& key);

    //! The entity (entity, library), appended with only those two fields when absent.
    //! The reference stays valid until the next entity is appended.
    IPMAN_COLLECTED_ENTITY& find_or_add_entity(const std::string& entity, const std::string& library);
    //! Position of the entity (entity, library); npos when absent. Indexed while the record
    //! is built; the collector drops the index of a record it keeps.
    std::size_t find_entity(const std::string& entity, const std::string& library) const;
    static constexpr std::size_t npos = static_cast<std::size_t>(-1);
    //! The entity-index key: "entity##library", or the entity alone for an empty library.
    static std::string entity_index_key(const std::string& entity, const std::string& library);

    std::string key;             //!< the assignments' origin, or the system / gwip file as written
    std::string base_name;       //!< base name of key; after the entity pass the main entity's name
    std::string main_file;       //!< the file the variation is regenerated from (flattened)
    std::string top_level_file;  //!< the variation's top-level HDL file (flattened)
    std::string core_name;
    std::string core_version;
    IPMAN_COLLECTED_IP_KIND kind = IPMAN_COLLECTED_IP_KIND::UNCLASSIFIED;
    bool encrypted = false;
    bool standalone = false;
    bool from_system_file = false;                 //!< built from a system or gwip file, not from assignments
    std::vector<IPMAN_COLLECTED_ENTITY> entities;  //!< in order of first appearance
    std::map<std::string, std::size_t> entity_index;  //!< entity_index_key -> position, while built
    std::vector<DEV_FAMILY_ENUM> supported_families;
    IPMAN_RTL_LANGUAGE_ENUM language = IPMAN_RTL_USE_PROJECT_SETTING;  //!< 0 when unknown
    std::map<std::string, std::string> device_requirements;            //!< requirement name -> value
    bool has_warnings = false;
    bool has_errors = false;
};

//! The list of a full load a record belongs to besides the list of all records.
enum class IPMAN_UPGRADE_LIST { NONE, REQUIRED, OPTIONAL };

//! Takes one analysed record of a full load and the list it belongs to.
using IPMAN_RECORD_SINK = std::function<void(IPMAN_IP_INFO&& record, IPMAN_UPGRADE_LIST list)>;

//! Finds every IP variation of the open project. The information manager owns one, sets
//! the always-regenerate flag and calls collect_ip_files before converting the records.
class IPMAN_ACF_IP_COLLECTOR {
public:
    IPMAN_ACF_IP_COLLECTOR();
    virtual ~IPMAN_ACF_IP_COLLECTOR();
    IPMAN_ACF_IP_COLLECTOR(const IPMAN_ACF_IP_COLLECTOR&) = delete;
    IPMAN_ACF_IP_COLLECTOR& operator=(const IPMAN_ACF_IP_COLLECTOR&) = delete;

    //! Rebuilds the records from the open project's global assignments and the system and
    //! gwip files they name. No open project gives no records.
    virtual void collect_ip_files();

    // Conversion into IPMAN_IP_INFO records: one per variation (its main record) and one per
    // sub-IP, each analysed afresh by the analyser; nothing of the analysis is kept here.

    //! Hands the records of every variation to sink, in record order. Only the records of one
    //! variation are held here at a time: the sink keeps what its caller wants.
    void convert_variations(IPMAN_RECORD_ANALYSER& analyser, const IPMAN_RECORD_SINK& sink) const;
    //! The number of entities of all variations: no full load gives more records.
    std::size_t count_entities() const;
    //! Appends the records of every variation to all, in record order; copies of those that
    //! need an upgrade go to required, of those whose upgrade is optional to optional.
    virtual void build_ip_info_lists(IPMAN_RECORD_ANALYSER& analyser, std::vector<IPMAN_IP_INFO>& all,
                                     std::vector<IPMAN_IP_INFO>& required,
                                     std::vector<IPMAN_IP_INFO>& optional) const;
    //! Converts the first variation keyed exactly by key; out receives its main record when
    //! that has entity and library, else the first record with both, else the last record
    //! with the entity. False when no record matches.
    virtual bool find_ip_info_by_name(IPMAN_RECORD_ANALYSER& analyser, const std::string& key,
                                      const std::string& entity, const std::string& library,
                                      IPMAN_IP_INFO& out) const;
    //! Appends the records of the first variation generated from path (compared as absolute,
    //! flattened paths) to all; true when that gave a main record. all is unchanged when no
    //! variation is generated from path.
    virtual bool load_ip_info_for_file(IPMAN_RECORD_ANALYSER& analyser, const std::string& path,
                                       std::vector<IPMAN_IP_INFO>& all) const;
    //! load_ip_info_for_file for each path in order, with one index over the records;
    //! paths that gave no main record go to not_loaded.
    void load_ip_info_for_files(IPMAN_RECORD_ANALYSER& analyser, const std::vector<std::string>& paths,
                                std::vector<IPMAN_IP_INFO>& all, std::vector<std::string>& not_loaded) const;

    virtual void set_ip_catalog_manager(IPCATALOG_VORLIN_IP_CATALOG_MANAGER* catalog);
    virtual bool get_always_regen() const;
    //! With the flag set, lists keyed by a system or gwip file are left to the file passes.
    virtual void set_always_regen(bool always_regen);

    //! Null until set or until the first collection takes the process-wide catalog.
    IPCATALOG_VORLIN_IP_CATALOG_MANAGER* get_ip_catalog_manager() const { return m_catalog; }
    void set_is_pro_version(bool pro) { m_pro_version = pro; }
    bool is_pro_version() const { return m_pro_version; }
    //! Tool name given to system and gwip files: "TesselCrestPro" in the pro edition,
    //! "Tessel" otherwise.
    std::string get_tool_string() const;

    //! The record the system file at path gives under key: the system as main entity, each
    //! active module as a sub-IP entity named by its kind with its instance as library, the
    //! standalone mode and the device family. Nothing when the file describes no system.
    std::optional<IPMAN_COLLECTED_IP> system_file_record(const std::string& key,
                                                         const std::string& path) const;

    //! The key of the record an IP list's assignments went to, as find_ip_info_by_name takes
    //! it: that of the list that includes it when they were folded into that list's record.
    std::string record_key_of_list(const std::string& list_key) const;

    //! True when the last collection read the file at path (or found it unchanged) with success.
    bool has_read_file(const std::string& path) const;

    //! The records of the last collection, in discovery order.
    const std::vector<IPMAN_COLLECTED_IP>& get_collected_ips() const { return m_records; }

private:
    using ASSIGNMENTS = std::vector<const ACF_ASSIGNMENT*>;

    //! Builds a record per group of the project's IP lists, and gathers the system and gwip
    //! file assignments the later passes read.
    void build_group_records(ASSIGNMENTS& system_files, ASSIGNMENTS& gwip_files);
    void build_record(const std::string& group_key, const ASSIGNMENTS& group);
    //! The reading of a record's main file while the record is being built, when it is a
    //! legacy or protected HDL file: the passes after classification need it again. Kept
    //! apart from the record, which outlives the building; it lives in m_legacy_texts.
    using MAIN_FILE_TEXT = const IPMAN_LEGACY_FILE_TEXT*;

    void classify_from_files(IPMAN_COLLECTED_IP& record, const ASSIGNMENTS& group, MAIN_FILE_TEXT& text);
    void classify_hdl_file(IPMAN_COLLECTED_IP& record, const ACF_ASSIGNMENT& assignment,
                           const std::string& base, MAIN_FILE_TEXT& text);
    void read_entities(IPMAN_COLLECTED_IP& record, const ASSIGNMENTS& group,
                       const MAIN_FILE_TEXT& text) const;
    void read_legacy_family(IPMAN_COLLECTED_IP& record, const MAIN_FILE_TEXT& text) const;
    void collect_system_file(const ACF_ASSIGNMENT& assignment);
    IPMAN_COLLECTED_IP record_of_system(const std::string& key, const IPMAN_SYSTEM_FILE& system) const;
    void collect_gwip_file(const ACF_ASSIGNMENT& assignment);
    bool has_record(const std::string& key) const;
    const std::vector<DEV_FAMILY_ENUM>& target_families_of(const std::string& list_text) const;
    void add_record(IPMAN_COLLECTED_IP&& record);

    std::vector<IPMAN_COLLECTED_IP> m_records;
    //! Key -> position of the first record with that key, for constant-time look-up.
    std::unordered_map<std::string, std::size_t> m_record_positions;
    //! IP list (origin as written) -> key of the group it was folded into.
    std::unordered_map<std::string, std::string> m_folded_list_keys;
    //! Target family lists as written -> their families, for one collection: variations of
    //! one core repeat the same list.
    mutable std::unordered_map<std::string, std::vector<DEV_FAMILY_ENUM>> m_target_families;
    IPCATALOG_VORLIN_IP_CATALOG_MANAGER* m_catalog = nullptr;  //!< not owned

    //! What a gwip file says of its component.
    struct GWIP_IDENTITY {
        std::string name;
        std::string version;
        std::string vendor;
        std::string device_family;
        bool has_warnings = false;
        bool has_errors = false;
    };
    //! The variation files read by the last collection: a load after a load reads again
    //! only those that changed.
    IPMAN_FILE_MEMO<IPMAN_LEGACY_FILE_TEXT> m_legacy_texts;
    IPMAN_FILE_MEMO<IPMAN_SYSTEM_FILE> m_system_files;
    IPMAN_FILE_MEMO<GWIP_IDENTITY> m_gwip_files;
    bool m_always_regen = false;
    bool m_pro_version = true;
};
