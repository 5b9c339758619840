//! @file ipman_tcl_ip_table.h
//! @brief The IP upgrade table: the project's top-level variations as a Tcl collection, and
//! the bodies of the five commands that load, drop and read it.
#pragma once

#include <atcl/atcl.h>

#include <ipman/ipman_ip_info.h>

#include <cstddef>
#include <vector>

//! Walks the IP upgrade table for a collection; each element text is the position of a
//! record, which is the IP info ID that get_ip_info_field takes.
class IPMAN_VARIANT_COLLECTION_ITER : public ATCL_TCL_COLLECTION_ITER {
public:
    using RECORD_ITER = std::vector<IPMAN_IP_INFO>::const_iterator;

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
