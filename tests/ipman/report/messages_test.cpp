//! @file messages_test.cpp
//! @brief The message catalogue, its registration, suppression and the failure messages.

#include <gtest/gtest.h>

#include <set>

#include "report/ipman_messages.h"

namespace {

//! Suppresses one id for the test's lifetime.
class SUPPRESSED_ID {
public:
    explicit SUPPRESSED_ID(int id) : m_id(id) { MSG_INDEX::get_default_index().suppress(id); }
    ~SUPPRESSED_ID() { MSG_INDEX::get_default_index().unsuppress(m_id); }

private:
    int m_id;
};

bool is_null_message(const MSG_BASE& message)
{
    return dynamic_cast<const MSG_I_NULL*>(&message) != nullptr ||
           dynamic_cast<const MSG_W_NULL*>(&message) != nullptr;
}

}  // namespace

TEST(MessageCatalogue, EntriesAreUniqueAndWellFormed)
{
    const auto& catalogue = ipman_msg_catalogue();
    EXPECT_EQ(catalogue.size(), 21u);
    std::set<int> ids;
    std::set<std::string> identifiers;
    for (const IPMAN_MSG_DEF& def : catalogue) {
        const std::string identifier = def.identifier;
        EXPECT_TRUE(ids.insert(static_cast<int>(def.msg)).second) << identifier;
        EXPECT_TRUE(identifiers.insert(identifier).second) << identifier;
        EXPECT_EQ(std::string(def.format), std::string(def.text) + "/" + identifier);
        ASSERT_GE(identifier.size(), 7u);
        EXPECT_EQ(identifier.substr(1, 6), "IPMAN_");
        const char expected_letter = def.severity == MSG_POST_ERROR     ? 'E'
                                     : def.severity == MSG_POST_WARNING ? 'W'
                                                                        : 'I';
        EXPECT_EQ(identifier[0], expected_letter) << identifier;
        const std::string text = def.text;
        for (int arg = 1; arg <= 3; ++arg)
            EXPECT_EQ(text.find("%" + std::to_string(arg) + "!s!") != std::string::npos, arg <= def.arg_count)
                << identifier;
    }
}

TEST(MessageCatalogue, IdsAreRegisteredWithTheirSeverityAtLoadTime)
{
    for (const IPMAN_MSG_DEF& def : ipman_msg_catalogue()) {
        MSG_POST_TYPE registered = MSG_POST_INFO;
        ASSERT_TRUE(MSG_ID_REGISTRAR::lookup(static_cast<int>(def.msg), registered)) << def.identifier;
        EXPECT_EQ(registered, def.severity) << def.identifier;
    }
    for (int unused_error : {11135, 11250}) {
        MSG_POST_TYPE registered = MSG_POST_INFO;
        ASSERT_TRUE(MSG_ID_REGISTRAR::lookup(unused_error, registered));
        EXPECT_EQ(registered, MSG_POST_ERROR);
    }
}

TEST(MessageBuilding, ArgumentsAreInsertedVerbatim)
{
    const auto message =
        ipman_make_msg(IPMAN_MSG::IIPMAN_IPRGEN_START, {"fir %1!s! 100%", "/p/a \"b\"/%2!s!.v"});
    EXPECT_EQ(message->get_msg_text(),
              "Started upgrading IP component fir %1!s! 100% with file \"/p/a \"b\"/%2!s!.v\"");
    EXPECT_EQ(message->get_identifier(), "IIPMAN_IPRGEN_START");
    EXPECT_EQ(message->get_id(), 11837);
    EXPECT_EQ(message->get_type(), MSG_POST_INFO);
}

TEST(MessageBuilding, PostingKeepsIdentifierIdAndText)
{
    msg_clear_posted_messages();
    ipman_post_msg(IPMAN_MSG::IIPMAN_IPRGEN_NO_IP);
    ASSERT_EQ(msg_posted_messages().size(), 1u);
    const MSG_RECORD& posted = msg_posted_messages().front();
    EXPECT_EQ(posted.id, 11992);
    EXPECT_EQ(posted.identifier, "IIPMAN_IPRGEN_NO_IP");
    EXPECT_EQ(posted.text, "No IP components found in the project");
}

TEST(MessageBuilding, SuppressionSilencesInformationAndWarningsButNeverErrors)
{
    SUPPRESSED_ID info(20325);
    SUPPRESSED_ID error(20327);
    EXPECT_TRUE(is_null_message(*ipman_make_msg(IPMAN_MSG::IIPMAN_EXT_PROC_INFO_MSG, {"line"})));
    const auto warning = ipman_make_msg(IPMAN_MSG::WIPMAN_EXT_PROC_WARNING_MSG, {"Warning: x"});
    EXPECT_FALSE(is_null_message(*warning));
    EXPECT_EQ(warning->get_type(), MSG_POST_WARNING);
    const auto message = ipman_make_msg(IPMAN_MSG::EIPMAN_EXT_PROC_ERROR_MSG, {"Error: y"});
    EXPECT_FALSE(is_null_message(*message));
    EXPECT_EQ(message->get_msg_text(), "Error: y");
}

TEST(FailureMessages, EachFailTypeNamesTheFile)
{
    const struct {
        IPMAN_FAIL_REGEN_TYPE type;
        int id;
        const char* text;
    } expected[] = {
        {IPMAN_FAIL_INVALID_FILE, 11136, "File \"/p/x.v\" does not exist or the file path is invalid"},
        {IPMAN_FAIL_READ_ONLY_FILE, 11903, "File \"/p/x.v\" is write-protected"},
        {IPMAN_FAIL_NOT_VARIATION_FILE, 11901, "File /p/x.v is not a valid variation file"},
        {IPMAN_FAIL_VKELVANE_SILENT_FAILED, 14921, "Error upgrading IP component \"/p/x.v\"."},
        {IPMAN_FAIL_TESSEL_UPGRADE_VARIATION_FAILED, 14922, "Error upgrading \"/p/x.v\" to Plandor file"},
        {IPMAN_FAIL_TESSEL_UPGRADE_IP_CORES_FAILED, 14923, "Error upgrading Plandor file \"/p/x.v\""},
        {IPMAN_FAIL_NO_CMD_SUPPORT, 12354,
         "IP component \"/p/x.v\" does not support IP component upgrade through command line"},
    };
    for (const auto& entry : expected) {
        const std::unique_ptr<MSG_BASE> message = get_msg_from_type("/p/x.v", entry.type);
        ASSERT_NE(message, nullptr);
        EXPECT_EQ(message->get_type(), MSG_POST_ERROR);
        EXPECT_EQ(message->get_id(), entry.id);
        EXPECT_EQ(message->get_msg_text(), entry.text);
    }
}

TEST(FailureMessagesDeathTest, TypesOutsideTheFailuresAreInternalErrors)
{
    for (int type : {0, 8}) {
        EXPECT_EXIT(get_msg_from_type("/p/x.v", static_cast<IPMAN_FAIL_REGEN_TYPE>(type)),
                    testing::ExitedWithCode(3), "get_msg_from_type\\(\\) accepts error types only")
            << type;
    }
}

TEST(MessageBuildingDeathTest, AWrongArgumentCountIsAnInternalError)
{
    EXPECT_EXIT(ipman_make_msg(IPMAN_MSG::IIPMAN_IPRGEN_BACKUP_FILE, {"only one"}),
                testing::ExitedWithCode(3), "Internal Error");
}
