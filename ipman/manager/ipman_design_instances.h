//! @file ipman_design_instances.h
//! @brief Where the project's top-level variations are instantiated in the elaborated
//! design, and the protected IP that only the design shows.
#pragma once

#include <ipman/ipman_constants.h>
#include <ipman/ipman_ip_info.h>

#include <algorithm>
#include <string>
#include <vector>

//! The file a record stands for: a protected instance has only its source file. ENTRY is a
//! record, or a part of one with the same accessors.
template <typename ENTRY>
std::string ipman_variation_file_of(const ENTRY& info)
{
    return info.ip_generation_file().empty() ? info.source_file() : info.ip_generation_file();
}

//! Merges records found in the design into the top-level entries: an entry of the same
//! entity and generation file (for protected IP: whose generation file is the protected
//! file) gains the instance's hierarchy path; a top-level record without such an entry is
//! appended. Records of sub-IPs are left out, as in the list they are merged into.
//! TABLE is a sequence of records, or of parts of them with the same accessors made from a
//! record.
template <typename TABLE>
void ipman_merge_design_instances(TABLE& top_level, const std::vector<IPMAN_IP_INFO>& found)
{
    using ENTRY = typename TABLE::value_type;
    for (const IPMAN_IP_INFO& instance : found) {
        if (instance.parent_entity() != IPMAN_NA_STR) continue;
        const std::string file = ipman_variation_file_of(instance);
        const auto entry = std::find_if(top_level.begin(), top_level.end(), [&](const ENTRY& info) {
            return info.entity() == instance.entity() && ipman_variation_file_of(info) == file;
        });
        if (entry == top_level.end())
            top_level.emplace_back(instance);
        else
            entry->instance_paths.insert(instance.instance_paths.begin(), instance.instance_paths.end());
    }
}

//! What the manager finds in the design when the open project has been elaborated;
//! nothing otherwise.
std::vector<IPMAN_IP_INFO> ipman_find_design_instances();

//! Merges what the manager finds in the elaborated design into top_level.
template <typename TABLE>
void ipman_add_design_instances(TABLE& top_level)
{
    ipman_merge_design_instances(top_level, ipman_find_design_instances());
}
