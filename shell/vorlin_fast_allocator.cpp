//! @file vorlin_fast_allocator.cpp
//! @brief Linked into every program that uses mimalloc: asks it for huge pages.
//!
//! Opening and loading a large project touch tens of megabytes of fresh memory, and the first
//! touch of each 4 KiB page is a page fault (about 7 µs each on the virtual machines we measure
//! on, a fifth of the load). With 2 MiB pages the kernel takes a few hundred faults instead of
//! tens of thousands, for a few MiB more resident memory. Where the kernel offers no huge pages
//! mimalloc quietly keeps small ones. MIMALLOC_LARGE_OS_PAGES=0 in the environment turns all of
//! this off.
#include <mimalloc.h>

#include <cinttypes>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include <sys/mman.h>

namespace {

//! The first and last address of the mapping that holds address, from /proc/self/maps.
bool find_mapping(std::uintptr_t address, std::uintptr_t& start, std::uintptr_t& end)
{
    const std::unique_ptr<std::FILE, int (*)(std::FILE*)> maps(std::fopen("/proc/self/maps", "r"),
                                                               std::fclose);
    if (!maps) return false;
    char line[512];
    while (std::fgets(line, sizeof line, maps.get())) {
        if (std::sscanf(line, "%" SCNxPTR "-%" SCNxPTR, &start, &end) == 2 && start <= address &&
            address < end)
            return true;
    }
    return false;
}

//! mimalloc mapped the memory it handed out before main (its first segment) while the option
//! was still off, so that mapping lacks the advice the option gives later ones. It is the
//! first 32 MiB a program fills, most of the model of a project of some thousand variations.
void advise_huge_pages_for_first_memory()
{
    void* probe = mi_malloc(1);
    const auto address = reinterpret_cast<std::uintptr_t>(probe);
    mi_free(probe);
    std::uintptr_t start = 0;
    std::uintptr_t end = 0;
    if (find_mapping(address, start, end))
        ::madvise(reinterpret_cast<void*>(start), end - start, MADV_HUGEPAGE);
}

bool set_in_environment(const char* variable)
{
    return std::getenv(variable) != nullptr;
}

// Runs before main. Each choice yields to the same setting made in the environment.
const bool huge_pages_asked = [] {
    if (set_in_environment("MIMALLOC_LARGE_OS_PAGES")) return false;
    mi_option_set_enabled(mi_option_large_os_pages, true);
    advise_huge_pages_for_first_memory();
    // Blocks above 16 MiB (the records of tens of thousands of variations) get a mapping of
    // their own, in small pages, unless they come from an arena reserved with the advice. The
    // reservation is address space only: memory is taken as it is touched.
    if (!set_in_environment("MIMALLOC_RESERVE_OS_MEMORY"))
        mi_reserve_os_memory(std::size_t{1} << 30, true, true);
    // Memory freed during a load is mostly taken again within it; handing it back to the
    // system within 25 ms (the default) splits huge pages and faults the same pages in again.
    if (!set_in_environment("MIMALLOC_DECOMMIT_DELAY")) mi_option_set(mi_option_decommit_delay, 1000);
    return true;
}();

}  // namespace
