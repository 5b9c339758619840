//! @file bench_support.cpp
//! @brief What the benchmark programs share.
#include "bench_support.h"

#include "tcl/ipman_tcl_args_auto.h"

#include <acf/acf_tcl.h>
#include <atcl/atcl.h>
#include <atcl/atcl_vexec.h>

#include <sys/resource.h>

#include <chrono>
#include <stdexcept>

namespace {

double now_s()
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

}  // namespace

BENCH_INTERP_PTR bench_make_interpreter(const char* argv0)
{
    Tcl_FindExecutable(argv0);
    BENCH_INTERP_PTR interp(Tcl_CreateInterp());
    if (Tcl_Init(interp.get()) != TCL_OK) throw std::runtime_error(Tcl_GetStringResult(interp.get()));
    atcl_set_interpreter(interp.get());
    atcl_register_collection_commands(interp.get());
    atcl_register_vexec_command(interp.get());  // the legacy wizard is started through it
    if (acf_tcl_init(interp.get()) != TCL_OK) throw std::runtime_error(Tcl_GetStringResult(interp.get()));
    Ipman_Init(interp.get());
    return interp;
}

std::string bench_eval(Tcl_Interp* interp, const std::string& script)
{
    if (Tcl_Eval(interp, script.c_str()) != TCL_OK) throw std::runtime_error(Tcl_GetStringResult(interp));
    return Tcl_GetStringResult(interp);
}

double bench_peak_memory_mib()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;  // ru_maxrss is in KiB on Linux
}

double bench_cpu_seconds(int who)
{
    rusage usage{};
    getrusage(who, &usage);
    const auto seconds = [](const timeval& time) { return time.tv_sec + time.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

BENCH_STOPWATCH::BENCH_STOPWATCH()
    : m_start_s(now_s()), m_cpu_start_s(bench_cpu_seconds(RUSAGE_SELF)),
      m_children_start_s(bench_cpu_seconds(RUSAGE_CHILDREN))
{
}

BENCH_STEP_TIME BENCH_STOPWATCH::elapsed() const
{
    return {now_s() - m_start_s, bench_cpu_seconds(RUSAGE_SELF) - m_cpu_start_s,
            bench_cpu_seconds(RUSAGE_CHILDREN) - m_children_start_s};
}

BENCH_STEP_TIME bench_timed_eval(Tcl_Interp* interp, const std::string& script, std::string& result)
{
    const BENCH_STOPWATCH watch;
    result = bench_eval(interp, script);
    return watch.elapsed();
}
