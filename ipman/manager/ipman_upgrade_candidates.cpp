//! @file ipman_upgrade_candidates.cpp
//! @brief Choosing the project's upgrade candidates after a fresh full load.
#include "manager/ipman_upgrade_candidates.h"

#include "report/ipman_messages.h"
#include "support/ipman_debug.h"

#include <ipman/ipman_ip_info_manager.h>

#include <msg/msg.h>

#include <utility>

namespace {

//! Takes the chosen list; an empty one is announced with its message unless quiet.
void take_list(std::vector<IPMAN_IP_INFO>& chosen, IPMAN_MSG empty_message, bool quiet,
               std::vector<IPMAN_IP_INFO>& records)
{
    if (chosen.empty() && !quiet) ipman_post_msg(empty_message);
    records = std::move(chosen);
}

}  // namespace

void ipman_select_upgrade_candidates(const IPMAN_CANDIDATE_CHOICE& choice,
                                     std::vector<IPMAN_IP_INFO>& records)
{
    IPMAN_IP_INFO_MANAGER::ipman_update_ip_catalog();
    IPMAN_IP_INFO_MANAGER* ip_info_mgr = IPMAN_IP_INFO_MANAGER::get_ip_info_manager();
    if (ip_info_mgr == nullptr)
        MSG_INTERNAL_ERROR::report("ip_info_mgr != NULL", IPMAN_MODULE_TAG, __FILE__, __LINE__);

    std::vector<IPMAN_IP_INFO> all;
    if (choice.all) {
        // The manager keeps the other two lists itself; copies of them would go unused.
        ip_info_mgr->load_ip_info(all);
        take_list(all, IPMAN_MSG::IIPMAN_IPRGEN_NO_IP, choice.quiet, records);
        return;
    }
    std::vector<IPMAN_IP_INFO> required;
    std::vector<IPMAN_IP_INFO> optional;
    ip_info_mgr->load_ip_info(all, required, optional);

    if (choice.optional) {
        take_list(optional, IPMAN_MSG::IIPMAN_IPRGEN_NO_OPTIONAL_REGEN_IP, choice.quiet, records);
    } else if (choice.required) {
        take_list(required, IPMAN_MSG::IIPMAN_IPRGEN_NO_REQUIRED_REGEN_IP, choice.quiet, records);
    }
}
