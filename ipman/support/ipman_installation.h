//! @file ipman_installation.h
//! @brief Whether the installation holds what the analysis cannot do without.
#pragma once

#include <string>

//! What makes the installation unusable for the analysis: a root directory that does not
//! exist, a missing IP catalog folder, or a device list that is missing or names no family.
//! Without them every family reads as unknown and every IP as compatible, so a load must
//! stop rather than show that. Empty when the installation is usable.
std::string ipman_installation_problem();
