//! @file bench_support.h
//! @brief What the benchmark programs share: an interpreter with the suite's commands and the
//! package, script evaluation, and processor and memory figures from getrusage.
#pragma once

#include <tcl.h>

#include <memory>
#include <string>

struct BENCH_INTERP_DELETER {
    void operator()(Tcl_Interp* interp) const { Tcl_DeleteInterp(interp); }
};
using BENCH_INTERP_PTR = std::unique_ptr<Tcl_Interp, BENCH_INTERP_DELETER>;

//! The interpreter with the suite's project commands, vexec and the ipman package, as in the shell.
BENCH_INTERP_PTR bench_make_interpreter(const char* argv0);

//! Throws std::runtime_error with the interpreter's message when the script fails.
std::string bench_eval(Tcl_Interp* interp, const std::string& script);

//! Peak resident memory of the process so far, in MiB.
double bench_peak_memory_mib();

//! User and system processor seconds used so far by the process (RUSAGE_SELF) or by its
//! waited-for children (RUSAGE_CHILDREN).
double bench_cpu_seconds(int who);

//! Elapsed and processor time of one step; on a shared machine the processor time is steadier.
struct BENCH_STEP_TIME {
    double elapsed_s = 0;
    double cpu_s = 0;
    double children_cpu_s = 0;
};

//! Starts timing at construction; elapsed() reads the time since.
class BENCH_STOPWATCH {
public:
    BENCH_STOPWATCH();
    BENCH_STEP_TIME elapsed() const;

private:
    double m_start_s;
    double m_cpu_start_s;
    double m_children_start_s;
};

BENCH_STEP_TIME bench_timed_eval(Tcl_Interp* interp, const std::string& script, std::string& result);
