//! @file ipman_hdb_ip_finder.cpp
//! @brief IPMAN_HDB_IP_FINDER: the walk over the instance tree and the examination of one
//! instance, with the protected-file cache that reads each protected file once per walk.
#include "discovery/ipman_hdb_ip_finder.h"

#include "discovery/ipman_acf_ip_collector.h"
#include "support/ipman_debug.h"

#include <hdb/hdb.h>
#include <ipman/ipman_constants.h>
#include <msg/msg.h>
#include <protect/protect.h>

#include <fmt/format.h>

namespace {

//! A core name written in double quotes loses them: "\"fir\"" gives "fir".
std::string unquoted_core_name(const std::string& name)
{
    if (name.empty() || name.front() != '"') return name;
    const std::size_t close = name.find('"', 1);
    return name.substr(1, close == std::string::npos ? std::string::npos : close - 1);
}

std::string text_or_na(const std::string& text)
{
    return text.empty() ? std::string(IPMAN_NA_STR) : text;
}

}  // namespace

void IPMAN_HDB_IP_FINDER::set_context(HDB_NAMESPACE* name_space, const IPMAN_ACF_IP_COLLECTOR* collector,
                                      IPMAN_RECORD_ANALYSER* analyser)
{
    m_namespace = name_space;
    m_collector = collector;
    m_analyser = analyser;
    clear();
}

void IPMAN_HDB_IP_FINDER::reset_context()
{
    set_context(nullptr, nullptr, nullptr);
}

void IPMAN_HDB_IP_FINDER::find_ip_instances(HDB_NAMESPACE* name_space, HDB_INSTANCE_NAME* root,
                                            const IPMAN_ACF_IP_COLLECTOR* collector,
                                            IPMAN_RECORD_ANALYSER* analyser, std::vector<IPMAN_IP_INFO>& out)
{
    if (name_space == nullptr)
        MSG_INTERNAL_ERROR::report("m_cap != NULL", IPMAN_MODULE_TAG, __FILE__, __LINE__);
    if (root == nullptr) MSG_INTERNAL_ERROR::report("inst != NULL", IPMAN_MODULE_TAG, __FILE__, __LINE__);
    set_context(name_space, collector, analyser);
    if (root->is_macrofunction() || root->has_children()) {
        std::vector<const HDB_INSTANCE_NAME*> pending{root};
        while (!pending.empty()) {
            const HDB_INSTANCE_NAME* instance = pending.back();
            pending.pop_back();
            IPMAN_IP_INFO record;
            bool descend = false;
            if (examine_instance(instance, record, descend)) out.push_back(record);
            if (!descend) continue;
            for (const HDB_INSTANCE_NAME* child : instance->children())
                if (child->is_macrofunction()) pending.push_back(child);
        }
    }
    reset_context();
}

const HDB_SOURCE_FILE* IPMAN_HDB_IP_FINDER::file_of(const HDB_INSTANCE_NAME& instance) const
{
    const std::string& unit_name = instance.get_source_component();
    if (unit_name.empty() || m_namespace == nullptr) return nullptr;
    const HDB_DESIGN_UNIT* unit = m_namespace->find_entity(unit_name, instance.get_library());
    if (unit == nullptr) unit = m_namespace->find_entity(unit_name, std::string());
    return unit ? unit->get_file() : nullptr;
}

bool IPMAN_HDB_IP_FINDER::examine_instance(const HDB_INSTANCE_NAME* instance, IPMAN_IP_INFO& out,
                                           bool& descend)
{
    descend = instance->has_children();
    const HDB_SOURCE_FILE* file = file_of(*instance);
    if (file == nullptr || file->test_flag(HDB_FILE_NOT_CONSIDERED)) return false;
    if (file->test_flag(HDB_FILE_PROTECTED)) return read_protected_file(*file, *instance, out);
    if (file->test_flag(HDB_FILE_WRAPPER) && instance->children().size() == 1) {
        const HDB_SOURCE_FILE* wrapped = file_of(*instance->children().front());
        // The wrapper stands for the protected IP it wraps; below it there is nothing more.
        if (wrapped != nullptr && wrapped->test_flag(HDB_FILE_PROTECTED_BEHIND_WRAPPER) &&
            read_protected_file(*wrapped, *instance, out)) {
            descend = false;
            return true;
        }
    }
    return read_normal_file(*file, *instance, out);
}

bool IPMAN_HDB_IP_FINDER::read_normal_file(const HDB_SOURCE_FILE& file, const HDB_INSTANCE_NAME& instance,
                                           IPMAN_IP_INFO& out)
{
    const char* group_key = file.get_argument_value(HDB_ARG_GROUP_KEY);
    if (m_collector == nullptr || m_analyser == nullptr || group_key == nullptr) return false;
    // A nested list's files belong to the variation of the list that includes it.
    const bool found =
        m_collector->find_ip_info_by_name(*m_analyser, m_collector->record_key_of_list(group_key),
                                          instance.get_source_component(), instance.get_library(), out);
    if (found) {
        out.instance_name_id = instance.get_name_id();
        out.instance_paths.insert(instance.get_hierarchy_path());
        out.core_version = "Unknown";
    }
    return found;
}

bool IPMAN_HDB_IP_FINDER::read_protected_file(const HDB_SOURCE_FILE& file, const HDB_INSTANCE_NAME& instance,
                                              IPMAN_IP_INFO& out)
{
    const std::string path = text_or_na(file.get_full_path());
    const auto cached = m_protected_records.find(path);
    if (cached != m_protected_records.end()) {
        out = cached->second;
        out.instance_name_id = instance.get_name_id();
        out.instance_paths = {instance.get_hierarchy_path()};
        return true;
    }
    std::string to_open = path;
    const std::string proxy = cpt_get_proxy_file_if_any(path);
    if (!proxy.empty()) {
        ipman_debug(fmt::format("Found cpt proxy file {} corresponding to source file {}", proxy, path));
        to_open = proxy;
    } else if (cpt_is_encrypted_file(path) <= 0) {
        return false;
    }
    CPT_PROTECTED_FILE_READER reader;
    if (!open_protected_file(to_open, reader)) return false;
    out.source_file(path);
    out.vendor_name(reader.get_vendor_name());
    out.core_version = reader.get_core_version();
    out.tool_name(unquoted_core_name(reader.get_core_name()));
    out.entity(text_or_na(instance.get_source_component()));
    out.library(text_or_na(instance.get_library()));
    out.instance_name_id = instance.get_name_id();
    out.instance_paths.insert(instance.get_hierarchy_path());
    out.tool_version(IPMAN_NA_STR);
    out.generated_by(IPMAN_NA_STR);
    out.regen_status(IPMAN_ENCRYPTED);
    out.ip_generation_file(std::string());
    m_protected_records[path] = out;
    return true;
}

bool IPMAN_HDB_IP_FINDER::open_protected_file(const std::string& path, CPT_PROTECTED_FILE_READER& reader)
{
    return reader.open(path);
}
