//! @file test_messages.cpp
//! @brief Message arguments, suppression and the internal-error report.
#include "support/test_support.h"

#include <cfg/cfg.h>
#include <msg/msg.h>

#include <gtest/gtest.h>

namespace {

class Messages : public testing::Test {
protected:
    void SetUp() override { msg_clear_posted_messages(); }
    void TearDown() override
    {
        cfg_set_value("suppress_message_ids", "");
        MSG_INDEX::get_default_index().reload_from_user_settings();
        msg_clear_posted_messages();
    }

    //! Posts and returns what reached standard output.
    static std::string printed_by(MSG_BASE& message)
    {
        testing::internal::CaptureStdout();
        message.post();
        return testing::internal::GetCapturedStdout();
    }
};

TEST_F(Messages, ArgumentsAreInsertedVerbatim)
{
    MSG_E message;
    message.fill_args("IP component %1!s! with file \"%2!s!\" upgrade failed/EIPMAN_IPRGEN_FAILED",
                      "%2!s! 100%", "/p/a \"b\"/%1!s!.v");
    EXPECT_EQ(message.get_msg_text(),
              "IP component %2!s! 100% with file \"/p/a \"b\"/%1!s!.v\" upgrade failed");
    EXPECT_EQ(message.get_identifier(), "EIPMAN_IPRGEN_FAILED");

    EXPECT_EQ(msg_fill_placeholders("%3!s!-%1!s!-%9!s!", {"a", "b", "c"}), "c-a-");
    EXPECT_EQ(msg_fill_placeholders("100% %0!s! %1!d! %1", {"a"}), "100% %0!s! %1!d! %1");
    EXPECT_EQ(msg_fill_placeholders("%1!s!%1!s!", {"%"}), "%%");
}

TEST_F(Messages, SuppressedIdsSkipInformationAndWarningsNeverErrors)
{
    cfg_set_value("suppress_message_ids", "20325, 11902 junk");
    MSG_INDEX::get_default_index().suppress(20326);
    int heard = 0;
    const int handle = msg_add_listener([&heard](const MSG_RECORD&) { ++heard; });

    MSG_I info;
    info.fill_args("%1!s!/IIPMAN_EXT_PROC_INFO_MSG", "line");
    info.set_id(20325);
    MSG_W warning;
    warning.fill_args("%1!s!/WIPMAN_EXT_PROC_WARNING_MSG", "line");
    warning.set_id(20326);
    MSG_E error;
    error.fill_args("%1!s!/EIPMAN_EXT_PROC_ERROR_MSG", "line");
    error.set_id(20325);
    MSG_I_NULL null_message;
    null_message.fill_args("never/IIPMAN_X");

    EXPECT_EQ(printed_by(info), "");
    EXPECT_EQ(printed_by(warning), "");
    EXPECT_EQ(printed_by(null_message), "");
    testing::internal::CaptureStdout();
    msg_post_text(MSG_POST_INFO, "backup", 11902);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(printed_by(error), "Error (20325): line\n");
    msg_remove_listener(handle);

    EXPECT_EQ(heard, 1);
    ASSERT_EQ(msg_posted_messages().size(), 1u);
    EXPECT_EQ(msg_posted_messages()[0].type, MSG_POST_ERROR);

    MSG_INDEX::get_default_index().unsuppress(20326);
    EXPECT_FALSE(MSG_INDEX::get_default_index().is_suppressed(20326));
    EXPECT_TRUE(MSG_INDEX::get_default_index().is_suppressed(11902));
}

TEST(InternalErrorDeathTest, ReportsToStandardErrorAndExitsWithThree)
{
    EXPECT_EXIT(MSG_INTERNAL_ERROR::report("ip_mgr != NULL", "IPMAN", "ipman/ipman_x.cpp", 42),
                testing::ExitedWithCode(3),
                "^Internal Error: Sub-system: IPMAN, File: ipman/ipman_x.cpp, Line: 42\nip_mgr != NULL\n$");
    EXPECT_EXIT(MSG_INTERNAL_ERROR_IF(1 + 1 == 2, "ACF"), testing::ExitedWithCode(3),
                "Sub-system: ACF, File: .*test_messages.cpp, Line: [0-9]+\n1 \\+ 1 == 2");
}

}  // namespace
