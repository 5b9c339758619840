//! @file ipman_messages.cpp
//! @brief The module's message catalogue, its id registration at load time, and the builders.

#include "report/ipman_messages.h"

#include "support/ipman_debug.h"

#include <algorithm>
#include <iterator>

namespace {

// Format strings are the text and the identifier joined by "/", spelled once here.
#define IPMAN_MSG_ENTRY(NAME, TEXT, SEVERITY, ARGS)                                                          \
    IPMAN_MSG_DEF                                                                                            \
    {                                                                                                        \
        IPMAN_MSG::NAME, #NAME, TEXT, TEXT "/" #NAME, SEVERITY, ARGS                                         \
    }

constexpr IPMAN_MSG_DEF CATALOGUE[] = {
    IPMAN_MSG_ENTRY(IIPMAN_IPRGEN_SUCCESSFUL, "Completed upgrading IP component %1!s! with file \"%2!s!\"",
                    MSG_POST_INFO, 2),
    IPMAN_MSG_ENTRY(EIPMAN_IPRGEN_FAILED, "IP component %1!s! with file \"%2!s!\" upgrade failed",
                    MSG_POST_ERROR, 2),
    IPMAN_MSG_ENTRY(EIPMAN_INVALID_FILE, "File \"%1!s!\" does not exist or the file path is invalid",
                    MSG_POST_ERROR, 1),
    IPMAN_MSG_ENTRY(IIPMAN_IPRGEN_START, "Started upgrading IP component %1!s! with file \"%2!s!\"",
                    MSG_POST_INFO, 2),
    IPMAN_MSG_ENTRY(IIPMAN_IPRGEN_NO_REQUIRED_REGEN_IP,
                    "No IP component that requires a required upgrade is found in the project", MSG_POST_INFO,
                    0),
    IPMAN_MSG_ENTRY(EIPMAN_IPRGEN_MANUAL_REGEN_STANDALONE_IP, "IP component upgrade failed", MSG_POST_ERROR,
                    0),
    IPMAN_MSG_ENTRY(EIPMAN_IPRGEN_MANUAL_REGEN_TESSEL_SYSTEM,
                    "Unable to automatically upgrade IP component from Vorlin Standard. To upgrade, "
                    "open \"%1!s!\" in Plandor.",
                    MSG_POST_ERROR, 1),
    IPMAN_MSG_ENTRY(EIPMAN_IPRGEN_NOT_VARIATION_FILE, "File %1!s! is not a valid variation file",
                    MSG_POST_ERROR, 1),
    IPMAN_MSG_ENTRY(IIPMAN_IPRGEN_BACKUP_FILE, "Backing up file \"%1!s!\" to \"%2!s!\"", MSG_POST_INFO, 2),
    IPMAN_MSG_ENTRY(EIPMAN_READ_ONLY_FILE, "File \"%1!s!\" is write-protected", MSG_POST_ERROR, 1),
    IPMAN_MSG_ENTRY(IIPMAN_IPRGEN_RESTORE_FILE, "Restoring file \"%1!s!\" to \"%2!s!\"", MSG_POST_INFO, 2),
    IPMAN_MSG_ENTRY(IIPMAN_IPRGEN_NO_OPTIONAL_REGEN_IP,
                    "No IP component that requires an optional upgrade is found in the project",
                    MSG_POST_INFO, 0),
    IPMAN_MSG_ENTRY(IIPMAN_IPRGEN_NO_IP, "No IP components found in the project", MSG_POST_INFO, 0),
    IPMAN_MSG_ENTRY(EIPMAN_IPRGEN_NO_CMD_SUPPORT,
                    "IP component \"%1!s!\" does not support IP component upgrade through command line",
                    MSG_POST_ERROR, 1),
    IPMAN_MSG_ENTRY(EIPMAN_IPRGEN_VKELVANE_SILENT_FAILED, "Error upgrading IP component \"%1!s!\".",
                    MSG_POST_ERROR, 1),
    IPMAN_MSG_ENTRY(EIPMAN_IPRGEN_TESSEL_UPGRADE_VARIATION_FAILED,
                    "Error upgrading \"%1!s!\" to Plandor file", MSG_POST_ERROR, 1),
    IPMAN_MSG_ENTRY(EIPMAN_IPRGEN_TESSEL_UPGRADE_IP_CORES_FAILED, "Error upgrading Plandor file \"%1!s!\"",
                    MSG_POST_ERROR, 1),
    IPMAN_MSG_ENTRY(IIPMAN_EXT_PROC_INFO_MSG, "%1!s!", MSG_POST_INFO, 1),
    IPMAN_MSG_ENTRY(WIPMAN_EXT_PROC_WARNING_MSG, "%1!s!", MSG_POST_WARNING, 1),
    IPMAN_MSG_ENTRY(EIPMAN_EXT_PROC_ERROR_MSG, "%1!s!", MSG_POST_ERROR, 1),
    IPMAN_MSG_ENTRY(IIPMAN_IP_FILE_FROM_TCL_RENAMED,
                    "IP file \"%1!s!\" from Tcl file \"%2!s!\" was renamed to \"%3!s!\" and will be "
                    "added to Vorlin settings file (.vsf)",
                    MSG_POST_INFO, 3),
};

#undef IPMAN_MSG_ENTRY

// Ids registered with the message service. 11135 and 11250 are registered as errors for
// the suite's sake although no message of this module uses them.
constexpr int REGISTERED_IDS[] = {
    11133, 11131, 11135, 11136, 11903, 11250, 11837, 11838, 11991, 11992, 11889, 11890,
    11901, 11902, 11904, 12354, 14921, 14922, 14923, 20325, 20326, 20327, 23821,
};
constexpr MSG_POST_TYPE REGISTERED_TYPES[] = {
    MSG_POST_ERROR, MSG_POST_INFO, MSG_POST_ERROR,   MSG_POST_ERROR, MSG_POST_ERROR, MSG_POST_ERROR,
    MSG_POST_INFO,  MSG_POST_INFO, MSG_POST_INFO,    MSG_POST_INFO,  MSG_POST_ERROR, MSG_POST_ERROR,
    MSG_POST_ERROR, MSG_POST_INFO, MSG_POST_INFO,    MSG_POST_ERROR, MSG_POST_ERROR, MSG_POST_ERROR,
    MSG_POST_ERROR, MSG_POST_INFO, MSG_POST_WARNING, MSG_POST_ERROR, MSG_POST_INFO,
};
static_assert(std::size(REGISTERED_IDS) == 23 && std::size(REGISTERED_TYPES) == 23,
              "the id and severity tables run in parallel");

const MSG_ID_REGISTRAR ID_REGISTRATION(REGISTERED_IDS, REGISTERED_TYPES, std::size(REGISTERED_IDS));

std::unique_ptr<MSG_BASE> new_message_object(MSG_POST_TYPE severity, int id)
{
    const bool skipped = severity != MSG_POST_ERROR && MSG_INDEX::get_default_index().is_suppressed(id);
    switch (severity) {
    case MSG_POST_ERROR:
        return std::make_unique<MSG_E>();
    case MSG_POST_WARNING:
        return skipped ? std::unique_ptr<MSG_BASE>(std::make_unique<MSG_W_NULL>())
                       : std::make_unique<MSG_W>();
    case MSG_POST_INFO:
        break;
    }
    return skipped ? std::unique_ptr<MSG_BASE>(std::make_unique<MSG_I_NULL>()) : std::make_unique<MSG_I>();
}

}  // namespace

const std::vector<IPMAN_MSG_DEF>& ipman_msg_catalogue()
{
    static const std::vector<IPMAN_MSG_DEF> catalogue(std::begin(CATALOGUE), std::end(CATALOGUE));
    return catalogue;
}

const IPMAN_MSG_DEF& ipman_msg_def(IPMAN_MSG msg)
{
    const IPMAN_MSG_DEF* found = std::find_if(std::begin(CATALOGUE), std::end(CATALOGUE),
                                              [msg](const IPMAN_MSG_DEF& def) { return def.msg == msg; });
    MSG_INTERNAL_ERROR_IF(found == std::end(CATALOGUE), IPMAN_MODULE_TAG);
    return *found;
}

std::unique_ptr<MSG_BASE> ipman_make_msg(IPMAN_MSG msg, const std::vector<std::string>& args)
{
    const IPMAN_MSG_DEF& def = ipman_msg_def(msg);
    MSG_INTERNAL_ERROR_IF(static_cast<int>(args.size()) != def.arg_count, IPMAN_MODULE_TAG);
    const int id = static_cast<int>(msg);
    std::unique_ptr<MSG_BASE> message = new_message_object(def.severity, id);
    message->fill_args(def.format, args);
    message->set_id(id);
    return message;
}

void ipman_post_msg(IPMAN_MSG msg, const std::vector<std::string>& args)
{
    ipman_make_msg(msg, args)->post();
}

std::unique_ptr<MSG_BASE> get_msg_from_type(const std::string& file, const IPMAN_FAIL_REGEN_TYPE& type)
{
    static const IPMAN_MSG by_type[] = {
        IPMAN_MSG::EIPMAN_INVALID_FILE,
        IPMAN_MSG::EIPMAN_READ_ONLY_FILE,
        IPMAN_MSG::EIPMAN_IPRGEN_NOT_VARIATION_FILE,
        IPMAN_MSG::EIPMAN_IPRGEN_VKELVANE_SILENT_FAILED,
        IPMAN_MSG::EIPMAN_IPRGEN_TESSEL_UPGRADE_VARIATION_FAILED,
        IPMAN_MSG::EIPMAN_IPRGEN_TESSEL_UPGRADE_IP_CORES_FAILED,
        IPMAN_MSG::EIPMAN_IPRGEN_NO_CMD_SUPPORT,
    };
    if (type < IPMAN_FAIL_INVALID_FILE || type > IPMAN_FAIL_NO_CMD_SUPPORT)
        MSG_INTERNAL_ERROR::report("get_msg_from_type() accepts error types only", IPMAN_MODULE_TAG, __FILE__,
                                   __LINE__);
    return ipman_make_msg(by_type[type - IPMAN_FAIL_INVALID_FILE], {file});
}
