//! @file ipman_ip_regeneration_controller.h
//! @brief IPMAN_IP_REGENERATION_CONTROLLER: upgrades variations one by one or as a batch,
//! with backups restored on failure, runs the deployment tool, and remembers attempts.
#pragma once

#include <cstddef>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include <dev/dev.h>

#include <ipman/ipman_ip_info.h>

#include <ipman/ipman_ip_regen_result.h>

#include "analysis/ipman_analysis_services.h"
#include "discovery/ipman_record_analyser.h"
#include "regen/ipman_ip_regen_commands.h"

class IPCATALOG_CARD;
class IPCATALOG_OUTDATED_IP_INFO;
class IPCATALOG_SCOPED_READ_WRITE_MUTEX;
class IPCATALOG_VORLIN_IP_CATALOG_MANAGER;
class RDB_REPORT;

//! Owned by the IP information manager, which sets the catalog, the edition and the
//! project's family and part before it loads records. It serves record building as its
//! analyser and the upgrade analysis as its services.
class IPMAN_IP_REGENERATION_CONTROLLER : public IPMAN_RECORD_ANALYSER, public IPMAN_ANALYSIS_SERVICES {
public:
    IPMAN_IP_REGENERATION_CONTROLLER() = default;
    IPMAN_IP_REGENERATION_CONTROLLER(const IPMAN_IP_REGENERATION_CONTROLLER&) = delete;
    IPMAN_IP_REGENERATION_CONTROLLER& operator=(const IPMAN_IP_REGENERATION_CONTROLLER&) = delete;

    ~IPMAN_IP_REGENERATION_CONTROLLER() override;
    //! Fills the reference lists from the installation's tables (name mapping, cores without
    //! command-line upgrade, HDL-compatible cores) and the legacy wizard core names, only
    //! when the user setting "ipman_read_legacy_ip_info_files" is on. The lists only grow.
    virtual void read_reference_lists();

    //! Runs the deployment tool with arguments (which bring their own leading space); only
    //! result.status is written: 0 success, 1 failure to start or non-zero exit.
    virtual void do_ip_deploy(const std::string& arguments, IPMAN_IP_REGEN_RESULT& result);
    //! Upgrades one variation by its upgrade flow. Files are backed up first and restored
    //! when the attempt fails; a file whose backup cannot be made is left alone. A generator
    //! that reports an error, even with exit code 0, or leaves its expected output missing
    //! fails the attempt.
    virtual void do_ip_upgrade_for_ip_info(const IPMAN_IP_INFO& info, IPMAN_IP_REGEN_RESULT& result);
    //! Upgrades the selected records of flow TESSEL_UPGRADE_IP_CORES in one generator run,
    //! then generates them in one run per option group; appends one result per such record,
    //! in selection order. Other records are skipped without a result. A file fails when an
    //! error was reported inside its step, or when a run that never reached it failed.
    virtual void do_ip_upgrade_for_ip_info_batch_mode(const std::vector<IPMAN_IP_INFO>& records,
                                                      const std::vector<std::size_t>& selected,
                                                      std::vector<IPMAN_IP_REGEN_RESULT>& results);
    //! Makes the project's file assignments name the files that replaced upgraded variations
    //! (a result's output file), each in the place of the assignment it replaces, with the
    //! variable type of the new file; a renamed session assignment made by a Tcl script
    //! becomes permanent. Assignments match by resolved path. Commits once, then reads the
    //! IP lists again. False with the reason in error when the settings file cannot be
    //! written; the assignments are then as they were.
    bool update_project_settings_after_upgrade(const std::vector<IPMAN_IP_REGEN_RESULT>& results,
                                               std::string& error);
    //! Forgets the remembered attempts unless a project is open and its active revision is
    //! the one they were recorded for.
    virtual void reset_attempts_if_revision_changed();
    //! Runs the upgrade analysis of one record: finds its catalog information and upgrade
    //! target and sets its status, flow and related fields. encrypted: the variation's source
    //! is protected; search_legacy_cards: a legacy variation's main record may take a legacy
    //! card named after its display name; adopt_catalog_version: an IP read from a system
    //! file takes the catalog version when its own is none of the catalog's.
    void analyse_ip_info(bool encrypted, bool search_legacy_cards, bool adopt_catalog_version,
                         const std::map<std::string, std::string>& device_requirements,
                         IPMAN_IP_INFO& info) override;
    void analyse_main_ip_info(bool encrypted, bool search_legacy_cards, bool adopt_catalog_version,
                              const std::map<std::string, std::string>& device_requirements,
                              const IPMAN_RECORD_ROLL_UP& roll_up, IPMAN_IP_INFO& info) override;
    //! The upgrade-flow step alone, for a record whose status or end-of-life flag changed.
    void redetermine_upgrade_flow(IPMAN_IP_INFO& info);
    //! The analysis without device requirements, legacy cards or version adoption.
    virtual void analyse_ip_info_quietly(bool encrypted, IPMAN_IP_INFO& info);
    //! 0 when the project's part and family meet every requirement (name to value), 1 when one
    //! fails.
    int check_device_requirements(const std::map<std::string, std::string>& requirements) const override;

    virtual void add_successful_upgrade_attempt(const std::string& file);
    virtual void add_failed_upgrade_attempt(const std::string& file, const std::string& message);
    //! Remembers an attempt without outcome; message is a marker such as "<psinvalid>".
    virtual void add_attempted_upgrade(const std::string& file, const std::string& message);
    //! Reads the outcomes of the report's result tables into the remembered attempts. Null
    //! reads the IP Upgrade report of the open project's active revision, if it has one.
    virtual void load_ip_regen_results_from_report(RDB_REPORT* report);
    //! Takes the process-wide IP catalog when none was set.
    virtual void ensure_ip_catalog();
    //! The record's core is listed as HDL compatible (usable on any family).
    bool is_hdl_compatible_ip(const IPMAN_IP_INFO& info) const override;
    //! False for a core listed without command-line upgrade, under its name or the name the
    //! name mapping gives it.
    bool supports_cmd_upgrade(const std::string& name) const override;
    //! The record's core is one of the legacy wizard's cores.
    bool is_legacy_core(const IPMAN_IP_INFO& info) const override;
    //! True when the legacy variation can be converted into a standalone system file with the
    //! catalog card; false without a catalog or card.
    bool check_tessel_conversion(const IPMAN_IP_INFO& info, const IPCATALOG_CARD* card) const override;

    //! 0 for an existing, wizard-generated variation file that can be opened for appending;
    //! otherwise 1 with fail_type set to INVALID_FILE, NOT_VARIATION_FILE or READ_ONLY_FILE,
    //! in that order of checking. fail_type is left alone for a valid file.
    int check_variation_file(const std::string& file, IPMAN_FAIL_REGEN_TYPE& fail_type) const;

    //! The output-layout family test for the project family set here.
    bool family_test_holds() const override;
    //! Whether the generation file of a record exists.
    bool generation_file_exists(const std::string& path) override;
    //! While the open conversion lives, a file was_read answers true for is taken as
    //! existing without asking the file system: the collection has just read it. Without an
    //! open conversion, nothing is kept.
    void take_read_files_as_existing(std::function<bool(const std::string&)> was_read);
    bool trace_wanted() override;
    //! A user setting; read once per conversion.
    bool setting_is_on(const std::string& name, bool default_value) override;

    //! While a conversion is open, the controller takes the files and the device database as
    //! they are: converting collected variations into records changes neither, and a
    //! project's records share their generation files and its family test, so each is
    //! looked up once.
    void begin_conversion() override;
    void end_conversion() override;

    //! The catalog's outdated information for an IP name, or for the name the name mapping
    //! gives it; null without a catalog and for system-tool names.
    const IPCATALOG_OUTDATED_IP_INFO* find_catalog_card(const std::string& name) const;
    //! The card the record is upgraded to, or null; candidates receives the catalog's cards of
    //! the record's own name. See analyse_ip_info for search_legacy_cards.
    const IPCATALOG_CARD* find_upgrade_target(const IPMAN_IP_INFO& info, bool search_legacy_cards,
                                              std::vector<const IPCATALOG_CARD*>& candidates) const;
    //! A card supports a family when the family is 78 or the card names no family, 78 or it.
    static bool card_supports_family(const IPCATALOG_CARD& card, DEV_FAMILY_ENUM family);

    void set_ip_catalog(IPCATALOG_VORLIN_IP_CATALOG_MANAGER* catalog) { m_ip_catalog = catalog; }
    IPCATALOG_VORLIN_IP_CATALOG_MANAGER* get_ip_catalog() const { return m_ip_catalog; }
    void set_is_pro_version(bool pro) { m_is_pro_version = pro; }
    bool is_pro_version() const { return m_is_pro_version; }
    void set_project_family(DEV_FAMILY_ENUM family) { m_project_family = family; }
    DEV_FAMILY_ENUM get_project_family() const override { return m_project_family; }
    void set_project_part(DEV_PART_ENUM part) { m_project_part = part; }
    DEV_PART_ENUM get_project_part() const override { return m_project_part; }

    //! Remembered attempts keyed by variation source file, and the revision they belong to.
    const std::map<std::string, IPMAN_UPGRADE_ATTEMPT>& get_upgrade_attempts() const
    {
        return m_upgrade_attempts;
    }
    const std::string& get_attempts_revision() const { return m_attempts_revision; }

private:
    //! What a conversion looked up once.
    struct CONVERSION_MEMO {
        ~CONVERSION_MEMO();  // where the catalog hold is a complete type
        //! The last generation file asked for: a variation's records, analysed one after the
        //! other, share it.
        std::optional<std::pair<std::string, bool>> last_file_exists;
        std::function<bool(const std::string&)> file_was_read;
        std::optional<std::pair<DEV_FAMILY_ENUM, bool>> family_test;
        std::optional<bool> trace_wanted;
        //! By name: the answer with the default on, and with it off.
        std::unordered_map<std::string, std::pair<std::optional<bool>, std::optional<bool>>> settings_on;
        //! The catalog look-ups below were made in; held while they are remembered, so that
        //! the cards stay where they were found.
        const IPCATALOG_VORLIN_IP_CATALOG_MANAGER* catalog = nullptr;
        std::unique_ptr<IPCATALOG_SCOPED_READ_WRITE_MUTEX> catalog_hold;
        std::unordered_map<std::string, const IPCATALOG_OUTDATED_IP_INFO*> outdated_info;
        struct TARGET {
            const IPCATALOG_CARD* card;
            std::vector<const IPCATALOG_CARD*> candidates;
        };
        //! By the inputs of find_upgrade_target: many records share them.
        std::unordered_map<std::string, TARGET> targets;
    };

    //! find_catalog_card and find_upgrade_target, answered once per input while a conversion
    //! lives.
    const IPCATALOG_OUTDATED_IP_INFO* remembered_catalog_card(const std::string& name);
    const IPCATALOG_CARD* remembered_upgrade_target(const IPMAN_IP_INFO& info, bool search_legacy_cards,
                                                    std::vector<const IPCATALOG_CARD*>& candidates);
    //! The memo's catalog look-ups, emptied when the catalog is another than they were made in.
    CONVERSION_MEMO& catalog_memo();

    void remember_attempt(const std::string& file, IPMAN_UPGRADE_STATUS_ENUM status,
                          const std::string& message);

    std::set<std::string> m_no_cmd_support_ips;
    std::set<std::string> m_hdl_compatible_ips;
    std::set<std::string> m_legacy_core_names;
    std::map<std::string, std::string> m_ip_name_mapping;
    std::string m_attempts_revision;
    std::map<std::string, IPMAN_UPGRADE_ATTEMPT> m_upgrade_attempts;
    IPCATALOG_VORLIN_IP_CATALOG_MANAGER* m_ip_catalog = nullptr;
    DEV_FAMILY_ENUM m_project_family = DEV_FAMILY_DEVICE_AGNOSTIC;
    DEV_PART_ENUM m_project_part = DEV_PART_GENERIC;
    bool m_is_pro_version = true;
    //! System files whose cores an attempt upgraded, with their content right after: a later
    //! record of the same system finds nothing left to upgrade.
    std::map<std::string, std::string> m_upgraded_systems;
    int m_conversions = 0;                    //!< conversions begun and not yet ended
    std::unique_ptr<CONVERSION_MEMO> m_memo;  //!< while a conversion lives
};
