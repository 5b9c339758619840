//! @file ipman_upgrade_candidates.h
//! @brief Choosing the project's upgrade candidates (all, optional or required variations)
//! after a fresh full load; shared by the IP table, list and upgrade commands.
#pragma once

#include <ipman/ipman_ip_info.h>

#include <vector>

//! Which list of the full load a command works on. When several are set, all wins over
//! optional, optional over required; none set leaves the caller's records alone.
struct IPMAN_CANDIDATE_CHOICE {
    bool all = false;
    bool optional = false;
    bool required = false;
    bool quiet = false;  //!< no information message about an empty selection
};

//! Brings the IP catalog up to date, runs the manager's full load and replaces records with
//! the chosen list. An empty chosen list posts its information message unless quiet.
void ipman_select_upgrade_candidates(const IPMAN_CANDIDATE_CHOICE& choice,
                                     std::vector<IPMAN_IP_INFO>& records);
