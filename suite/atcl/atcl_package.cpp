//! @file atcl_package.cpp
//! @brief Setting packages up and down: their commands are created in the package's
//! namespace and exported, and deleted again when the package is unregistered.
#include <atcl/atcl.h>

#include <msg/msg.h>

#include <algorithm>
#include <map>

namespace {

//! The package between atcl_begin_package_setup and atcl_end_package_setup.
struct PACKAGE_SETUP {
    bool active = false;
    bool unregister = false;
    std::string package;  //!< the package name as given
    std::string name;     //!< its namespace, with the leading "::"
    std::string version;
    std::vector<ATCL_CALLBACK> callbacks;
};

PACKAGE_SETUP& pending_setup()
{
    static PACKAGE_SETUP setup;
    return setup;
}

//! Command names of every package set up so far, for unregistration.
std::map<std::string, std::vector<std::string>>& package_commands()
{
    static std::map<std::string, std::vector<std::string>> commands;
    return commands;
}

std::string qualified_namespace(const char* name)
{
    std::string ns = name ? name : "";
    return ns.compare(0, 2, "::") == 0 ? ns : "::" + ns;
}

int create_package_commands(Tcl_Interp* interp, const PACKAGE_SETUP& setup)
{
    Tcl_Namespace* ns = Tcl_FindNamespace(interp, setup.name.c_str(), nullptr, 0);
    if (!ns) ns = Tcl_CreateNamespace(interp, setup.name.c_str(), nullptr, nullptr);
    if (!ns) return TCL_ERROR;
    std::vector<std::string>& names = package_commands()[setup.name];
    for (const ATCL_CALLBACK& callback : setup.callbacks) {
        const std::string full_name = setup.name + "::" + callback.command_name;
        Tcl_CreateObjCommand(interp, full_name.c_str(), callback.handler, nullptr, nullptr);
        if (Tcl_Export(interp, ns, callback.command_name, 0) != TCL_OK) return TCL_ERROR;
        if (std::find(names.begin(), names.end(), callback.command_name) == names.end()) {
            names.emplace_back(callback.command_name);
        }
    }
    return TCL_OK;
}

}  // namespace

void atcl_begin_package_setup(const char* name, const char* version, const char* /*module*/,
                              const char* /*prefix*/, bool unregister)
{
    PACKAGE_SETUP& setup = pending_setup();
    MSG_INTERNAL_ERROR_IF(setup.active, "ATCL");
    setup = PACKAGE_SETUP{
        true, unregister, name ? name : "", qualified_namespace(name), version ? version : "", {}};
}

void atcl_register_callbacks(const ATCL_CALLBACK* callbacks)
{
    PACKAGE_SETUP& setup = pending_setup();
    MSG_INTERNAL_ERROR_IF(!setup.active, "ATCL");
    for (const ATCL_CALLBACK* row = callbacks; row && (row->handler || row->command_name); ++row) {
        MSG_INTERNAL_ERROR_IF(!row->handler || !row->command_name, "ATCL");
        setup.callbacks.push_back(*row);
    }
}

int atcl_end_package_setup()
{
    return atcl_end_package_setup(atcl_get_interpreter());
}

int atcl_end_package_setup(Tcl_Interp* interp)
{
    PACKAGE_SETUP& setup = pending_setup();
    MSG_INTERNAL_ERROR_IF(!setup.active, "ATCL");
    int code = TCL_OK;
    if (!setup.unregister) code = interp ? create_package_commands(interp, setup) : TCL_ERROR;
    setup = PACKAGE_SETUP{};
    return code;
}

int atcl_unregister_package(Tcl_Interp* interp)
{
    const PACKAGE_SETUP& setup = pending_setup();
    MSG_INTERNAL_ERROR_IF(!setup.active || !setup.unregister, "ATCL");
    if (!interp) return TCL_ERROR;
    for (const std::string& command : package_commands()[setup.name]) {
        Tcl_DeleteCommand(interp, (setup.name + "::" + command).c_str());
    }
    // Forget the provided version so that a later load can provide it again.
    const ATCL_OBJ_PTR words[] = {ATCL_OBJ_PTR(Tcl_NewStringObj("package", -1)),
                                  ATCL_OBJ_PTR(Tcl_NewStringObj("forget", -1)),
                                  ATCL_OBJ_PTR(Tcl_NewStringObj(setup.package.c_str(), -1))};
    Tcl_Obj* objv[] = {words[0].get(), words[1].get(), words[2].get()};
    return Tcl_EvalObjv(interp, 3, objv, TCL_EVAL_GLOBAL);
}
