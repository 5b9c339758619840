//! @file ipman_tcl_ip_table.h
//! @brief The IP upgrade table: the project's top-level variations as a Tcl collection, and
//! the bodies of the five commands that load, drop and read it.
#pragma once

#include <atcl/atcl.h>

#include <ipman/ipman_ip_info.h>

#include <cstddef>
#include <set>
#include <string>
#include <vector>

//! What the IP upgrade table answers of one variation, taken from its record under the
//! record's accessor names. A large project's table holds tens of thousands of these; the
//! full records would hold much that the table never reads.
class IPMAN_IP_TABLE_ENTRY {
public:
    explicit IPMAN_IP_TABLE_ENTRY(const IPMAN_IP_INFO& info);

    const std::string& entity() const { return m_entity; }
    const std::string& library() const { return m_library; }
    const std::string& tool_name() const { return m_tool_name; }
    const std::string& tool_version() const { return m_tool_version; }
    const std::string& generated_by() const { return m_generated_by; }
    const std::vector<DEV_FAMILY_ENUM>& const_supported_families() const { return m_supported_families; }
    IPMAN_IP_REGEN_STATUS_ENUM regen_status() const { return m_regen_status; }
    bool is_eol() const { return m_is_eol; }
    const std::string& ip_generation_file() const { return ipman_text_of(m_ip_generation_file); }
    const std::string& source_file() const { return ipman_text_of(m_source_file); }
    IPMAN_UPGRADE_STATUS_ENUM upgrade_status() const { return m_upgrade_status; }
    const std::string& upgrade_note() const { return ipman_text_of(m_upgrade_note); }
    IPMAN_RTL_LANGUAGE_ENUM regen_language() const { return m_regen_language; }

    std::set<std::string> instance_paths;  //!< the design merges its instances in

private:
    std::string m_entity;
    std::string m_library;
    std::string m_tool_name;
    std::string m_tool_version;
    std::string m_generated_by;
    std::vector<DEV_FAMILY_ENUM> m_supported_families;
    IPMAN_SHARED_TEXT m_ip_generation_file;
    IPMAN_SHARED_TEXT m_source_file;
    IPMAN_SHARED_TEXT m_upgrade_note;
    IPMAN_IP_REGEN_STATUS_ENUM m_regen_status;
    IPMAN_UPGRADE_STATUS_ENUM m_upgrade_status;
    IPMAN_RTL_LANGUAGE_ENUM m_regen_language;
    bool m_is_eol;
};

using IPMAN_IP_TABLE_ENTRIES = std::vector<IPMAN_IP_TABLE_ENTRY>;

//! Walks the IP upgrade table for a collection; each element text is the position of a
//! record, which is the IP info ID that get_ip_info_field takes.
class IPMAN_VARIANT_COLLECTION_ITER : public ATCL_TCL_COLLECTION_ITER {
public:
    using RECORD_ITER = IPMAN_IP_TABLE_ENTRIES::const_iterator;

    IPMAN_VARIANT_COLLECTION_ITER(RECORD_ITER begin, RECORD_ITER end);
    ~IPMAN_VARIANT_COLLECTION_ITER() override;

    std::size_t current_position() const override { return m_index; }
    void reset() override;
    //! Advancing past the end is a broken invariant.
    void advance() override;
    bool is_done() const override { return m_current == m_end; }
    //! The table outlives every collection made over it: a reload deletes the old one.
    bool is_valid() const override { return true; }
    std::size_t size() const override { return m_count; }

private:
    RECORD_ITER m_begin;
    RECORD_ITER m_current;
    RECORD_ITER m_end;
    std::size_t m_index = 0;
    std::size_t m_count;
};

// Bodies of the table commands, run after the common prologue; each answers its Tcl code.
int ipman_load_ip_upgrade_table_body(Tcl_Interp* interp, const ATCL_ARGS& args);
int ipman_unload_ip_upgrade_table_body(Tcl_Interp* interp, const ATCL_ARGS& args);
int ipman_get_ip_list_body(Tcl_Interp* interp, const ATCL_ARGS& args);
int ipman_find_ip_info_body(Tcl_Interp* interp, const ATCL_ARGS& args);
int ipman_get_ip_info_field_body(Tcl_Interp* interp, const ATCL_ARGS& args);
