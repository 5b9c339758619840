//! @file test_vexec.cpp
//! @brief `vexec` in a real interpreter against a temporary installation whose bin/ holds
//! small shell tools: arguments kept literal, tool names kept in bin/.
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

TEST_F(VexecTest, ToolRunsWhereTheDirectoryFunctionSaysAndTakesAnyCharacterInAnArgument)
{
    add_tool("args", "pwd -P; for a in \"$@\"; do echo \"[$a]\"; done\n");
    const std::string project = m_root.file("project dir");
    atcl_set_vexec_directory([project] { return project; });
    const int code = vexec("args -silent \"/p/my var;$x.v\" `id` \"say \\\"hi\\\" \\\\\"");
    atcl_set_vexec_directory({});
    ASSERT_EQ(code, TCL_OK) << result();
    EXPECT_EQ(posted(), (MESSAGES{{MSG_POST_INFO, std::filesystem::canonical(project).string()},
                                  {MSG_POST_INFO, "[-silent]"},
                                  {MSG_POST_INFO, "[/p/my var;$x.v]"},
                                  {MSG_POST_INFO, "[`id`]"},
                                  {MSG_POST_INFO, "[say \"hi\" \\]"}}));
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
