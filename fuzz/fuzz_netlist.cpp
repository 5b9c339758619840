//! @file fuzz_netlist.cpp
//! @brief The elaborator's JSON netlist: reading it and building the instance tree.
#include "fuzz_scratch.h"
#include "fuzz_targets.h"

#include <hdb/hdb_netlist.h>

#include <stdexcept>
#include <string>

int fuzz_netlist(const std::uint8_t* data, std::size_t size)
{
    try {
        const HDB_NETLIST netlist = hdb_read_netlist(std::string(reinterpret_cast<const char*>(data), size));
        HDB_DESIGN_SOURCES sources;
        sources.elaboration_directory = "/scratch";
        std::string error;
        for (const auto& [name, module] : netlist)
            hdb_build_design(netlist, name, sources, error);
    } catch (const std::runtime_error&) {
        // Refusing a text is fine.
    }
    return 0;
}

VORLIN_FUZZ_ENTRY(fuzz_netlist)
