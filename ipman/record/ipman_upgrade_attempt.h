//! @file ipman_upgrade_attempt.h
//! @brief IPMAN_UPGRADE_ATTEMPT: the remembered outcome of one upgrade attempt, kept by the
//! regeneration controller and read back from an earlier IP Upgrade report.
#pragma once

#include <cstdint>
#include <string>

//! The remembered outcome of one upgrade attempt of a variation file.
struct IPMAN_UPGRADE_ATTEMPT {
    std::int32_t status = 0;  //!< an IPMAN_UPGRADE_STATUS_ENUM value (1 to 4)
    std::string message;      //!< failure text, or a marker such as "<psinvalid>"
};
