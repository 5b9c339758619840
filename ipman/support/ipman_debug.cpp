//! @file ipman_debug.cpp
//! @brief The module tag and the debug trace.
#include "support/ipman_debug.h"

#include <msg/msg.h>

const char* const IPMAN_MODULE_TAG = "IPMAN";

bool ipman_debug_enabled()
{
    return msg_debug_enabled(IPMAN_MODULE_TAG, IPMAN_DEBUG_LEVEL);
}

void ipman_debug(const std::string& text)
{
    msg_local_debug(IPMAN_MODULE_TAG, IPMAN_DEBUG_LEVEL, text);
}
