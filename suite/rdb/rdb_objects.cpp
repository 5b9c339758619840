//! @file rdb_objects.cpp
//! @brief The report store's objects in memory and the look-ups by name.
#include <rdb/rdb.h>

#include <msg/msg.h>

#include <algorithm>

const char* const RDB_LEGAL_STR =
    "Copyright (C) Vorlin. All rights reserved. Your use of Vorlin design tools, logic functions and other "
    "software and tools, and any output files from any of the foregoing, is subject to the terms and "
    "conditions of the Vorlin program license agreement.";
const char* const RDB_REVISION_NAME = "Revision Name";
const char* const RDB_TOP_LEVEL_ENTITY_NAME = "Top-level Entity Name";
const char* const RDB_FAMILY = "Family";

RDB_OBJECT* RDB_FOLDER_OBJECT::add_object(std::unique_ptr<RDB_OBJECT> object)
{
    m_objects.push_back(std::move(object));
    return m_objects.back().get();
}

bool RDB_FOLDER_OBJECT::remove_object(const std::string& name)
{
    auto it = std::find_if(m_objects.begin(), m_objects.end(),
                           [&](const auto& o) { return o->get_name() == name; });
    if (it == m_objects.end()) return false;
    m_objects.erase(it);
    return true;
}

RDB_OBJECT* RDB_FOLDER_OBJECT::find_object(const std::string& name) const
{
    for (const auto& object : m_objects)
        if (object->get_name() == name) return object.get();
    return nullptr;
}

const std::string* RDB_TABLE_OBJECT::get_cell(std::size_t row, std::size_t column) const
{
    if (row >= m_rows.size() || column >= m_rows[row].size()) return nullptr;
    return &m_rows[row][column];
}

void RDB_SUMMARY_TABLE_OBJECT::set_data(const std::string& label, const std::string& value)
{
    for (auto& row : m_rows) {
        if (row.first == label) {
            row.second = value;
            return;
        }
    }
    m_rows.emplace_back(label, value);
}

const std::string* RDB_SUMMARY_TABLE_OBJECT::get_data(const std::string& label) const
{
    for (const auto& row : m_rows)
        if (row.first == label) return &row.second;
    return nullptr;
}

RDB_FOLDER_OBJECT* RDB_REPORT::add_main_folder(std::unique_ptr<RDB_FOLDER_OBJECT> folder)
{
    m_main_folders.push_back(std::move(folder));
    return m_main_folders.back().get();
}

bool rdb_object_exists_in_folder(const RDB_FOLDER_OBJECT* folder, const std::string& name)
{
    return folder && folder->find_object(name);
}

RDB_OBJECT* find_object_recursively(RDB_FOLDER_OBJECT* folder, const std::string& name)
{
    if (!folder) return nullptr;
    if (folder->get_name() == name) return folder;
    for (std::size_t i = 0; i < folder->get_number_of_objects(); ++i) {
        RDB_OBJECT* object = folder->get_object(i);
        if (object->get_name() == name) return object;
        if (object->get_kind() == RDB_OBJECT_KIND::FOLDER)
            if (RDB_OBJECT* found = find_object_recursively(static_cast<RDB_FOLDER_OBJECT*>(object), name))
                return found;
    }
    return nullptr;
}

RDB_SUMMARY_TABLE_OBJECT* rdb_find_summary_by_name(const RDB_FOLDER_OBJECT* folder, const std::string& name)
{
    RDB_OBJECT* object = folder ? folder->find_object(name) : nullptr;
    return object && object->get_kind() == RDB_OBJECT_KIND::SUMMARY
               ? static_cast<RDB_SUMMARY_TABLE_OBJECT*>(object)
               : nullptr;
}

std::unique_ptr<RDB_SUMMARY_TABLE_OBJECT> rdb_create_summary_object(const std::string& name)
{
    return std::make_unique<RDB_SUMMARY_TABLE_OBJECT>(name);
}

void rdb_set_summary_data(RDB_SUMMARY_TABLE_OBJECT* summary, const std::string& label,
                          const std::string& value)
{
    if (summary) summary->set_data(label, value);
}

std::unique_ptr<RDB_TABLE_OBJECT> rdb_create_table(const std::string& name)
{
    return std::make_unique<RDB_TABLE_OBJECT>(name);
}

RDB_ROW rdb_create_row(std::vector<std::string> cells)
{
    return cells;
}

RDB_FOLDER_OBJECT* rdb_util_create_skeleton_main_folder(RDB_REPORT* report)
{
    return report->add_main_folder(std::make_unique<RDB_FOLDER_OBJECT>("Default Main Folder"));
}

namespace {

std::unique_ptr<RDB_MESSAGES_OBJECT> messages_object(const std::string& name, bool only_errors)
{
    auto section = std::make_unique<RDB_MESSAGES_OBJECT>(name);
    for (const MSG_RECORD& record : msg_posted_messages()) {
        if (only_errors && record.type != MSG_POST_ERROR) continue;
        section->add_message({msg_severity_label(record.type), record.id, record.text});
    }
    return section;
}

}  // namespace

void rdb_add_app_messages(RDB_FOLDER_OBJECT* folder, const std::string& application,
                          const std::string& /*revision*/, const std::string& /*source*/, bool only_errors)
{
    if (!folder) return;
    const std::string name = application + " Messages";
    folder->remove_object(name);
    folder->add_object(messages_object(name, only_errors));
}

void rdb_add_flow_messages(RDB_FOLDER_OBJECT* main_folder)
{
    if (!main_folder) return;
    main_folder->remove_object("Flow Messages");
    main_folder->add_object(messages_object("Flow Messages", false));
}
