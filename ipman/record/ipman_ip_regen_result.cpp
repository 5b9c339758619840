//! @file ipman_ip_regen_result.cpp
//! @brief IPMAN_IP_REGEN_RESULT: anchors the class's virtual table in this unit.

#include <ipman/ipman_ip_regen_result.h>

IPMAN_IP_REGEN_RESULT::~IPMAN_IP_REGEN_RESULT() = default;
