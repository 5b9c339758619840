//! @file messages_test.cpp
//! @brief The message catalogue and its misuse (argument insertion is the message library's).

#include <gtest/gtest.h>

#include <set>

#include "report/ipman_messages.h"

TEST(MessageCatalogue, EntriesAreUniqueAndWellFormed)
{
    const auto& catalogue = ipman_msg_catalogue();
    std::set<int> ids;
    std::set<std::string> identifiers;
    for (const IPMAN_MSG_DEF& def : catalogue) {
        const std::string identifier = def.identifier;
        EXPECT_TRUE(ids.insert(static_cast<int>(def.msg)).second) << identifier;
        EXPECT_TRUE(identifiers.insert(identifier).second) << identifier;
        EXPECT_EQ(std::string(def.format), std::string(def.text) + "/" + identifier);
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

TEST(MessageDeathTest, FailureTypesOutsideTheFailuresOrAWrongArgumentCountAreInternalErrors)
{
    for (int type : {0, 8}) {
        EXPECT_EXIT(get_msg_from_type("/p/x.v", static_cast<IPMAN_FAIL_REGEN_TYPE>(type)),
                    testing::ExitedWithCode(3), "get_msg_from_type\\(\\) accepts error types only")
            << type;
    }
    EXPECT_EXIT(ipman_make_msg(IPMAN_MSG::IIPMAN_IPRGEN_BACKUP_FILE, {"only one"}),
                testing::ExitedWithCode(3), "Internal Error");
}
