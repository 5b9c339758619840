//! @file atcl_collection_cmds.cpp
//! @brief The Tcl commands over collections: foreach_in_collection and get_collection_size.
#include <atcl/atcl.h>

#include <fmt/format.h>

namespace {

enum COLLECTION_OPTION : int { OPT_VAR = 4, OPT_COLLECTION = 5, OPT_BODY = 6, OPT_COUNT };

const char* collection_option_name(int option)
{
    static const char* const names[OPT_COUNT] = {"", "h", "help", "long_help", "var", "collection", "body"};
    return option > 0 && option < OPT_COUNT ? names[option] : nullptr;
}

constexpr uint32_t POSITIONAL = ATCL_OPTION_POSITIONAL;

const ATCL_OPTION_ENTRY foreach_options[] = {
    {OPT_VAR, 1, POSITIONAL, 0, nullptr, nullptr},
    {OPT_COLLECTION, 1, POSITIONAL, 0, nullptr, nullptr},
    {OPT_BODY, 1, POSITIONAL, 0, nullptr, nullptr},
    {0, 0, 0, 0, nullptr, nullptr},
};
const ATCL_OPTION_ENTRY size_options[] = {
    {OPT_COLLECTION, 1, POSITIONAL, 0, nullptr, nullptr},
    {0, 0, 0, 0, nullptr, nullptr},
};

int resolve_foreach_option(const char* word)
{
    return atcl_resolve_option_by_prefix(word, collection_option_name, foreach_options);
}
int resolve_size_option(const char* word)
{
    return atcl_resolve_option_by_prefix(word, collection_option_name, size_options);
}

const ATCL_OPTION_HELP collection_option_help[] = {
    {OPT_VAR, "Variable set to each element in turn."},
    {OPT_COLLECTION, "Collection handle, as returned by the command that made the collection."},
    {OPT_BODY, "Script run once per element; break and continue work as in foreach."},
    {0, nullptr},
};

const ATCL_CMD& foreach_command()
{
    static const ATCL_CMD_DEFINITION definition = {"atcl",
                                                   "foreach_in_collection",
                                                   collection_option_name,
                                                   resolve_foreach_option,
                                                   nullptr,
                                                   nullptr,
                                                   foreach_options,
                                                   nullptr,
                                                   nullptr,
                                                   nullptr};
    static const ATCL_CMD_HELP help = {
        "Runs a script once for each element of a collection, in order.",
        "The elements are taken when the loop starts, so the body may delete the collection.\n\n"
        "Example:\n  foreach_in_collection a [get_all_global_assignments] {\n      puts [dict get $a name]\n "
        " }",
        collection_option_help};
    static const ATCL_CMD command(definition, &help);
    return command;
}

const ATCL_CMD& size_command()
{
    static const ATCL_CMD_DEFINITION definition = {"atcl",
                                                   "get_collection_size",
                                                   collection_option_name,
                                                   resolve_size_option,
                                                   nullptr,
                                                   nullptr,
                                                   size_options,
                                                   nullptr,
                                                   nullptr,
                                                   nullptr};
    static const ATCL_CMD_HELP help = {
        "Returns the number of elements of a collection.",
        "The empty string is the empty collection: its size is 0.\n\n"
        "Example:\n  puts [get_collection_size [get_all_global_assignments -design]]",
        collection_option_help};
    static const ATCL_CMD command(definition, &help);
    return command;
}

//! The element texts of a handle; the empty handle is the empty collection.
bool collection_elements(Tcl_Interp* interp, const std::string& handle, std::vector<std::string>& elements)
{
    elements.clear();
    if (handle.empty()) return true;
    ATCL_TCL_COLLECTION_ITER* iter = atcl_find_collection(handle.c_str());
    if (!iter || !iter->is_valid()) {
        atcl_error_msg_impl(interp, fmt::format("ERROR: Invalid collection handle \"{}\".", handle));
        return false;
    }
    for (iter->reset(); !iter->is_done(); iter->advance())
        elements.push_back(iter->current_string());
    return true;
}

int run_body_per_element(Tcl_Interp* interp, const std::string& var, const std::vector<std::string>& elements,
                         const std::string& body_text)
{
    const ATCL_OBJ_PTR var_name(Tcl_NewStringObj(var.c_str(), -1));
    const ATCL_OBJ_PTR body(Tcl_NewStringObj(body_text.c_str(), -1));  // compiled once, reused
    for (const std::string& element : elements) {
        if (!Tcl_ObjSetVar2(interp, var_name.get(), nullptr, Tcl_NewStringObj(element.c_str(), -1),
                            TCL_LEAVE_ERR_MSG)) {
            return TCL_ERROR;
        }
        const int code = Tcl_EvalObjEx(interp, body.get(), 0);
        if (code == TCL_CONTINUE) continue;
        if (code == TCL_BREAK) break;
        if (code == TCL_ERROR) {
            Tcl_AppendObjToErrorInfo(interp, Tcl_ObjPrintf("\n    (\"foreach_in_collection\" body line %d)",
                                                           Tcl_GetErrorLine(interp)));
        }
        if (code != TCL_OK) return code;
    }
    Tcl_ResetResult(interp);
    return TCL_OK;
}

int foreach_in_collection_cmd(ClientData, Tcl_Interp* interp, int objc, Tcl_Obj* const objv[])
{
    ATCL_ARGS args;
    bool help_shown = false;
    const int code = args.process_tcl_command_arguments(interp, foreach_command(), help_shown, objc, objv);
    if (code != TCL_OK || help_shown) return code;
    // Taking the elements first keeps nested loops over one collection, and bodies that
    // delete it, from disturbing the iteration.
    std::vector<std::string> elements;
    if (!collection_elements(interp, args.get_one_arg_option(OPT_COLLECTION), elements)) return TCL_ERROR;
    return run_body_per_element(interp, args.get_one_arg_option(OPT_VAR), elements,
                                args.get_one_arg_option(OPT_BODY));
}

int get_collection_size_cmd(ClientData, Tcl_Interp* interp, int objc, Tcl_Obj* const objv[])
{
    ATCL_ARGS args;
    bool help_shown = false;
    const int code = args.process_tcl_command_arguments(interp, size_command(), help_shown, objc, objv);
    if (code != TCL_OK || help_shown) return code;
    const std::string handle = args.get_one_arg_option(OPT_COLLECTION);
    std::size_t size = 0;
    if (!handle.empty()) {
        ATCL_TCL_COLLECTION_ITER* iter = atcl_find_collection(handle.c_str());
        if (!iter || !iter->is_valid()) {
            atcl_error_msg_impl(interp, fmt::format("ERROR: Invalid collection handle \"{}\".", handle));
            return TCL_ERROR;
        }
        size = iter->size();
    }
    Tcl_SetObjResult(interp, Tcl_NewWideIntObj(static_cast<Tcl_WideInt>(size)));
    return TCL_OK;
}

}  // namespace

int atcl_register_collection_commands(Tcl_Interp* interp)
{
    if (!interp) return TCL_ERROR;
    Tcl_CreateObjCommand(interp, "::foreach_in_collection", foreach_in_collection_cmd, nullptr, nullptr);
    Tcl_CreateObjCommand(interp, "::get_collection_size", get_collection_size_cmd, nullptr, nullptr);
    return TCL_OK;
}
