//! @file ipman_port_diff.cpp
//! @brief Port comparison of old and new IP files, generated files, deployment.
#include "tcl/ipman_port_diff.h"

void ipman_add_upgraded_ip_port_diffs(const std::vector<IPMAN_IP_REGEN_RESULT>&) {}
