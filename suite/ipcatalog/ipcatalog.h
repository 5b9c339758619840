//! @file ipcatalog.h
//! @brief The IP catalog: the installed IP cores ($IP_ROOTDIR/catalog/*.xml), their older
//! names and upgrade paths, release information about outdated versions, and IP versions.
#pragma once

#include <dev/dev_types.h>
#include <ipcatalog/ipcatalog_types.h>

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

//! An IP version such as "24.1" or "24.1.2": numbers separated by dots, compared number by
//! number, missing numbers counting as 0 (so "24.1" == "24.1.0", "24.1.2" > "24.1",
//! "24.1" > "9.0"). Blanks around the text are ignored. Any other text (empty, "N/A",
//! "1.x", "1..2", numbers beyond 64 bits) gives an invalid version. Invalid versions are
//! lower than every valid version and equal to each other, so the order stays total and an
//! unknown version is always older than a known one.
class IPVX_VERSION {
public:
    IPVX_VERSION() = default;  //!< invalid (no version)
    explicit IPVX_VERSION(const std::string& text);
    explicit IPVX_VERSION(const char* text);

    bool is_valid() const { return m_valid; }
    //! The text the version was built from, blanks trimmed.
    const std::string& to_string() const { return m_text; }
    //! The numbers of a valid version; empty for an invalid one.
    const std::vector<std::uint64_t>& numbers() const { return m_numbers; }

    bool operator<(const IPVX_VERSION& other) const { return compare(other) < 0; }
    bool operator==(const IPVX_VERSION& other) const { return compare(other) == 0; }
    bool operator!=(const IPVX_VERSION& other) const { return compare(other) != 0; }
    bool operator>(const IPVX_VERSION& other) const { return compare(other) > 0; }
    bool operator<=(const IPVX_VERSION& other) const { return compare(other) <= 0; }
    bool operator>=(const IPVX_VERSION& other) const { return compare(other) >= 0; }
    //! Negative, zero or positive as this version is lower, equal or higher.
    int compare(const IPVX_VERSION& other) const;

private:
    std::string m_text;
    std::vector<std::uint64_t> m_numbers;
    bool m_valid = false;
};

//! One <upgradeable_from> entry of a card: the card can upgrade IP of this name.
struct IPCATALOG_UPGRADEABLE_FROM_INFO {
    std::string name;                                     //!< the older IP name
    std::string version;                                  //!< a version text or "all"
    DEV_FAMILY_ENUM family = DEV_FAMILY_DEVICE_AGNOSTIC;  //!< 78 when the entry names none
};

//! One IP core of the catalog in its current version (a <card>). Cards belong to the
//! catalog: pointers to them stay valid until the next update of the catalog.
class IPCATALOG_CARD {
public:
    const std::string& get_name() const { return m_name; }
    const std::string& get_version() const { return m_version; }
    //! The version parsed once when the card was read: analyses compare it for every record.
    const IPVX_VERSION& get_parsed_version() const { return m_parsed_version; }
    const std::string& get_author() const { return m_author; }
    const std::string& get_display_name() const { return m_display_name; }
    IPCATALOG_IP_TYPE get_ip_type() const { return m_ip_type; }
    //! Cards named by this card's <matching> entries, in catalog order.
    const std::vector<const IPCATALOG_CARD*>& get_matching_ip_cards() const { return m_matching_cards; }
    const std::vector<std::string>& get_matching_names() const { return m_matching_names; }
    //! Legacy parameter file and the parameter that holds its device family (legacy cards).
    const std::string& get_legacy_iputf_file() const { return m_legacy_file; }
    const std::string& get_legacy_iputf_family_parameter() const { return m_legacy_family_parameter; }
    //! Families the card is limited to, in file order; empty means every family.
    const std::vector<DEV_FAMILY_ENUM>& get_supported_families() const { return m_families; }
    const std::vector<std::string>& const_supported_eol_sub_ips() const { return m_eol_sub_ips; }
    //! Filesets the core generates, as listed (values outside the enumeration are kept).
    const std::vector<IPCATALOG_SUPPORTED_FILESET_ENUM>& const_supported_filesets() const
    {
        return m_filesets;
    }
    const std::vector<std::string>& const_aliases() const { return m_aliases; }
    const std::vector<IPCATALOG_UPGRADEABLE_FROM_INFO>& get_upgradeable_from_info() const
    {
        return m_upgradeable_from;
    }
    //! "upgrade" or "generation" when the bundled generators fail on purpose for this core.
    const std::string& get_test_fails() const { return m_test_fails; }
    bool test_fails(const std::string& stage) const { return !m_test_fails.empty() && m_test_fails == stage; }
    //! True when the card is listed for the family (78 and an empty list match every family).
    bool supports_family(DEV_FAMILY_ENUM family) const;
    //! The catalog file the card was read from.
    const std::string& get_catalog_file() const { return m_catalog_file; }

private:
    friend class IPCATALOG_FILE_READER;
    friend class IPCATALOG_VORLIN_IP_CATALOG_MANAGER;
    std::string m_name, m_version, m_author, m_display_name;
    IPVX_VERSION m_parsed_version;
    IPCATALOG_IP_TYPE m_ip_type = IPCATALOG_IP_TYPE_STANDALONE;
    std::vector<std::string> m_matching_names;
    std::vector<const IPCATALOG_CARD*> m_matching_cards;
    std::string m_legacy_file, m_legacy_family_parameter;
    std::vector<DEV_FAMILY_ENUM> m_families;
    std::vector<std::string> m_eol_sub_ips;
    std::vector<IPCATALOG_SUPPORTED_FILESET_ENUM> m_filesets;
    std::vector<std::string> m_aliases;
    std::vector<IPCATALOG_UPGRADEABLE_FROM_INFO> m_upgradeable_from;
    std::string m_test_fails;
    std::string m_catalog_file;
};

//! What the catalog knows about older versions of one IP name (an <outdated> element).
//! Version arguments are the variation's version and the version it is upgraded to.
class IPCATALOG_OUTDATED_IP_INFO {
public:
    const std::string& get_ip_name() const { return m_ip_name; }
    const std::string& get_release_notes_link() const { return m_release_notes; }

    //! End of life: an <eol version="V" family="F"/> entry applies to versions up to and
    //! including V ("all": every version) on family F (no family, or 78: any family).
    //! An invalid version is never end of life.
    bool is_eol(const IPVX_VERSION& version, DEV_FAMILY_ENUM family) const;
    //! Invalid: an <invalid version="V" family="F" project_family="P"/> entry names exactly
    //! this version ("all": every version), and its optional families are the IP's family and
    //! the project's family (an entry without a family, or with 78, applies to every family).
    bool is_invalid(const IPVX_VERSION& version, DEV_FAMILY_ENUM ip_family,
                    DEV_FAMILY_ENUM project_family) const;
    //! Texts of the <upgrade to="T" description="..."/> entries whose target is target_name
    //! (or that name no target) and whose optional family / project_family attributes match;
    //! only when the upgrade really moves the IP: a version below the target version, or a
    //! target name other than this IP's name.
    std::vector<std::string> get_upgrade_descriptions(const IPVX_VERSION& version,
                                                      const IPVX_VERSION& target_version,
                                                      const std::string& target_name,
                                                      DEV_FAMILY_ENUM ip_family,
                                                      DEV_FAMILY_ENUM project_family) const;
    //! Texts of the <release version="R"> entries with version < R <= target_version, in
    //! ascending version order.
    std::vector<std::string> get_release_descriptions(const IPVX_VERSION& version,
                                                      const IPVX_VERSION& target_version) const;
    //! Texts of the <change version="R"> entries with version < R <= target_version, in
    //! ascending version order, filtered like the upgrade descriptions by target name and
    //! families.
    std::vector<std::string> get_upgrade_changes(const IPVX_VERSION& version,
                                                 const IPVX_VERSION& target_version,
                                                 const std::string& target_name, DEV_FAMILY_ENUM ip_family,
                                                 DEV_FAMILY_ENUM project_family) const;

private:
    friend class IPCATALOG_FILE_READER;
    struct VERSIONED_TEXT {
        IPVX_VERSION version;
        std::string text;
        std::string target;  //!< "" = any target
        DEV_FAMILY_ENUM family = DEV_FAMILY_DEVICE_AGNOSTIC;
        DEV_FAMILY_ENUM project_family = DEV_FAMILY_DEVICE_AGNOSTIC;
        bool all_versions = false;
    };
    std::string m_ip_name, m_release_notes;
    std::vector<VERSIONED_TEXT> m_releases, m_changes, m_upgrades, m_eols, m_invalids;
};

//! Name query flags of get_ip_cards_by_name, combined with "|".
enum IPCATALOG_QUERY_FLAGS : unsigned {
    IPCATALOG_QUERY_EXACT = 0x000,        //!< cards whose name is exactly the name
    IPCATALOG_QUERY_ALIASES = 0x001,      //!< also cards that list the name as an alias
    IPCATALOG_QUERY_MATCHING = 0x002,     //!< also cards that list the name as a matching name
    IPCATALOG_QUERY_IGNORE_CASE = 0x100,  //!< compare names ignoring ASCII case
    //! What the upgrade analysis asks for (0x101): the core under any letter case or alias.
    IPCATALOG_QUERY_ANALYSIS = IPCATALOG_QUERY_ALIASES | IPCATALOG_QUERY_IGNORE_CASE,
};

//! How update() decides that a catalog file changed.
enum IPCATALOG_CHANGE_CHECK : int {
    IPCATALOG_CHECK_TIME = 1,           //!< modification time
    IPCATALOG_CHECK_TIME_AND_SIZE = 2,  //!< modification time or size
    IPCATALOG_CHECK_CONTENT = 3,        //!< also the content (catches same-size rewrites)
};

//! The process-wide IP catalog. Every query takes the catalog's lock itself; callers that
//! keep card pointers across queries hold an IPCATALOG_SCOPED_READ_WRITE_MUTEX meanwhile.
//! Broken catalog files (not XML, binary, unknown families) are skipped with a debug trace;
//! the rest of the catalog stays usable.
class IPCATALOG_VORLIN_IP_CATALOG_MANAGER {
public:
    //! The catalog, read from gen_get_ip_root_path() on first use. With reload set, the
    //! catalog is read again from scratch (the object stays the same).
    static IPCATALOG_VORLIN_IP_CATALOG_MANAGER* instance(bool reload);

    virtual ~IPCATALOG_VORLIN_IP_CATALOG_MANAGER();

    //! Refreshes the catalog from the installation: re-reads the files that changed
    //! (change_check, IPCATALOG_CHANGE_CHECK), or every file with force_reread; with
    //! rescan_directory also picks up added and drops removed files (always done when the IP
    //! root changed). Answers the number of files read or dropped. Must not be called while
    //! the calling thread holds the catalog lock (cards would go away under it).
    virtual int update(int change_check, bool force_reread, bool rescan_directory);

    //! Cards of an IP name in catalog order, each once (IPCATALOG_QUERY_FLAGS).
    std::vector<const IPCATALOG_CARD*> get_ip_cards_by_name(const std::string& name,
                                                            unsigned flags = IPCATALOG_QUERY_EXACT) const;
    //! Cards matching a filter: terms "key=value" separated by ";", all of which must hold
    //! ("type=legacy", "type=standalone; family=Crest V"). Keys: type (standalone, legacy, 0,
    //! 1), name, author, family (a family the card supports); values compare ignoring case.
    //! A filter with a term it does not understand matches nothing.
    std::vector<const IPCATALOG_CARD*> get_ip_cards_by_filter(const std::string& filter) const;
    //! Every card in catalog order (files by name, cards in file order).
    std::vector<const IPCATALOG_CARD*> get_all_ip_cards() const;
    //! The upgrade index: an IP name to the names of the cards that list it in
    //! <upgradeable_from>, each name once, in catalog order.
    const std::map<std::string, std::vector<std::string>>& get_upgrade_index() const;
    //! Outdated information of an IP name (exact name); null when the catalog has none.
    const IPCATALOG_OUTDATED_IP_INFO* get_outdated_ip_info(const std::string& name) const;
    //! The catalog directory last read, ending with a separator.
    std::string get_catalog_directory() const;
    //! Catalog files currently read (full paths, in catalog order).
    std::vector<std::string> get_catalog_files() const;

    // The lock, used through IPCATALOG_SCOPED_READ_WRITE_MUTEX. Re-entrant per thread; taking
    // the write lock inside one's own read hold is an internal error.
    void lock_read() const;
    void lock_write() const;
    void unlock_read() const;
    void unlock_write() const;

protected:
    IPCATALOG_VORLIN_IP_CATALOG_MANAGER();

private:
    struct STATE;
    std::unique_ptr<STATE> m_state;
};

//! Holds the catalog's lock for its lifetime (a read lock unless write is set). Nesting on
//! one thread is allowed. A null catalog holds nothing.
class IPCATALOG_SCOPED_READ_WRITE_MUTEX {
public:
    explicit IPCATALOG_SCOPED_READ_WRITE_MUTEX(const IPCATALOG_VORLIN_IP_CATALOG_MANAGER* catalog,
                                               bool write = false);
    ~IPCATALOG_SCOPED_READ_WRITE_MUTEX();
    IPCATALOG_SCOPED_READ_WRITE_MUTEX(const IPCATALOG_SCOPED_READ_WRITE_MUTEX&) = delete;
    IPCATALOG_SCOPED_READ_WRITE_MUTEX& operator=(const IPCATALOG_SCOPED_READ_WRITE_MUTEX&) = delete;

private:
    const IPCATALOG_VORLIN_IP_CATALOG_MANAGER* m_catalog;
    bool m_write;
};
