//! @file atcl_interp.cpp
//! @brief The host's interpreter record, how modules are being loaded, and small Tcl helpers
//! (error results, safe parsing interpreters, list splitting, quoting, evaluation).
#include <atcl/atcl.h>

// Defined and exported by a shell that links its modules at build time; absent otherwise.
extern "C" {
extern const int atcl_shell_links_modules __attribute__((weak));
}

namespace {

Tcl_Interp* g_host_interpreter = nullptr;

//! Tcl objects need Tcl's subsystems, which only creating an interpreter (or the host's
//! start-up) initialises; helpers called before any interpreter exists do it once.
void ensure_tcl_initialised()
{
    static const bool initialised = [] {
        Tcl_DeleteInterp(Tcl_CreateInterp());
        return true;
    }();
    (void)initialised;
}

void forget_deleted_interpreter(ClientData, Tcl_Interp* interp)
{
    if (g_host_interpreter == interp) g_host_interpreter = nullptr;
}

}  // namespace

Tcl_Interp* atcl_get_interpreter()
{
    return g_host_interpreter;
}

void atcl_set_interpreter(Tcl_Interp* interp)
{
    if (g_host_interpreter == interp) return;
    if (g_host_interpreter) Tcl_DontCallWhenDeleted(g_host_interpreter, forget_deleted_interpreter, nullptr);
    g_host_interpreter = interp;
    if (interp) Tcl_CallWhenDeleted(interp, forget_deleted_interpreter, nullptr);
}

bool atcl_is_dynamically_loading()
{
    return &atcl_shell_links_modules == nullptr || atcl_shell_links_modules == 0;
}

void atcl_error_msg_impl(Tcl_Interp* interp, const char* text)
{
    if (!interp) return;
    Tcl_SetObjResult(interp, Tcl_NewStringObj(text ? text : "", -1));
}

Tcl_Interp* atcl_create_interpreter()
{
    Tcl_Interp* interp = Tcl_CreateInterp();
    Tcl_MakeSafe(interp);
    return interp;
}

void atcl_destroy_interpreter(Tcl_Interp* interp)
{
    if (interp) Tcl_DeleteInterp(interp);
}

bool atcl_tcl_get_mult_string_from_tcl_obj(Tcl_Interp* interp, Tcl_Obj* obj,
                                           std::vector<std::string>& elements)
{
    elements.clear();
    if (!obj) return false;
    int count = 0;
    Tcl_Obj** items = nullptr;
    if (Tcl_ListObjGetElements(interp, obj, &count, &items) != TCL_OK) return false;
    for (int i = 0; i < count; ++i)
        elements.emplace_back(Tcl_GetString(items[i]));
    return true;
}

bool atcl_tcl_get_mult_string_from_tcl_obj(Tcl_Interp* interp, const std::string& text,
                                           std::vector<std::string>& elements)
{
    if (!interp) ensure_tcl_initialised();
    const ATCL_OBJ_PTR obj(Tcl_NewStringObj(text.data(), static_cast<int>(text.size())));
    return atcl_tcl_get_mult_string_from_tcl_obj(interp, obj.get(), elements);
}

std::string atcl_transform_string(const std::string& text)
{
    std::string quoted;
    quoted.reserve(text.size());
    for (char c : text) {
        if (c == '\\' || c == '"' || c == '$' || c == '[' || c == ']') quoted += '\\';
        quoted += c;
    }
    return quoted;
}

int atcl_tcl_eval(Tcl_Interp* interp, const std::string& script)
{
    return Tcl_EvalEx(interp, script.data(), static_cast<int>(script.size()), 0);
}
