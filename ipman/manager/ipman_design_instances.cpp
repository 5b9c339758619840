//! @file ipman_design_instances.cpp
//! @brief The IP instances of the elaborated design, found by the manager.
#include "manager/ipman_design_instances.h"

#include <hdb/hdb.h>
#include <ipman/ipman_ip_info_manager.h>

std::vector<IPMAN_IP_INFO> ipman_find_design_instances()
{
    HDB_DESIGN* design = hdb_get_elaborated_design();
    if (design == nullptr || design->get_root() == nullptr) return {};
    return IPMAN_IP_INFO_MANAGER::get_ip_info_manager()->collect_all_ip_cores(design->get_namespace(),
                                                                              design->get_root());
}
