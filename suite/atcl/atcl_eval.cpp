//! @file atcl_eval.cpp
//! @brief Evaluation of a command given as words in the host interpreter: the words travel
//! as one list object, which Tcl evaluates without parsing its text again.
#include <atcl/atcl_eval.h>

#include <atcl/atcl.h>

#include <memory>

namespace {

struct TCL_OBJ_RELEASE {
    void operator()(Tcl_Obj* obj) const { Tcl_DecrRefCount(obj); }
};
using TCL_OBJ_REF = std::unique_ptr<Tcl_Obj, TCL_OBJ_RELEASE>;

//! Takes a reference to a new object; the object goes when the holder does.
TCL_OBJ_REF hold(Tcl_Obj* obj)
{
    Tcl_IncrRefCount(obj);
    return TCL_OBJ_REF(obj);
}

}  // namespace

bool atcl_host_interpreter_exists()
{
    return atcl_get_interpreter() != nullptr;
}

int atcl_global_eval_words(const std::vector<std::string>& words, std::string* result)
{
    return atcl_global_eval_words(atcl_get_interpreter(), words, result);
}

int atcl_global_eval_words(Tcl_Interp* interp, const std::vector<std::string>& words, std::string* result)
{
    if (!interp) {
        if (result) *result = "ERROR: No Tcl interpreter is available to run the command";
        return TCL_ERROR;
    }
    const TCL_OBJ_REF command = hold(Tcl_NewListObj(0, nullptr));
    for (const std::string& word : words) {
        Tcl_ListObjAppendElement(nullptr, command.get(),
                                 Tcl_NewStringObj(word.data(), static_cast<int>(word.size())));
    }
    const int code = Tcl_EvalObjEx(interp, command.get(), TCL_EVAL_GLOBAL);
    if (result) *result = Tcl_GetString(Tcl_GetObjResult(interp));
    return code;
}
