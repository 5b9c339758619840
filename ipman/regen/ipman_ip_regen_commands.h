//! @file ipman_ip_regen_commands.h
//! @brief What the regeneration controller drives: process runner, file backup, generator
//! command lines and batch upgrade, and the remembered outcome of an upgrade attempt.
#pragma once

#include <cstdint>
#include <string>

#include "regen/ipman_batch_upgrade.h"
#include "regen/ipman_file_backup.h"
#include "regen/ipman_generator_commands.h"
#include "regen/ipman_process_runner.h"

//! The remembered outcome of one upgrade attempt of a variation file.
struct IPMAN_UPGRADE_ATTEMPT {
    std::int32_t status = 0;  //!< an IPMAN_UPGRADE_STATUS_ENUM value (1, 2 or 4)
    std::string message;      //!< failure text, or a marker such as "<psinvalid>"
};
