//! @file ipman_load.cpp
//! @brief What the module does when it is loaded: a shell that links it at build time gets
//! the package offered as the static package "Ipman", so `load {} Ipman` finds it; then the
//! fatal-error guards go in, and come out again when the module is unloaded.
#include "tcl/ipman_fatal_guards.h"
#include "tcl/ipman_tcl_args_auto.h"

namespace {

struct IPMAN_LOAD_TIME_SETUP {
    IPMAN_LOAD_TIME_SETUP()
    {
        // Under Tcl's own load the package is initialised by that load; offering it then
        // would also block on the lock the load holds.
        if (!atcl_is_dynamically_loading()) Tcl_StaticPackage(nullptr, "Ipman", Ipman_Init, nullptr);
        ipman_install_fatal_guards();
    }
    ~IPMAN_LOAD_TIME_SETUP() { ipman_remove_fatal_guards(); }
    IPMAN_LOAD_TIME_SETUP(const IPMAN_LOAD_TIME_SETUP&) = delete;
    IPMAN_LOAD_TIME_SETUP& operator=(const IPMAN_LOAD_TIME_SETUP&) = delete;
};

const IPMAN_LOAD_TIME_SETUP load_time_setup;

}  // namespace
