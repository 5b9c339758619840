// Option names, abbreviation tables and resolvers of the ::vorlin::ipman commands.
#include "tcl/ipman_tcl_args_auto.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace {

using ABBREVIATIONS = std::map<std::string, IPMAN_AUTO_ARGUMENT_ENUM>;

//! Every prefix of name from first up to and including last, for option.
void add_range(ABBREVIATIONS& table, const std::string& first, const std::string& last,
               IPMAN_AUTO_ARGUMENT_ENUM option)
{
    for (std::size_t length = first.size(); length <= last.size(); ++length)
        table[last.substr(0, length)] = option;
}

ABBREVIATIONS with_help(ABBREVIATIONS table)
{
    add_range(table, "he", "hel", IPMAN_AUTO_ARG_HELP);
    add_range(table, "l", "long_hel", IPMAN_AUTO_ARG_LONG_HELP);
    return table;
}

//! The accepted abbreviations of each command, written out as the command reference has them.
ABBREVIATIONS expected_abbreviations(IPMAN_TCL_CMD_ENUM command)
{
    ABBREVIATIONS table;
    switch (command) {
    case IPMAN_TCL_REGENERATE_IP:
        add_range(table, "a", "al", IPMAN_AUTO_ARG_ALL);
        add_range(table, "f", "file", IPMAN_AUTO_ARG_FILES);
        add_range(table, "o", "optiona", IPMAN_AUTO_ARG_OPTIONAL);
        add_range(table, "r", "require", IPMAN_AUTO_ARG_REQUIRED);
        break;
    case IPMAN_TCL_LIST_IP_CORES:
        add_range(table, "a", "al", IPMAN_AUTO_ARG_ALL);
        add_range(table, "o", "optiona", IPMAN_AUTO_ARG_OPTIONAL);
        add_range(table, "r", "require", IPMAN_AUTO_ARG_REQUIRED);
        break;
    case IPMAN_TCL_FIND_IP_INFO:
        add_range(table, "e", "entit", IPMAN_AUTO_ARG_ENTITY);
        break;
    case IPMAN_TCL_GET_IP_INFO_FIELD:
        add_range(table, "f", "fiel", IPMAN_AUTO_ARG_FIELD);
        table["i"] = IPMAN_AUTO_ARG_ID;
        break;
    case IPMAN_TCL_PORT_DIFF_ADD_IP:
        add_range(table, "new_f", "new_fil", IPMAN_AUTO_ARG_NEW_FILE);
        add_range(table, "new_v", "new_versio", IPMAN_AUTO_ARG_NEW_VERSION);
        add_range(table, "old_f", "old_fil", IPMAN_AUTO_ARG_OLD_FILE);
        add_range(table, "old_v", "old_versio", IPMAN_AUTO_ARG_OLD_VERSION);
        break;
    default:
        break;
    }
    return with_help(table);
}

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

TEST(IpmanAbbreviations, EveryCommandMatchesItsReferenceTable)
{
    for (int command = 0; command < IPMAN_TCL_IP_DEPLOY; ++command) {
        const auto id = static_cast<IPMAN_TCL_CMD_ENUM>(command);
        EXPECT_EQ(ipman_get_abbreviations(id), expected_abbreviations(id)) << ipman_get_command_name(id);
    }
}

TEST(IpmanAbbreviations, EveryAbbreviationResolvesToItsOption)
{
    for (int command = 0; command < IPMAN_TCL_IP_DEPLOY; ++command) {
        const auto id = static_cast<IPMAN_TCL_CMD_ENUM>(command);
        for (const auto& [word, option] : expected_abbreviations(id)) {
            EXPECT_EQ(resolve(id, word.c_str()), option) << ipman_get_command_name(id) << " -" << word;
        }
    }
}

TEST(IpmanResolver, FullNamesOfTheCommandAndOfHelp)
{
    EXPECT_EQ(resolve(IPMAN_TCL_REGENERATE_IP, "files"), IPMAN_AUTO_ARG_FILES);
    EXPECT_EQ(resolve(IPMAN_TCL_PORT_DIFF_ADD_IP, "old_version"), IPMAN_AUTO_ARG_OLD_VERSION);
    for (int command = 0; command < IPMAN_TCL_IP_DEPLOY; ++command) {
        const auto id = static_cast<IPMAN_TCL_CMD_ENUM>(command);
        EXPECT_EQ(resolve(id, "h"), IPMAN_AUTO_ARG_H);
        EXPECT_EQ(resolve(id, "help"), IPMAN_AUTO_ARG_HELP);
        EXPECT_EQ(resolve(id, "long_help"), IPMAN_AUTO_ARG_LONG_HELP);
    }
}

TEST(IpmanResolver, WordsOutsideTheTablesResolveToNothing)
{
    EXPECT_EQ(resolve(IPMAN_TCL_PORT_DIFF_ADD_IP, "new"), IPMAN_AUTO_ARG_NONE);
    EXPECT_EQ(resolve(IPMAN_TCL_PORT_DIFF_ADD_IP, "n"), IPMAN_AUTO_ARG_NONE);
    EXPECT_EQ(resolve(IPMAN_TCL_PORT_DIFF_ADD_IP, "old_"), IPMAN_AUTO_ARG_NONE);
    EXPECT_EQ(resolve(IPMAN_TCL_FIND_IP_INFO, "all"), IPMAN_AUTO_ARG_NONE);
    EXPECT_EQ(resolve(IPMAN_TCL_GET_GENERATED_IP_FILES, "ip_file_path"), IPMAN_AUTO_ARG_NONE);
    EXPECT_EQ(resolve(IPMAN_TCL_GET_GENERATED_IP_FILES, "i"), IPMAN_AUTO_ARG_NONE);
    EXPECT_EQ(resolve(IPMAN_TCL_GET_IP_LIST, "a"), IPMAN_AUTO_ARG_NONE);
    EXPECT_EQ(resolve(IPMAN_TCL_REGENERATE_IP, "ALL"), IPMAN_AUTO_ARG_NONE);   // case counts
    EXPECT_EQ(resolve(IPMAN_TCL_REGENERATE_IP, "allx"), IPMAN_AUTO_ARG_NONE);  // no longer words
    EXPECT_EQ(resolve(IPMAN_TCL_REGENERATE_IP, ""), IPMAN_AUTO_ARG_EMPTY_WORD);
    EXPECT_EQ(resolve(IPMAN_TCL_REGENERATE_IP, nullptr), IPMAN_AUTO_ARG_EMPTY_WORD);
}

TEST(IpmanResolver, DefinitionsCarryTheCommandsResolver)
{
    const ATCL_CMD_DEFINITION* regenerate = ipman_get_command_definition(IPMAN_TCL_REGENERATE_IP);
    const ATCL_CMD_DEFINITION* add_ip = ipman_get_command_definition(IPMAN_TCL_PORT_DIFF_ADD_IP);
    EXPECT_EQ(regenerate->resolve_option("o"), IPMAN_AUTO_ARG_OPTIONAL);
    EXPECT_EQ(add_ip->resolve_option("o"), IPMAN_AUTO_ARG_NONE);
    EXPECT_EQ(add_ip->resolve_option("old_f"), IPMAN_AUTO_ARG_OLD_FILE);
}
