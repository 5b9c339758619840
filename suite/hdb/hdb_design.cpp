//! @file hdb_design.cpp
//! @brief The objects of an elaborated design: source files, design units, instances.
#include <hdb/hdb.h>

#include <msg/msg.h>

const char* const HDB_WORK_LIBRARY = "work";

HDB_SOURCE_FILE::HDB_SOURCE_FILE(std::string full_path, std::string group_key)
    : m_full_path(std::move(full_path)), m_group_key(std::move(group_key))
{
}

void HDB_SOURCE_FILE::set_flag(int flag)
{
    MSG_INTERNAL_ERROR_IF(flag < 0 || flag >= FLAG_COUNT, "HDB");
    m_flags.set(static_cast<std::size_t>(flag));
}

const char* HDB_SOURCE_FILE::get_argument_value(int argument) const
{
    if (argument != HDB_ARG_GROUP_KEY || m_group_key.empty()) return nullptr;
    return m_group_key.c_str();
}

HDB_INSTANCE_NAME::HDB_INSTANCE_NAME(std::string name, std::string design_unit, HDB_INSTANCE_NAME* parent,
                                     std::int32_t id)
    : m_name(std::move(name)), m_design_unit(std::move(design_unit)), m_parent(parent), m_id(id)
{
}

std::string HDB_INSTANCE_NAME::get_hierarchy_path() const
{
    std::vector<const HDB_INSTANCE_NAME*> chain;
    for (const HDB_INSTANCE_NAME* at = this; at != nullptr; at = at->m_parent)
        chain.push_back(at);
    std::string path;
    for (auto at = chain.rbegin(); at != chain.rend(); ++at) {
        if (!path.empty()) path += '|';
        path += (*at)->m_name;
    }
    return path;
}

HDB_DESIGN_UNIT* HDB_NAMESPACE::find_entity(const std::string& name, const std::string& library) const
{
    const auto found = m_units.find(name);
    if (found == m_units.end()) return nullptr;
    if (!library.empty() && library != found->second->get_library()) return nullptr;
    return found->second.get();
}

HDB_DESIGN_UNIT* HDB_NAMESPACE::add_unit(const std::string& name, HDB_SOURCE_FILE* file)
{
    auto& unit = m_units[name];
    if (!unit) unit = std::make_unique<HDB_DESIGN_UNIT>(name, file);
    return unit.get();
}

HDB_SOURCE_FILE* HDB_DESIGN::add_source_file(const std::string& full_path, const std::string& group_key)
{
    auto& file = m_files[full_path];
    if (!file) file = std::make_unique<HDB_SOURCE_FILE>(full_path, group_key);
    return file.get();
}

HDB_SOURCE_FILE* HDB_DESIGN::find_source_file(const std::string& full_path) const
{
    const auto found = m_files.find(full_path);
    return found == m_files.end() ? nullptr : found->second.get();
}

HDB_INSTANCE_NAME* HDB_DESIGN::add_instance(const std::string& name, const std::string& design_unit,
                                            HDB_INSTANCE_NAME* parent)
{
    MSG_INTERNAL_ERROR_IF((parent == nullptr) != m_instances.empty(), "HDB");
    const auto id = static_cast<std::int32_t>(m_instances.size() + 1);
    m_instances.push_back(std::make_unique<HDB_INSTANCE_NAME>(name, design_unit, parent, id));
    HDB_INSTANCE_NAME* instance = m_instances.back().get();
    if (parent != nullptr) parent->add_child(instance);
    return instance;
}
