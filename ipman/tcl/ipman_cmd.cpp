//! @file ipman_cmd.cpp
//! @brief The IP Upgrade flow module and its report.
#include "tcl/ipman_cmd.h"

#include <rdb/rdb.h>

IPMAN_CMD::IPMAN_CMD() : VCU_FRAMEWORK(22) {}

IPMAN_CMD::~IPMAN_CMD() = default;

IPMAN_CMD& IPMAN_CMD::get()
{
    static IPMAN_CMD module;
    return module;
}

const char* const* IPMAN_CMD::get_argument_usage() const
{
    static const char* const usage[] = {"<file name>", nullptr};
    return usage;
}

RDB_REPORT* ipman_get_ip_upgrade_report(IPMAN_CMD&)
{
    return nullptr;
}
