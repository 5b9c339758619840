//! @file ipman_record_analyser.h
//! @brief What record building asks of the upgrade analysis for each record it builds; the
//! regeneration controller answers, so discovery needs neither analysis nor regeneration.
#pragma once

#include <ipman/ipman_ip_info.h>

#include <functional>
#include <map>
#include <string>

//! Folds what a variation's sub-IPs say into its main record; answers whether it changed the
//! record's status or end-of-life flag.
using IPMAN_RECORD_ROLL_UP = std::function<bool(IPMAN_IP_INFO&)>;

class IPMAN_RECORD_ANALYSER {
public:
    virtual ~IPMAN_RECORD_ANALYSER() = default;

    //! The full analysis of one record: status, flow and related fields. encrypted: the
    //! variation's source is protected; search_legacy_cards: a legacy variation's main record
    //! may take a legacy card named after its display name; adopt_catalog_version: an IP read
    //! from a system file takes the catalog version when its own is none of the catalog's.
    virtual void analyse_ip_info(bool encrypted, bool search_legacy_cards, bool adopt_catalog_version,
                                 const std::map<std::string, std::string>& device_requirements,
                                 IPMAN_IP_INFO& info) = 0;
    //! The analysis of a variation's main record: roll_up runs once the record's own status
    //! is known, before the flow, migration, pending attempt and notification that read it.
    virtual void analyse_main_ip_info(bool encrypted, bool search_legacy_cards, bool adopt_catalog_version,
                                      const std::map<std::string, std::string>& device_requirements,
                                      const IPMAN_RECORD_ROLL_UP& roll_up, IPMAN_IP_INFO& info) = 0;

    //! Between these calls the files and the device database stay as they are, so answers
    //! may be kept; calls nest.
    virtual void begin_conversion() = 0;
    virtual void end_conversion() = 0;
};

//! Holds a conversion open for its lifetime.
class IPMAN_SCOPED_CONVERSION {
public:
    explicit IPMAN_SCOPED_CONVERSION(IPMAN_RECORD_ANALYSER& analyser) : m_analyser(analyser)
    {
        m_analyser.begin_conversion();
    }
    ~IPMAN_SCOPED_CONVERSION() { m_analyser.end_conversion(); }
    IPMAN_SCOPED_CONVERSION(const IPMAN_SCOPED_CONVERSION&) = delete;
    IPMAN_SCOPED_CONVERSION& operator=(const IPMAN_SCOPED_CONVERSION&) = delete;

private:
    IPMAN_RECORD_ANALYSER& m_analyser;
};
