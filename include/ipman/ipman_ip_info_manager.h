//! @file ipman_ip_info_manager.h
//! @brief IPMAN_IP_INFO_MANAGER: the process-wide entry to the open project's IP variations;
//! loads and queries them and forwards upgrades and attempt bookkeeping to the controller.
#pragma once

#include <ipman/ipman_ip_file_info.h>
#include <ipman/ipman_ip_info.h>

#include <cstddef>
#include <functional>
#include <list>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

class ACF_MANAGER;
class FIO_PATH;
class HDB_INSTANCE_NAME;
class HDB_NAMESPACE;
class IPCATALOG_VORLIN_IP_CATALOG_MANAGER;
class IPMAN_ACF_IP_COLLECTOR;
enum class IPMAN_UPGRADE_LIST;
class IPMAN_HDB_IP_FINDER;
class IPMAN_IP_REGENERATION_CONTROLLER;
class IPMAN_IP_REGEN_RESULT;
class RDB_REPORT;

//! Owns the project IP collector, the regeneration controller and the design-hierarchy IP
//! finder, sets them up from the
//! open project before each load and keeps the required and optional lists of the last
//! full load. One instance per process (get_ip_info_manager); not for use from two threads.
class IPMAN_IP_INFO_MANAGER {
public:
    //! The one instance, created on the first call (safe against concurrent first calls)
    //! and destroyed at process exit.
    static IPMAN_IP_INFO_MANAGER* get_ip_info_manager();

    virtual ~IPMAN_IP_INFO_MANAGER();
    // A second manager would share nothing with the first; nothing needs to copy it.
    IPMAN_IP_INFO_MANAGER(const IPMAN_IP_INFO_MANAGER&) = delete;
    IPMAN_IP_INFO_MANAGER& operator=(const IPMAN_IP_INFO_MANAGER&) = delete;

    //! Full load keeping only the list of all variations; the manager's required and
    //! optional lists are still replaced.
    virtual void load_ip_info(std::vector<IPMAN_IP_INFO>& all);
    //! Full load: collects the project's variations, analyses them and appends them to all,
    //! those needing an upgrade to required, those whose upgrade is optional to optional.
    virtual void load_ip_info(std::vector<IPMAN_IP_INFO>& all, std::vector<IPMAN_IP_INFO>& required,
                              std::vector<IPMAN_IP_INFO>& optional);
    //! load_ip_info(all) handing the variations' own records (parent entity "N/A"), not those
    //! of their sub-IPs, to take one by one in record order instead of collecting them.
    //! expect first learns the number of variations collected, mostly that of the records.
    virtual void load_top_level_ip_info(const std::function<void(std::size_t)>& expect,
                                        const std::function<void(IPMAN_IP_INFO&&)>& take);
    //! Appends the records of the variations generated from the given files to records;
    //! files no collected variation is generated from go to not_loaded. The manager's lists
    //! are left alone.
    virtual void load_ip_info_for_ip_generation_files(const std::vector<std::string>& generation_files,
                                                      std::vector<IPMAN_IP_INFO>& records,
                                                      std::vector<std::string>& not_loaded);
    //! The IP variations instantiated in the elaborated design under root, one record per
    //! recognised instance with its hierarchy path; protected IP without a variation file
    //! included. The project's variations are collected afresh; the lists stay as they are.
    virtual std::vector<IPMAN_IP_INFO> collect_all_ip_cores(HDB_NAMESPACE* name_space,
                                                            HDB_INSTANCE_NAME* root);
    //! Whether one design instance is an IP variation; its record in out. Uses the
    //! variations of the last collection.
    virtual bool get_ip_info(HDB_NAMESPACE* name_space, HDB_INSTANCE_NAME* instance, IPMAN_IP_INFO* out);
    //! Library of a design instance.
    virtual std::string get_library(HDB_INSTANCE_NAME* instance) const;

    //! A copy of the required list of the last full load.
    virtual std::vector<IPMAN_IP_INFO> get_required_regen_ip_info() const;

    // Forwarded to the regeneration controller unchanged.
    virtual void do_ip_deploy(std::string& arguments, IPMAN_IP_REGEN_RESULT& result);
    virtual void do_ip_upgrade_for_ip_info(const IPMAN_IP_INFO& info, IPMAN_IP_REGEN_RESULT& result);
    virtual void do_ip_upgrade_for_ip_info_batch_mode(const std::vector<IPMAN_IP_INFO>& infos,
                                                      const std::vector<std::size_t>& selected,
                                                      std::vector<IPMAN_IP_REGEN_RESULT>& results);
    //! False with the reason when the project's settings file cannot be written.
    virtual bool update_project_settings_after_upgrade(const std::vector<IPMAN_IP_REGEN_RESULT>& results,
                                                       std::string& error);

    //! Appends to out the full paths of the legacy wizard's HDL variation files at or below
    //! directory, depth first in listing order. The installation's folders are not entered,
    //! nor is any folder twice (links cannot make it loop); unreadable folders are passed
    //! over. The current directory is left alone.
    virtual void get_variation_file_by_dir(const std::string& directory, std::list<std::string>* out) const;
    //! True when the legacy wizard generated the file at the full form of path.
    virtual bool is_kelvane_file(const FIO_PATH& path) const;
    //! "2019.04" gives "Apr 2019"; "N/A" without a dot, for an empty text or a month
    //! outside 1 to 12.
    virtual std::string format_release_date(const std::string& release_date) const;

    virtual void add_successful_upgrade_attempt(const std::string& file);
    virtual void add_failed_upgrade_attempt(const std::string& file, const std::string& message);
    //! Records a pending attempt for the variations generated from file, under their source
    //! files: "<psinvalid>" for those in the required list, then "<pswarning>" for those in
    //! the optional list.
    virtual void add_upgrade_attempt(const std::string& file);
    //! Forwarded to the controller: reloads remembered outcomes from the report, or from the
    //! active revision's IP Upgrade report when report is null.
    virtual void load_ip_regen_results_from_report(RDB_REPORT* report);

    //! Hands the catalog to the collector and the controller (not owned).
    virtual void set_ip_catalog(IPCATALOG_VORLIN_IP_CATALOG_MANAGER* catalog);

    // Project queries: empty when no project is open.
    virtual std::string get_revision_name() const;
    virtual std::string get_top_level_entity_name() const;
    //! User-facing name of the project's device family; empty also when it is unset.
    virtual std::string get_project_family_name() const;

    //! The project's always-regenerate setting as read by the last full load.
    virtual bool load_with_always_regen() const;
    //! Edition flag of the collector and the controller.
    virtual void set_is_pro_version(bool pro);

    //! True when the open project assigns an IP list, system or gwip file. acf must not be
    //! null.
    static bool project_contains_ip_files(ACF_MANAGER* acf);
    //! True when the open project has variations that must be upgraded before compiling;
    //! records receives the required list of the full load it runs. refresh_catalog first
    //! brings the IP catalog up to date.
    static bool project_has_required_regen_ip(std::vector<IPMAN_IP_INFO>& records, bool refresh_catalog);
    //! Brings the IP catalog up to date with the installation when a project is open.
    static void ipman_update_ip_catalog();
    //! 0 for a wizard variation file that exists and can be written; 1 otherwise, with the
    //! reason in fail_type.
    static int check_is_valid_variation_file(const std::string& file, IPMAN_FAIL_REGEN_TYPE& fail_type);

    //! name and version from the last retrieval-information instance line of a legacy
    //! variation file; both left as they were when the file is unnamed, cannot be read or has
    //! no such line.
    static void extract_ip_name_and_version_from_file(const std::string& file, std::string& name,
                                                      std::string& version);

    //! Identity of the component in an IP-XACT file; all fields empty when it does not read.
    IPMAN_IP_FILE_INFO get_ip_file_info(const std::string& path) const;

private:
    IPMAN_IP_INFO_MANAGER();

    //! The project's ALWAYS_REGENERATE_IP setting; false when no project is open.
    static bool get_always_regen_setting(ACF_MANAGER* acf);

    //! The value of tag in a retrieval-information line; empty when the tag is absent.
    static std::string get_variation_file_retrieval_info_tag_value(const std::string& line,
                                                                   const std::string& tag);

    //! Hands the project's always-regenerate setting, family and part to the collector and
    //! the controller and collects the project's variations afresh.
    void prepare_load();
    //! Starts a full load: drops the kept lists, collects the project's variations afresh and
    //! brings the remembered upgrade outcomes up to date.
    void begin_full_load();
    //! Ends a full load: hands every record to take, in record order, with the list it
    //! belongs to, and keeps the lists.
    void convert_and_keep_lists(const std::function<void(IPMAN_IP_INFO&&, IPMAN_UPGRADE_LIST)>& take);

    std::unique_ptr<IPMAN_ACF_IP_COLLECTOR> m_collector;
    std::unique_ptr<IPMAN_IP_REGENERATION_CONTROLLER> m_controller;
    std::unique_ptr<IPMAN_HDB_IP_FINDER> m_finder;
    std::vector<IPMAN_IP_INFO> m_required;
    //! A generation file and its source files, in text order without repeats; the texts are
    //! those the records share.
    struct GENERATION_SOURCES {
        IPMAN_SHARED_TEXT file;
        std::vector<IPMAN_SHARED_TEXT> sources;
    };
    //! Keyed by a view of the entry's own file text, which lives as long as the entry.
    using SOURCES_BY_FILE = std::unordered_map<std::string_view, GENERATION_SOURCES>;
    //! The source files of the required and optional lists.
    SOURCES_BY_FILE m_required_sources;
    SOURCES_BY_FILE m_optional_sources;
    bool m_always_regen = false;
};
