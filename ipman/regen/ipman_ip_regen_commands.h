//! @file ipman_ip_regen_commands.h
//! @brief What the regeneration controller drives: process runner, file backup, generator
//! command lines and batch upgrade, and the remembered outcome of an upgrade attempt.
#pragma once

#include "record/ipman_upgrade_attempt.h"
#include "regen/ipman_batch_upgrade.h"
#include "regen/ipman_file_backup.h"
#include "regen/ipman_generator_commands.h"
#include "regen/ipman_process_runner.h"
