//! @file ipman_messages.h
//! @brief The module's message catalogue and the helpers that build and post its messages.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include <msg/msg.h>

#include <ipman/ipman_ip_info.h>

//! Every message of the module; the enumerator is the textual identifier, its value the
//! numeric id.
enum class IPMAN_MSG : int {
    IIPMAN_IPRGEN_SUCCESSFUL = 11131,
    EIPMAN_IPRGEN_FAILED = 11133,
    EIPMAN_INVALID_FILE = 11136,
    IIPMAN_IPRGEN_START = 11837,
    IIPMAN_IPRGEN_NO_REQUIRED_REGEN_IP = 11838,
    EIPMAN_IPRGEN_MANUAL_REGEN_STANDALONE_IP = 11889,
    EIPMAN_IPRGEN_MANUAL_REGEN_TESSEL_SYSTEM = 11890,
    EIPMAN_IPRGEN_NOT_VARIATION_FILE = 11901,
    IIPMAN_IPRGEN_BACKUP_FILE = 11902,
    EIPMAN_READ_ONLY_FILE = 11903,
    IIPMAN_IPRGEN_RESTORE_FILE = 11904,
    IIPMAN_IPRGEN_NO_OPTIONAL_REGEN_IP = 11991,
    IIPMAN_IPRGEN_NO_IP = 11992,
    EIPMAN_IPRGEN_NO_CMD_SUPPORT = 12354,
    EIPMAN_IPRGEN_VKELVANE_SILENT_FAILED = 14921,
    EIPMAN_IPRGEN_TESSEL_UPGRADE_VARIATION_FAILED = 14922,
    EIPMAN_IPRGEN_TESSEL_UPGRADE_IP_CORES_FAILED = 14923,
    IIPMAN_EXT_PROC_INFO_MSG = 20325,
    WIPMAN_EXT_PROC_WARNING_MSG = 20326,
    EIPMAN_EXT_PROC_ERROR_MSG = 20327,
    IIPMAN_IP_FILE_FROM_TCL_RENAMED = 23821,
};

//! One catalogue entry. format is text "/" identifier, as the message library expects.
struct IPMAN_MSG_DEF {
    IPMAN_MSG msg;
    const char* identifier;
    const char* text;
    const char* format;
    MSG_POST_TYPE severity;
    int arg_count;  //!< number of "%N!s!" arguments the text takes
};

//! The whole catalogue, in numeric-id order.
const std::vector<IPMAN_MSG_DEF>& ipman_msg_catalogue();
//! The catalogue entry of a message.
const IPMAN_MSG_DEF& ipman_msg_def(IPMAN_MSG msg);

//! Builds a message of the catalogue with its arguments, inserted verbatim, ready to post.
//! An information or warning id that the default message index skips yields a null
//! message (posting it does nothing); errors are never skipped. A wrong number of
//! arguments is a broken invariant.
std::unique_ptr<MSG_BASE> ipman_make_msg(IPMAN_MSG msg, const std::vector<std::string>& args = {});
//! Builds and posts a message of the catalogue.
void ipman_post_msg(IPMAN_MSG msg, const std::vector<std::string>& args = {});

//! The error message of a failed upgrade (types 1 to 7) naming the file, not posted; the
//! caller owns it. Any other type is a broken invariant.
std::unique_ptr<MSG_BASE> get_msg_from_type(const std::string& file, const IPMAN_FAIL_REGEN_TYPE& type);
