//! @file atcl_eval.cpp
//! @brief Evaluation of a command given as words in the host interpreter: the words travel
//! as one list object, which Tcl evaluates without parsing its text again.
#include <atcl/atcl_eval.h>

#include <atcl/atcl.h>

bool atcl_host_interpreter_exists() {
    return atcl_get_interpreter() != nullptr;
}

int atcl_global_eval_words(const std::vector<std::string>& words, std::string* result) {
    return atcl_global_eval_words(atcl_get_interpreter(), words, result);
}

int atcl_global_eval_words(Tcl_Interp* interp, const std::vector<std::string>& words,
                           std::string* result) {
    if (!interp) {
        if (result) *result = "ERROR: No Tcl interpreter is available to run the command";
        return TCL_ERROR;
    }
    const ATCL_OBJ_PTR command(Tcl_NewListObj(0, nullptr));
    for (const std::string& word : words) {
        Tcl_ListObjAppendElement(nullptr, command.get(),
                                 Tcl_NewStringObj(word.data(), static_cast<int>(word.size())));
    }
    const int code = Tcl_EvalObjEx(interp, command.get(), TCL_EVAL_GLOBAL);
    if (result) *result = Tcl_GetString(Tcl_GetObjResult(interp));
    return code;
}
