// Option names and resolvers of the ::vorlin::ipman commands, and their registration; the
// shell's end-to-end tests cover the commands as users see them.
#include "tcl/ipman_tcl_args_auto.h"
#include "tcl/ipman_tcl_impl.h"

#include <gtest/gtest.h>

#include <string>

namespace {

IPMAN_AUTO_ARGUMENT_ENUM resolve(IPMAN_TCL_CMD_ENUM command, const char* word)
{
    return ipman_resolve_option(command, word);
}

}  // namespace

TEST(IpmanOptionNamesDeathTest, NumbersOutsideTheTableAreAnInternalError)
{
    EXPECT_EXIT(ipman_get_option_name(0), ::testing::ExitedWithCode(3), "illegal IPMAN_AUTO_ARGUMENT_ENUM");
    EXPECT_EXIT(ipman_get_option_name(16), ::testing::ExitedWithCode(3), "illegal IPMAN_AUTO_ARGUMENT_ENUM");
}

TEST(IpmanResolver, WordsOutsideTheTablesResolveToNothing)
{
    EXPECT_EQ(resolve(IPMAN_TCL_PORT_DIFF_ADD_IP, "old_"), IPMAN_AUTO_ARG_NONE);  // ambiguous
    EXPECT_EQ(resolve(IPMAN_TCL_FIND_IP_INFO, "all"), IPMAN_AUTO_ARG_NONE);       // another command's
    EXPECT_EQ(resolve(IPMAN_TCL_GET_GENERATED_IP_FILES, "ip_file_path"), IPMAN_AUTO_ARG_NONE);  // positional
    EXPECT_EQ(resolve(IPMAN_TCL_REGENERATE_IP, "ALL"), IPMAN_AUTO_ARG_NONE);                    // case counts
    EXPECT_EQ(resolve(IPMAN_TCL_REGENERATE_IP, "allx"), IPMAN_AUTO_ARG_NONE);  // no longer words
    EXPECT_EQ(resolve(IPMAN_TCL_REGENERATE_IP, ""), IPMAN_AUTO_ARG_EMPTY_WORD);
    EXPECT_EQ(resolve(IPMAN_TCL_REGENERATE_IP, nullptr), IPMAN_AUTO_ARG_EMPTY_WORD);
}

TEST(IpmanEntryPointsDeathTest, RegistrationNeedsAnInterpreter)
{
    ASSERT_EQ(atcl_get_interpreter(), nullptr);
    EXPECT_EXIT(ipman_ipman_register_tcl(), ::testing::ExitedWithCode(3),
                "A Tcl interpreter must exist before registering ::vorlin::ipman!");
    EXPECT_EXIT(ipman_ipman_unregister_tcl(), ::testing::ExitedWithCode(3), "");
}
