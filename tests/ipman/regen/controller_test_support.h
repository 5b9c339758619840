//! @file controller_test_support.h
//! @brief Fixture of the upgrade-flow tests: a scratch copy of tests/data/regen/project opened
//! through the assignment library, the bundled generators run for real against the tests'
//! own IP root, and helpers that compare every file before and after an attempt.
#pragma once

#include "regen/ipman_ip_regeneration_controller.h"

#include "support/host_interpreter.h"
#include "support/test_support.h"

#include <acf/acf.h>
#include <cfg/cfg.h>
#include <msg/msg.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace controller_test {

//! Content of every regular file under a directory, keyed by path relative to it.
using FILE_SNAPSHOT = std::map<std::string, std::string>;

inline FILE_SNAPSHOT snapshot(const std::string& directory)
{
    FILE_SNAPSHOT files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(directory)) {
        if (entry.is_regular_file())
            files[std::filesystem::relative(entry.path(), directory).string()] =
                read_text(entry.path().string());
    }
    return files;
}

//! Files of before that are missing or changed now; new files are not counted.
inline std::vector<std::string> changed_files(const FILE_SNAPSHOT& before, const FILE_SNAPSHOT& now)
{
    std::vector<std::string> changed;
    for (const auto& [name, content] : before) {
        const auto found = now.find(name);
        if (found == now.end() || found->second != content) changed.push_back(name);
    }
    return changed;
}

class REGEN_TEST : public ::testing::Test {
protected:
    void SetUp() override
    {
        acf()->close_project();
        std::filesystem::copy(data_dir() + "/project", m_dir.path(),
                              std::filesystem::copy_options::recursive);
        msg_clear_posted_messages();
    }
    void TearDown() override { acf()->close_project(); }

    static ACF_MANAGER* acf() { return ACF_MANAGER::get_acf_manager(); }
    static std::string data_dir() { return std::string(VORLIN_TEST_DATA_DIR) + "/regen"; }

    //! Opens the scratch project at a revision and hands its family and part to the
    //! controller, as the IP information manager does before it loads records.
    void open(const std::string& revision)
    {
        std::string error;
        ASSERT_TRUE(acf()->open_project(m_dir.path(), revision, error)) << error;
        m_controller.set_project_family(acf()->get_project_family_enum());
        m_controller.set_project_part(acf()->get_project_part_enum());
    }

    std::string path(const std::string& name) const { return m_dir.file(name); }
    FILE_SNAPSHOT files() const { return snapshot(m_dir.path()); }

    //! A record as the analysis would leave it for an upgrade of file by flow.
    IPMAN_IP_INFO record(const std::string& file, IPMAN_IP_UPGRADE_FLOW_ENUM flow,
                         const std::string& tool_name = "tessel_system") const
    {
        IPMAN_IP_INFO info;
        info.tool_name(tool_name);
        info.tool_version("22.1");
        info.source_file(path(file));
        info.ip_generation_file(path(file));
        info.upgrade_flow(flow);
        return info;
    }

    IPMAN_IP_REGEN_RESULT upgrade(const IPMAN_IP_INFO& info)
    {
        IPMAN_IP_REGEN_RESULT result;
        m_controller.do_ip_upgrade_for_ip_info(info, result);
        return result;
    }

    //! Makes every generator started from now on fail in the named way.
    void inject_fault(const std::string& fault) { m_fault.emplace("VORLIN_TEST_GENERATOR_FAULT", fault); }

    static std::size_t posted(const std::string& identifier)
    {
        const auto& messages = msg_posted_messages();
        return std::count_if(messages.begin(), messages.end(),
                             [&](const MSG_RECORD& m) { return m.identifier == identifier; });
    }

    TEMP_DIR m_dir;
    SCOPED_ENV m_ip_root{"IP_ROOTDIR", data_dir() + "/ip"};
    SCOPED_ENV m_no_debug{"VORLIN_DEBUG", std::nullopt};
    SCOPED_ENV m_no_fault{"VORLIN_TEST_GENERATOR_FAULT", std::nullopt};
    std::optional<SCOPED_ENV> m_fault;
    IPMAN_IP_REGENERATION_CONTROLLER m_controller;
};

//! The wizard flows start the legacy wizard through `vexec` in the host interpreter, which
//! the shell creates and registers; these tests do the same.
class WIZARD_REGEN_TEST : public REGEN_TEST {
protected:
    HOST_INTERPRETER m_host;
};

//! The debug trace of the batch runs: the command line of every generator started.
class DEBUG_TRACE {
public:
    DEBUG_TRACE() { ::testing::internal::CaptureStderr(); }
    //! Ends the capture; the command lines of the batch runs of kind ("ip_upgrade",
    //! "generation"), in order.
    std::vector<std::string> batch_commands(const std::string& kind)
    {
        if (!m_captured) m_captured = ::testing::internal::GetCapturedStderr();
        const std::string prefix = "Final cmdline for launching the executable for batch mode " + kind + ": ";
        std::vector<std::string> commands;
        std::istringstream lines(*m_captured);
        for (std::string line; std::getline(lines, line);) {
            const std::size_t at = line.find(prefix);
            if (at != std::string::npos) commands.push_back(line.substr(at + prefix.size()));
        }
        return commands;
    }
    ~DEBUG_TRACE()
    {
        if (!m_captured) ::testing::internal::GetCapturedStderr();
    }

private:
    SCOPED_ENV m_debug{"VORLIN_DEBUG", "IPMAN"};
    std::optional<std::string> m_captured;
};

}  // namespace controller_test
