//! @file ipman_design_instances.h
//! @brief Where the project's top-level variations are instantiated in the elaborated
//! design, and the protected IP that only the design shows.
#pragma once

#include <ipman/ipman_ip_info.h>

#include <vector>

//! Merges records found in the design into the top-level records: an entry of the same
//! entity and generation file (for protected IP: whose generation file is the protected
//! file) gains the instance's hierarchy path; a top-level record without such an entry is
//! appended. Records of sub-IPs are left out, as in the list they are merged into.
void ipman_merge_design_instances(std::vector<IPMAN_IP_INFO>& top_level,
                                  const std::vector<IPMAN_IP_INFO>& found);

//! When the open project has been elaborated, merges what the manager finds in its design
//! into top_level; otherwise leaves it alone.
void ipman_add_design_instances(std::vector<IPMAN_IP_INFO>& top_level);
