//! @file ipman_design_instances.cpp
//! @brief Hierarchy paths and protected IP of the elaborated design, merged into the
//! project's top-level variations.
#include "manager/ipman_design_instances.h"

#include <hdb/hdb.h>
#include <ipman/ipman_constants.h>
#include <ipman/ipman_ip_info_manager.h>

#include <algorithm>

namespace {

//! The file a found record stands for: a protected instance has only its source file.
std::string variation_file_of(const IPMAN_IP_INFO& info)
{
    return info.ip_generation_file().empty() ? info.source_file() : info.ip_generation_file();
}

}  // namespace

void ipman_merge_design_instances(std::vector<IPMAN_IP_INFO>& top_level,
                                  const std::vector<IPMAN_IP_INFO>& found)
{
    for (const IPMAN_IP_INFO& instance : found) {
        if (instance.parent_entity() != IPMAN_NA_STR) continue;
        const std::string file = variation_file_of(instance);
        const auto entry = std::find_if(top_level.begin(), top_level.end(), [&](const IPMAN_IP_INFO& info) {
            return info.entity() == instance.entity() && variation_file_of(info) == file;
        });
        if (entry == top_level.end())
            top_level.push_back(instance);
        else
            entry->instance_paths.insert(instance.instance_paths.begin(), instance.instance_paths.end());
    }
}

void ipman_add_design_instances(std::vector<IPMAN_IP_INFO>& top_level)
{
    HDB_DESIGN* design = hdb_get_elaborated_design();
    if (design == nullptr || design->get_root() == nullptr) return;
    ipman_merge_design_instances(
        top_level, IPMAN_IP_INFO_MANAGER::get_ip_info_manager()->collect_all_ip_cores(design->get_namespace(),
                                                                                      design->get_root()));
}
