//! @file ipman_analysis_services.h
//! @brief What the upgrade analysis asks of its host about the project, the reference lists
//! and the catalog; the regeneration controller answers, so the analysis needs no regeneration.
#pragma once

#include <dev/dev_types.h>
#include <ipman/ipman_ip_info.h>

#include <map>
#include <string>

class IPCATALOG_CARD;

class IPMAN_ANALYSIS_SERVICES {
public:
    virtual ~IPMAN_ANALYSIS_SERVICES() = default;

    virtual DEV_FAMILY_ENUM get_project_family() const = 0;
    virtual DEV_PART_ENUM get_project_part() const = 0;
    //! The output-layout family test for the project family.
    virtual bool family_test_holds() const = 0;
    //! 0 when the project's part and family meet every requirement (name to value), 1 when
    //! one fails.
    virtual int check_device_requirements(const std::map<std::string, std::string>& requirements) const = 0;
    //! The record's core is listed as HDL compatible (usable on any family).
    virtual bool is_hdl_compatible_ip(const IPMAN_IP_INFO& info) const = 0;
    //! False for a core listed without command-line upgrade.
    virtual bool supports_cmd_upgrade(const std::string& name) const = 0;
    //! The record's core is one of the legacy wizard's cores.
    virtual bool is_legacy_core(const IPMAN_IP_INFO& info) const = 0;
    //! True when the legacy variation can be converted into a standalone system file with the
    //! catalog card; false without a catalog or card.
    virtual bool check_tessel_conversion(const IPMAN_IP_INFO& info, const IPCATALOG_CARD* card) const = 0;
    //! Whether the generation file of a record exists.
    virtual bool generation_file_exists(const std::string& path) = 0;
    //! Whether the user setting is on (default_value when it is not set).
    virtual bool setting_is_on(const std::string& name, bool default_value) = 0;
    //! Whether the module's debug trace is wanted.
    virtual bool trace_wanted() = 0;
};
