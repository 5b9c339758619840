//! @file ipman_load.cpp
//! @brief What the module does when it is loaded: a shell that links it at build time gets
//! the package offered as the static package "Ipman", so `load {} Ipman` finds it.
#include "tcl/ipman_tcl_args_auto.h"

namespace {

struct IPMAN_STATIC_PACKAGE_OFFER {
    IPMAN_STATIC_PACKAGE_OFFER()
    {
        // Under Tcl's own load the package is initialised by that load; offering it then
        // would also block on the lock the load holds.
        if (!atcl_is_dynamically_loading()) Tcl_StaticPackage(nullptr, "Ipman", Ipman_Init, nullptr);
    }
};

const IPMAN_STATIC_PACKAGE_OFFER static_package_offer;

}  // namespace
