//! @file ipman_upgrade_analysis.h
//! @brief The upgrade analyser: compatibility status, upgrade flow, end of life, migration,
//! notes and pending attempt of one IP variation record, and the upgrade-flow step alone.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

#include <dev/dev.h>
#include <ipcatalog/ipcatalog.h>
#include <ipman/ipman_ip_info.h>

class IPMAN_ANALYSIS_SERVICES;

//! Messages of an attempt remembered without outcome: the variation was in the required or
//! in the optional list when its upgrade was started.
extern const char* const IPMAN_REQUIRED_UPGRADE_MARKER;  //!< "<psinvalid>"
extern const char* const IPMAN_OPTIONAL_UPGRADE_MARKER;  //!< "<pswarning>"

//! Device requirements of an IP: requirement name to value, examined in key order.
using IPMAN_DEVICE_REQUIREMENT_MAP = std::map<std::string, std::string>;

//! Decides, for one record, everything the user and the upgrade driver need before an
//! upgrade. Built on the stack by the controller's analysis entry, run once, dropped; it
//! writes only into the record and asks its services about everything else.
class IPMAN_IP_UPGRADE_INFO_FUMBLER {
public:
    //! outdated_info: the catalog's outdated information for the record's IP name;
    //! catalog_card: the current card that replaces the record's IP; device_requirements:
    //! the record's device requirements. The last three may be null.
    IPMAN_IP_UPGRADE_INFO_FUMBLER(IPMAN_IP_INFO* record, IPMAN_ANALYSIS_SERVICES* services,
                                  const IPCATALOG_OUTDATED_IP_INFO* outdated_info,
                                  const IPCATALOG_CARD* catalog_card,
                                  const IPMAN_DEVICE_REQUIREMENT_MAP* device_requirements);
    virtual ~IPMAN_IP_UPGRADE_INFO_FUMBLER();
    IPMAN_IP_UPGRADE_INFO_FUMBLER(const IPMAN_IP_UPGRADE_INFO_FUMBLER&) = delete;
    IPMAN_IP_UPGRADE_INFO_FUMBLER& operator=(const IPMAN_IP_UPGRADE_INFO_FUMBLER&) = delete;

    void set_encrypted(bool encrypted) { m_encrypted = encrypted; }
    //! The output-layout family test of the project (newer families, no project, no family).
    void set_family_trait_test(bool holds) { m_family_trait_test = holds; }
    void set_pro_edition(bool pro) { m_pro_edition = pro; }
    //! The remembered attempt for the record's source file: its status and its failure text
    //! or marker. Without one the record counts as not attempted.
    void set_previous_attempt(IPMAN_UPGRADE_STATUS_ENUM status, const std::string& message)
    {
        m_previous_status = status;
        m_previous_message = message;
    }

    //! When the record's version is none of the matching cards' versions, takes the catalog
    //! card's version and author as the record's own. Nothing without a catalog version.
    void adopt_catalog_version(const std::vector<const IPCATALOG_CARD*>& matching_cards);

    //! Runs the analysis once; everything lands in the record. roll_up, when given, folds
    //! the sub-IPs' results into the record once its own status is known; when it changes
    //! the record, the flow comes from the upgrade-flow step alone.
    void analyse(const std::function<bool(IPMAN_IP_INFO&)>& roll_up = {});

private:
    void set_new_identity();
    void determine_age_and_end_of_life();
    void compose_upgrade_note();
    void compose_changelog();
    bool has_family_mismatch() const;
    IPMAN_IP_REGEN_STATUS_ENUM determine_regen_status(bool family_mismatch) const;
    bool has_tool_environment_mismatch() const;
    void determine_flow();
    void determine_migration();
    void apply_previous_attempt();
    void add_catalog_sets();
    void check_generation_file();
    //! Version and name of the IP the record is upgraded to, for the note and change log.
    const IPVX_VERSION& target_version() const;
    std::string target_name() const;

    IPMAN_IP_INFO* m_record;                                    //!< not owned
    IPMAN_ANALYSIS_SERVICES* m_services;                        //!< not owned
    const IPCATALOG_OUTDATED_IP_INFO* m_outdated_info;          //!< may be null
    const IPCATALOG_CARD* m_catalog_card;                       //!< may be null
    const IPMAN_DEVICE_REQUIREMENT_MAP* m_device_requirements;  //!< may be null
    IPVX_VERSION m_version;
    DEV_FAMILY_ENUM m_ip_family;  //!< first supported family, else 78
    bool m_no_catalog_version;
    bool m_encrypted = false;
    bool m_family_trait_test = false;
    bool m_end_of_life = false;
    bool m_version_old = false;
    bool m_hdl_generation_file;
    bool m_pro_edition = false;
    DEV_FAMILY_ENUM m_project_family;
    DEV_PART_ENUM m_project_part;
    IPMAN_UPGRADE_STATUS_ENUM m_previous_status = IPMAN_UPGRADE_NOT_ATTEMPTED;
    std::string m_previous_message;
};

//! The upgrade-flow step alone, for a record whose status or end-of-life flag changed after
//! its analysis (a sub-IP rolled up into it). Writes only the record's upgrade_flow; every
//! case that allows no upgrade leaves NO_UPGRADE.
void determine_upgrade_flow(IPMAN_IP_INFO& record, IPMAN_ANALYSIS_SERVICES& services);

//! True when the generation file is a Verilog or VHDL file (by its file type).
bool ipman_is_hdl_generation_file(const std::string& ip_generation_file);
