// Option parsing of the Tcl command framework: values, help, and each kind of bad call.
#include <atcl/atcl.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

enum TEST_OPTION : int { T_NAME = 4, T_NEW_FILE, T_NEW_VERSION, T_QUIET, T_PATH };

const char* test_option_name(int option)
{
    static const char* const names[] = {"",         "h",           "help",  "long_help", "name",
                                        "new_file", "new_version", "quiet", "path"};
    return option > 0 && option <= T_PATH ? names[option] : nullptr;
}

const ATCL_OPTION_ENTRY test_options[] = {
    {T_NAME, 1, ATCL_OPTION_REQUIRED, 0, nullptr, nullptr},
    {T_NEW_FILE, 1, ATCL_OPTION_OPTIONAL, 0, nullptr, nullptr},
    {T_NEW_VERSION, 1, ATCL_OPTION_OPTIONAL, 0, nullptr, nullptr},
    {T_QUIET, 0, ATCL_OPTION_OPTIONAL, 0, nullptr, nullptr},
    {T_PATH, 1, ATCL_OPTION_POSITIONAL, 0, nullptr, nullptr},
    {0, 0, 0, 0, nullptr, nullptr},
};

int resolve_test_option(const char* word)
{
    return atcl_resolve_option_by_prefix(word, test_option_name, test_options);
}

const ATCL_CMD_DEFINITION test_definition = {"test",  "frob",  test_option_name, resolve_test_option,
                                             nullptr, nullptr, test_options,     nullptr,
                                             nullptr, nullptr};
const ATCL_OPTION_HELP test_help_rows[] = {
    {T_NAME, "Name to frob."}, {T_PATH, "Where to frob."}, {0, nullptr}};
const ATCL_CMD_HELP test_help = {"Frobs a thing.", "Frobbing is idempotent.", test_help_rows};

std::string parse_error(const std::vector<std::string>& words)
{
    const ATCL_CMD cmd(test_definition);
    ATCL_ARGS args;
    try {
        args.parse_words(cmd, words);
    } catch (const ATCL_USAGE_ERROR& error) {
        return error.what();
    }
    return "(no error)";
}

}  // namespace

TEST(AtclArgs, NamedFlagAndPositionalValuesAreKept)
{
    const ATCL_CMD cmd(test_definition);
    ATCL_ARGS args;
    EXPECT_EQ(args.parse_words(cmd, {"some/path", "-na", "top", "-q", "-new_f", "-x.v"}), ATCL_NO_OPTION);
    EXPECT_EQ(args.get_one_arg_option(T_NAME), "top");
    EXPECT_TRUE(args.get_no_arg_option(T_QUIET));
    EXPECT_EQ(args.get_one_arg_option(T_NEW_FILE), "-x.v");  // a value may begin with a dash
    EXPECT_EQ(args.get_one_arg_pos_option(0), "some/path");
    EXPECT_EQ(args.get_one_arg_option(T_PATH), "some/path");
    EXPECT_FALSE(args.is_option_specified_by_user(T_NEW_VERSION));
    EXPECT_EQ(args.get_one_arg_option(T_NEW_VERSION), "");
    EXPECT_EQ(args.get_one_arg_pos_option(1), "");
}

TEST(AtclArgs, BadCallsAreNamedClearly)
{
    EXPECT_EQ(parse_error({"-name", "n", "-bogus", "p"}),
              "ERROR: Unknown option \"-bogus\" of frob. Type \"frob -h\" for its usage.");
    EXPECT_EQ(parse_error({"-name", "n", "-new", "x", "p"}),
              "ERROR: Ambiguous option \"-new\" of frob: it could be -new_file or -new_version.");
    EXPECT_EQ(parse_error({"-name", "n", "-path", "p"}).rfind("ERROR: \"-path\" is not an option of frob", 0),
              0u);
    EXPECT_EQ(parse_error({"-name", "n", "p", "-quiet", "extra"}),
              "ERROR: Option \"-quiet\" of frob takes no value, but \"extra\" follows it.");
    EXPECT_EQ(parse_error({"p", "-name"}), "ERROR: Option \"-name\" of frob needs a value.");
    EXPECT_EQ(parse_error({"p"}), "ERROR: Missing required option \"-name\" of frob.");
    EXPECT_EQ(parse_error({"-name", "n"}), "ERROR: Missing required argument <path> of frob.");
    EXPECT_EQ(parse_error({"-name", "n", "p", "q"}), "ERROR: Unexpected argument \"q\" for frob.");
    EXPECT_EQ(parse_error({"-name", "n", "-name", "m", "p"}),
              "ERROR: Option \"-name\" of frob is given more than once.");
    EXPECT_EQ(parse_error({"-", "p"}),
              "ERROR: Unknown option \"-\" of frob. Type \"frob -h\" for its usage.");
}

TEST(AtclCmd, UsageAndHelpTexts)
{
    const ATCL_CMD cmd(test_definition, &test_help);
    EXPECT_EQ(cmd.usage_line(), "Usage: frob [-h | -help | -long_help] -name <name> [-new_file <new_file>] "
                                "[-new_version <new_version>] [-quiet] <path>");
    const std::string help = cmd.help_text(false);
    EXPECT_NE(help.find("Frobs a thing."), std::string::npos);
    EXPECT_NE(help.find("Name to frob."), std::string::npos);
    EXPECT_NE(help.find("<path>"), std::string::npos);
    EXPECT_EQ(help.find("idempotent"), std::string::npos);
    EXPECT_NE(cmd.help_text(true).find("Frobbing is idempotent."), std::string::npos);
}
