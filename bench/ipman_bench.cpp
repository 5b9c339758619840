//! @file ipman_bench.cpp
//! @brief Times opening a project and load_ip_upgrade_table on it, first and again, reporting
//! the table size, the three times and the peak memory after opening, after the first load
//! and at the end as one Tcl dictionary line.
#include "bench_support.h"

#include <cstdio>
#include <exception>
#include <string>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "Usage: ipman_bench PROJECT.vpf\n");
        return 2;
    }
    try {
        BENCH_INTERP_PTR interp = bench_make_interpreter(argv[0]);
        Tcl_SetVar2(interp.get(), "project_file", nullptr, argv[1], TCL_GLOBAL_ONLY);
        std::string entries;
        const BENCH_STEP_TIME open = bench_timed_eval(interp.get(), "project_open $project_file", entries);
        const double open_mib = bench_peak_memory_mib();

        const std::string load = "::vorlin::ipman::load_ip_upgrade_table";
        const BENCH_STEP_TIME first = bench_timed_eval(interp.get(), load, entries);
        const double first_load_mib = bench_peak_memory_mib();
        const BENCH_STEP_TIME again = bench_timed_eval(interp.get(), load, entries);
        std::printf("entries %s open_s %.3f open_cpu_s %.3f first_load_s %.3f first_load_cpu_s %.3f "
                    "second_load_s %.3f second_load_cpu_s %.3f peak_mib %.1f first_load_mib %.1f "
                    "open_mib %.1f\n",
                    entries.c_str(), open.elapsed_s, open.cpu_s, first.elapsed_s, first.cpu_s,
                    again.elapsed_s, again.cpu_s, bench_peak_memory_mib(), first_load_mib, open_mib);
        bench_eval(interp.get(), "::vorlin::ipman::unload_ip_upgrade_table; project_close");
    } catch (const std::exception& error) {
        std::fprintf(stderr, "ipman_bench: %s\n", error.what());
        return 1;
    }
    return 0;
}
