//! @file vorlin_fast_allocator.cpp
//! @brief Linked into every program that uses mimalloc: asks it for huge pages.
//!
//! Opening and loading a large project touch tens of megabytes of fresh memory, and the first
//! touch of each 4 KiB page is a page fault (about 7 µs each on the virtual machines we measure
//! on, a fifth of the load). With 2 MiB pages the kernel takes a few hundred faults instead of
//! tens of thousands, for a few MiB more resident memory. Where the kernel offers no huge pages
//! mimalloc quietly keeps small ones. MIMALLOC_LARGE_OS_PAGES=0 in the environment turns it off.
#include <mimalloc.h>

#include <cstdlib>

namespace {

// Runs before main: only what mimalloc handed out before it (its first segment) stays in
// small pages.
const bool huge_pages_asked = [] {
    if (std::getenv("MIMALLOC_LARGE_OS_PAGES") != nullptr) return false;
    mi_option_set_enabled(mi_option_large_os_pages, true);
    return true;
}();

}  // namespace
