//! @file ipman_ip_regen_result.h
//! @brief IPMAN_IP_REGEN_RESULT: the outcome of one upgrade or deployment attempt.
#pragma once

#include <cstdint>
#include <string>

#include <ipman/ipman_ip_info.h>

//! Filled by the regeneration controller and the batch upgrade, one per attempted
//! variation; read by the driver, the settings update and the report writer.
class IPMAN_IP_REGEN_RESULT {
public:
    IPMAN_IP_REGEN_RESULT() = default;
    IPMAN_IP_REGEN_RESULT(const IPMAN_IP_REGEN_RESULT&) = default;
    IPMAN_IP_REGEN_RESULT(IPMAN_IP_REGEN_RESULT&&) = default;
    IPMAN_IP_REGEN_RESULT& operator=(const IPMAN_IP_REGEN_RESULT&) = default;
    IPMAN_IP_REGEN_RESULT& operator=(IPMAN_IP_REGEN_RESULT&&) = default;
    virtual ~IPMAN_IP_REGEN_RESULT();

    IPMAN_IP_INFO ip_info;    //!< the record as it was before the attempt
    std::int32_t status = 0;  //!< 0 success, anything else failure
    IPMAN_FAIL_REGEN_TYPE fail_type = IPMAN_FAIL_NONE;
    std::string output_file;     //!< new file replacing the variation, if any
    std::string backup_file;     //!< backup of the top-level file, if kept
    std::string top_level_file;  //!< generated top-level HDL file on success
};
