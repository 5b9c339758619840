//! @file ipman_bench.cpp
//! @brief Times opening a project and load_ip_upgrade_table on it, first and again, reporting
//! the table size, the three times and the peak memory as one Tcl dictionary line.
#include "tcl/ipman_tcl_args_auto.h"

#include <acf/acf_tcl.h>
#include <atcl/atcl.h>

#include <tcl.h>

#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <memory>
#include <stdexcept>
#include <string>

namespace {

struct INTERP_DELETER {
    void operator()(Tcl_Interp* interp) const { Tcl_DeleteInterp(interp); }
};
using INTERP_PTR = std::unique_ptr<Tcl_Interp, INTERP_DELETER>;

//! The interpreter with the suite's project commands and the ipman package.
INTERP_PTR make_interpreter()
{
    INTERP_PTR interp(Tcl_CreateInterp());
    if (Tcl_Init(interp.get()) != TCL_OK) throw std::runtime_error(Tcl_GetStringResult(interp.get()));
    atcl_set_interpreter(interp.get());
    atcl_register_collection_commands(interp.get());
    if (acf_tcl_init(interp.get()) != TCL_OK) throw std::runtime_error(Tcl_GetStringResult(interp.get()));
    Ipman_Init(interp.get());
    return interp;
}

std::string eval(Tcl_Interp* interp, const std::string& script)
{
    if (Tcl_Eval(interp, script.c_str()) != TCL_OK) throw std::runtime_error(Tcl_GetStringResult(interp));
    return Tcl_GetStringResult(interp);
}

rusage process_usage()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage;
}

//! Peak resident memory of the process so far, in MiB.
double peak_memory_mib()
{
    return static_cast<double>(process_usage().ru_maxrss) / 1024.0;  // ru_maxrss is in KiB on Linux
}

//! User and system processor seconds the process has used so far.
double cpu_seconds()
{
    const rusage usage = process_usage();
    const auto seconds = [](const timeval& time) { return time.tv_sec + time.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

//! Elapsed and processor time of one step; on a shared machine the second is steadier.
struct STEP_TIME {
    double elapsed_s;
    double cpu_s;
};

STEP_TIME timed_eval(Tcl_Interp* interp, const std::string& script, std::string& result)
{
    const double cpu_start = cpu_seconds();
    const auto start = std::chrono::steady_clock::now();
    result = eval(interp, script);
    return {std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(),
            cpu_seconds() - cpu_start};
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "Usage: ipman_bench PROJECT.vpf\n");
        return 2;
    }
    try {
        Tcl_FindExecutable(argv[0]);
        INTERP_PTR interp = make_interpreter();
        Tcl_SetVar2(interp.get(), "project_file", nullptr, argv[1], TCL_GLOBAL_ONLY);
        std::string entries;
        const STEP_TIME open = timed_eval(interp.get(), "project_open $project_file", entries);
        const double open_mib = peak_memory_mib();

        const std::string load = "::vorlin::ipman::load_ip_upgrade_table";
        const STEP_TIME first = timed_eval(interp.get(), load, entries);
        const STEP_TIME again = timed_eval(interp.get(), load, entries);
        std::printf("entries %s open_s %.3f open_cpu_s %.3f first_load_s %.3f first_load_cpu_s %.3f "
                    "second_load_s %.3f second_load_cpu_s %.3f peak_mib %.1f open_mib %.1f\n",
                    entries.c_str(), open.elapsed_s, open.cpu_s, first.elapsed_s, first.cpu_s,
                    again.elapsed_s, again.cpu_s, peak_memory_mib(), open_mib);
        eval(interp.get(), "::vorlin::ipman::unload_ip_upgrade_table; project_close");
    } catch (const std::exception& error) {
        std::fprintf(stderr, "ipman_bench: %s\n", error.what());
        return 1;
    }
    return 0;
}
