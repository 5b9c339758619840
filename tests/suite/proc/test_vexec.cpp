//! @file test_vexec.cpp
//! @brief `vexec` in a real interpreter against a temporary installation whose bin/ holds
//! small shell tools: relayed messages, failures as Tcl errors, tool names kept in bin/.
#include <atcl/atcl.h>
#include <atcl/atcl_vexec.h>
#include <msg/msg.h>

#include "support/test_support.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include <sys/stat.h>

namespace {

class VexecTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Tcl_FindExecutable(nullptr);
        std::filesystem::create_directories(m_root.file("bin"));
        std::filesystem::create_directories(m_root.file("project dir"));
        m_interp.reset(Tcl_CreateInterp());
        atcl_register_vexec_command(m_interp.get());
        msg_clear_posted_messages();
    }

    void add_tool(const std::string& name, const std::string& body)
    {
        write_script(m_root.file("bin/" + name), body);
    }

    //! Runs `vexec` with one command-line word; answers the completion code.
    int vexec(const std::string& command_line)
    {
        Tcl_Obj* words[2] = {Tcl_NewStringObj("vexec", -1), Tcl_NewStringObj(command_line.c_str(), -1)};
        for (Tcl_Obj* word : words)
            Tcl_IncrRefCount(word);
        const int code = Tcl_EvalObjv(m_interp.get(), 2, words, TCL_EVAL_GLOBAL);
        for (Tcl_Obj* word : words)
            Tcl_DecrRefCount(word);
        return code;
    }

    std::string result() const { return Tcl_GetStringResult(m_interp.get()); }

    static std::vector<std::pair<MSG_POST_TYPE, std::string>> posted()
    {
        std::vector<std::pair<MSG_POST_TYPE, std::string>> messages;
        for (const MSG_RECORD& record : msg_posted_messages())
            messages.emplace_back(record.type, record.text);
        return messages;
    }

    TEMP_DIR m_root;
    SCOPED_ENV m_rootdir{"VORLIN_ROOTDIR", m_root.path()};
    ATCL_INTERP_PTR m_interp;
};

using MESSAGES = std::vector<std::pair<MSG_POST_TYPE, std::string>>;

}  // namespace

TEST_F(VexecTest, RelaysEachLineWithTheSeverityItsWordsGive)
{
    add_tool("talk", "printf 'plain line\\n  \\nWarning: careful\\r\\nInfo: told\\n'\n"
                     "printf '<b>Error:</b> broken\\nError: and Warning: both\\nlast without break'\n");
    ASSERT_EQ(vexec("talk"), TCL_OK) << result();
    EXPECT_EQ(result(), "");
    EXPECT_EQ(posted(), (MESSAGES{{MSG_POST_INFO, "plain line"},
                                  {MSG_POST_WARNING, "careful"},
                                  {MSG_POST_INFO, "told"},
                                  {MSG_POST_ERROR, "broken"},
                                  {MSG_POST_WARNING, "Error: and Warning: both"},
                                  {MSG_POST_INFO, "last without break"}}));
}

TEST_F(VexecTest, ArgumentsAreSplitLikeTheProcessLibraryAndTheToolRunsInTheCurrentDirectory)
{
    add_tool("args", "pwd -P; for a in \"$@\"; do echo \"[$a]\"; done\n");
    const auto caller = std::filesystem::current_path();
    std::filesystem::current_path(m_root.file("project dir"));
    const int code = vexec("args -silent \"/p/my var;$x.v\" `id`");
    std::filesystem::current_path(caller);
    ASSERT_EQ(code, TCL_OK) << result();
    const std::string here = std::filesystem::canonical(m_root.file("project dir")).string();
    EXPECT_EQ(posted(), (MESSAGES{{MSG_POST_INFO, here},
                                  {MSG_POST_INFO, "[-silent]"},
                                  {MSG_POST_INFO, "[/p/my var;$x.v]"},
                                  {MSG_POST_INFO, "[`id`]"}}));
}

TEST_F(VexecTest, FailuresBecomeTclErrorsAfterTheOutputWasRelayed)
{
    add_tool("fails", "echo 'Error: no such core'\nexit 3\n");
    EXPECT_EQ(vexec("fails"), TCL_ERROR);
    EXPECT_EQ(result(), "ERROR: fails failed with exit code 3");
    EXPECT_EQ(posted(), (MESSAGES{{MSG_POST_ERROR, "no such core"}}));

    add_tool("dies", "kill -9 $$\n");
    EXPECT_EQ(vexec("dies"), TCL_ERROR);
    EXPECT_EQ(result(), "ERROR: dies was ended by signal 9");

    EXPECT_EQ(vexec("missing -silent x"), TCL_ERROR);
    EXPECT_EQ(result().rfind("ERROR: Cannot start " + m_root.path() + "/bin/missing", 0), 0u) << result();
}

TEST_F(VexecTest, ToolNamesCannotLeaveTheInstallationBinDirectory)
{
    add_tool("../outside", "echo ran\n");
    for (const char* line : {"../outside", "/bin/sh -c \"echo ran\"", "..", "\"\" x", ""}) {
        EXPECT_EQ(vexec(line), TCL_ERROR) << line;
        EXPECT_EQ(result().rfind("ERROR: ", 0), 0u) << result();
    }
    EXPECT_TRUE(posted().empty());
}

TEST_F(VexecTest, AnswersHelpOptionsAndRejectsWrongCalls)
{
    ASSERT_EQ(Tcl_Eval(m_interp.get(), "rename puts real_puts; proc puts {text} {append ::shown $text}"),
              TCL_OK);
    ASSERT_EQ(vexec("-h"), TCL_OK);
    EXPECT_STREQ(Tcl_GetVar(m_interp.get(), "shown", TCL_GLOBAL_ONLY),
                 "Usage: vexec [-h | -help | -long_help] <command_line>");
    ASSERT_EQ(vexec("-long_help"), TCL_OK);
    EXPECT_NE(std::string(Tcl_GetVar(m_interp.get(), "shown", TCL_GLOBAL_ONLY)).find("bin/ directory"),
              std::string::npos);

    EXPECT_EQ(Tcl_Eval(m_interp.get(), "vexec a b"), TCL_ERROR);
    EXPECT_EQ(result().rfind("ERROR: wrong number of arguments", 0), 0u) << result();
}
