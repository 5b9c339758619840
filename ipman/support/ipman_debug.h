//! @file ipman_debug.h
//! @brief The module's tag in debug traces and internal-error reports, and its debug trace.
#pragma once

#include <string>

//! IPMAN_MODULE_TAG: names the module in debug traces and internal-error reports.
extern const char* const IPMAN_MODULE_TAG;
//! The level of every debug trace of the module.
constexpr int IPMAN_DEBUG_LEVEL = 2;

//! Whether the module's trace is wanted: callers skip composing costly texts otherwise.
bool ipman_debug_enabled();
//! Writes one line to the module's debug trace.
void ipman_debug(const std::string& text);
