//! @file ipman_tcl_ip_table.cpp
//! @brief The IP upgrade table: loading the project's top-level variations into it, its
//! collection, and reading its entries field by field from Tcl.
#include "tcl/ipman_tcl_ip_table.h"

#include "manager/ipman_design_instances.h"
#include "support/ipman_debug.h"
#include "tcl/ipman_tcl_args_auto.h"

#include <ipman/ipman_constants.h>
#include <ipman/ipman_ip_info_manager.h>

#include <dev/dev.h>
#include <gen/gen.h>
#include <msg/msg.h>

#include <fmt/format.h>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>

namespace {

//! The table and the iterator of its current collection, alive from one load to the next
//! load or unload. The collection owns the iterator; it is dropped only through its handle.
struct IPMAN_IP_UPGRADE_TABLE {
    IPMAN_IP_TABLE_ENTRIES records;
    //! Lower-case entity -> position of the first record of that entity; scripts look up
    //! every entry by entity, which a scan per look-up would make quadratic.
    std::unordered_map<std::string, std::size_t> positions_by_entity;
    IPMAN_VARIANT_COLLECTION_ITER* current_iter = nullptr;

    //! Drops the records and their index with their storage: assigning {} or clearing would
    //! keep the storage, and a load would then hold the old table beside the new one.
    void release()
    {
        records = IPMAN_IP_TABLE_ENTRIES();
        positions_by_entity = std::unordered_map<std::string, std::size_t>();
    }

    void index_entities()
    {
        positions_by_entity.clear();
        positions_by_entity.reserve(records.size());
        for (std::size_t position = 0; position < records.size(); ++position)
            positions_by_entity.try_emplace(gen_ascii_tolower(records[position].entity()), position);
    }
};

IPMAN_IP_UPGRADE_TABLE& upgrade_table()
{
    static IPMAN_IP_UPGRADE_TABLE table;
    return table;
}

void drop_current_collection(IPMAN_IP_UPGRADE_TABLE& table)
{
    if (table.current_iter != nullptr)
        atcl_delete_collection_iter(table.current_iter->get_collection_handle());
    table.current_iter = nullptr;
}

Tcl_Obj* new_string_obj(const std::string& text)
{
    return Tcl_NewStringObj(text.data(), static_cast<int>(text.size()));
}

Tcl_Obj* supported_families_obj(const IPMAN_IP_TABLE_ENTRY& info)
{
    Tcl_Obj* list = Tcl_NewListObj(0, nullptr);
    for (DEV_FAMILY_ENUM family : info.const_supported_families()) {
        if (family == DEV_FAMILY_DEVICE_AGNOSTIC) {
            Tcl_ListObjAppendElement(nullptr, list, new_string_obj("Device Agnostic"));
        } else if (dstr_is_valid_dev_family_enum(family)) {
            Tcl_ListObjAppendElement(nullptr, list, new_string_obj(dstr_get_user_string(family)));
        }
    }
    return list;
}

using IPMAN_FIELD_READER = Tcl_Obj* (*)(const IPMAN_IP_TABLE_ENTRY&);

//! The fields of get_ip_info_field by lower-case name.
const std::map<std::string, IPMAN_FIELD_READER>& field_readers()
{
    static const std::map<std::string, IPMAN_FIELD_READER> readers = {
        {"entity", [](const IPMAN_IP_TABLE_ENTRY& info) { return new_string_obj(info.entity()); }},
        {"library", [](const IPMAN_IP_TABLE_ENTRY& info) { return new_string_obj(info.library()); }},
        {"tool_name", [](const IPMAN_IP_TABLE_ENTRY& info) { return new_string_obj(info.tool_name()); }},
        {"version", [](const IPMAN_IP_TABLE_ENTRY& info) { return new_string_obj(info.tool_version()); }},
        {"tool_env", [](const IPMAN_IP_TABLE_ENTRY& info) { return new_string_obj(info.generated_by()); }},
        {"supported_families", supported_families_obj},
        {"compatibility",
         [](const IPMAN_IP_TABLE_ENTRY& info) {
             return new_string_obj(regen_status_to_compatibility_text(info.regen_status()));
         }},
        {"eol",
         [](const IPMAN_IP_TABLE_ENTRY& info) { return new_string_obj(info.is_eol() ? "true" : "false"); }},
        {"ip_generation_file",
         [](const IPMAN_IP_TABLE_ENTRY& info) { return new_string_obj(info.ip_generation_file()); }},
        {"ip_source_file",
         [](const IPMAN_IP_TABLE_ENTRY& info) { return new_string_obj(info.source_file()); }},
        {"upgrade_status",
         [](const IPMAN_IP_TABLE_ENTRY& info) {
             return new_string_obj(upgrade_status_to_string(info.upgrade_status()));
         }},
        {"upgrade_note",
         [](const IPMAN_IP_TABLE_ENTRY& info) { return new_string_obj(info.upgrade_note()); }},
        {"instance_paths",
         [](const IPMAN_IP_TABLE_ENTRY& info) {
             Tcl_Obj* list = Tcl_NewListObj(0, nullptr);
             for (const std::string& path : info.instance_paths)
                 Tcl_ListObjAppendElement(nullptr, list, new_string_obj(path));
             return list;
         }},
        {"regen_language",
         [](const IPMAN_IP_TABLE_ENTRY& info) {
             return new_string_obj(rtl_language_to_string(info.regen_language()));
         }},
    };
    return readers;
}

//! The table position an ID text names: a decimal integer, blanks around it allowed.
//! Anything else, or a number outside the table, names no entry: a mistyped ID must not
//! quietly read entry 0.
std::optional<std::size_t> table_position(const std::string& id_text, std::size_t table_size)
{
    std::size_t first = 0;
    std::size_t last = id_text.size();
    while (first < last && std::isspace(static_cast<unsigned char>(id_text[first])))
        ++first;
    while (last > first && std::isspace(static_cast<unsigned char>(id_text[last - 1])))
        --last;
    if (first < last && id_text[first] == '+') ++first;
    long long number = -1;
    const char* begin = id_text.data() + first;
    const char* end = id_text.data() + last;
    const auto [stop, error] = std::from_chars(begin, end, number);
    if (begin == end || error != std::errc() || stop != end) return std::nullopt;
    if (number < 0 || static_cast<unsigned long long>(number) >= table_size) return std::nullopt;
    return static_cast<std::size_t>(number);
}

}  // namespace

IPMAN_IP_TABLE_ENTRY::IPMAN_IP_TABLE_ENTRY(const IPMAN_IP_INFO& info)
    : instance_paths(info.instance_paths), m_entity(info.entity()), m_library(info.library()),
      m_tool_name(info.tool_name()), m_tool_version(info.tool_version()), m_generated_by(info.generated_by()),
      m_supported_families(info.const_supported_families()),
      m_ip_generation_file(info.shared_ip_generation_file()), m_source_file(info.shared_source_file()),
      m_upgrade_note(info.shared_upgrade_note()), m_regen_status(info.regen_status()),
      m_upgrade_status(info.upgrade_status()), m_regen_language(info.regen_language()),
      m_is_eol(info.is_eol())
{
}

IPMAN_VARIANT_COLLECTION_ITER::IPMAN_VARIANT_COLLECTION_ITER(RECORD_ITER begin, RECORD_ITER end)
    : m_begin(begin), m_current(begin), m_end(end), m_count(static_cast<std::size_t>(end - begin))
{
}

IPMAN_VARIANT_COLLECTION_ITER::~IPMAN_VARIANT_COLLECTION_ITER() = default;

void IPMAN_VARIANT_COLLECTION_ITER::reset()
{
    m_current = m_begin;
    m_index = 0;
}

void IPMAN_VARIANT_COLLECTION_ITER::advance()
{
    if (is_done()) MSG_INTERNAL_ERROR::report("!is_done()", IPMAN_MODULE_TAG, __FILE__, __LINE__);
    ++m_current;
    ++m_index;
}

int ipman_load_ip_upgrade_table_body(Tcl_Interp* interp, const ATCL_ARGS&)
{
    // The old table goes before the new one is built, so that the two are never held
    // together; its collection points into its records and goes with them.
    IPMAN_IP_UPGRADE_TABLE& table = upgrade_table();
    drop_current_collection(table);
    table.release();

    IPMAN_IP_INFO_MANAGER::ipman_update_ip_catalog();
    // Sub-IPs are reached through the variation that contains them. Each record becomes an
    // entry as it comes: the records of all variations are never held together.
    IPMAN_IP_TABLE_ENTRIES entries;
    IPMAN_IP_INFO_MANAGER::get_ip_info_manager()->load_top_level_ip_info(
        [&entries](std::size_t variations) { entries.reserve(variations); },
        [&entries](IPMAN_IP_INFO&& info) { entries.emplace_back(info); });
    ipman_add_design_instances(entries);
    table.records = std::move(entries);
    table.index_entities();
    auto iter = std::make_unique<IPMAN_VARIANT_COLLECTION_ITER>(table.records.cbegin(), table.records.cend());
    atcl_create_collection(iter.get(), false);  // the collection owns it and knows its handle
    table.current_iter = iter.release();

    Tcl_SetObjResult(interp, Tcl_NewWideIntObj(static_cast<Tcl_WideInt>(table.records.size())));
    return TCL_OK;
}

int ipman_unload_ip_upgrade_table_body(Tcl_Interp* interp, const ATCL_ARGS&)
{
    IPMAN_IP_UPGRADE_TABLE& table = upgrade_table();
    drop_current_collection(table);
    table.release();
    Tcl_SetObjResult(interp, Tcl_NewIntObj(1));
    return TCL_OK;
}

int ipman_get_ip_list_body(Tcl_Interp* interp, const ATCL_ARGS&)
{
    const IPMAN_IP_UPGRADE_TABLE& table = upgrade_table();
    // A Tcl error, so that a script never takes the message for a collection handle.
    if (table.current_iter == nullptr || table.current_iter->get_collection_handle() == nullptr) {
        atcl_error_msg_impl(interp, "ERROR: IP upgrade table has not been loaded.");
        return TCL_ERROR;
    }
    Tcl_SetObjResult(interp, Tcl_NewStringObj(table.current_iter->get_collection_handle(), -1));
    return TCL_OK;
}

int ipman_find_ip_info_body(Tcl_Interp* interp, const ATCL_ARGS& args)
{
    const std::string entity = args.get_one_arg_option(IPMAN_AUTO_ARG_ENTITY);
    const IPMAN_IP_UPGRADE_TABLE& table = upgrade_table();
    const auto found = table.positions_by_entity.find(gen_ascii_tolower(entity));
    if (found != table.positions_by_entity.end())
        Tcl_SetObjResult(interp, new_string_obj(std::to_string(found->second)));
    return TCL_OK;
}

int ipman_get_ip_info_field_body(Tcl_Interp* interp, const ATCL_ARGS& args)
{
    const std::string id_text = args.get_one_arg_option(IPMAN_AUTO_ARG_ID);
    const std::string field = args.get_one_arg_option(IPMAN_AUTO_ARG_FIELD);
    const IPMAN_IP_TABLE_ENTRIES& records = upgrade_table().records;

    const std::optional<std::size_t> position = table_position(id_text, records.size());
    if (!position) {
        atcl_error_msg_impl(interp, fmt::format("ERROR: Illegal IP info ID: \"{}\".", id_text));
        return TCL_ERROR;
    }
    const auto reader = field_readers().find(gen_ascii_tolower(field));
    if (reader == field_readers().end()) {
        atcl_error_msg_impl(interp, fmt::format("ERROR: Illegal IP info field: \"{}\".", field));
        return TCL_ERROR;
    }
    Tcl_SetObjResult(interp, reader->second(records[*position]));
    return TCL_OK;
}
