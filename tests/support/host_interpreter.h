//! @file host_interpreter.h
//! @brief The host interpreter the shell creates: `vexec` registered and the interpreter
//! recorded, for tests of code that runs tools through it.
#pragma once

#include <atcl/atcl.h>
#include <atcl/atcl_vexec.h>

class HOST_INTERPRETER {
public:
    HOST_INTERPRETER() : m_interp(Tcl_CreateInterp())
    {
        atcl_register_vexec_command(m_interp.get());
        atcl_set_interpreter(m_interp.get());
    }
    ~HOST_INTERPRETER() { atcl_set_interpreter(nullptr); }
    HOST_INTERPRETER(const HOST_INTERPRETER&) = delete;
    HOST_INTERPRETER& operator=(const HOST_INTERPRETER&) = delete;

    Tcl_Interp* get() const { return m_interp.get(); }

private:
    ATCL_INTERP_PTR m_interp;
};
