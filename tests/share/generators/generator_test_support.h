//! @file generator_test_support.h
//! @brief Runs the bundled generators for real, the way the IP upgrade does (one command
//! string through the process library, output and errors on one pipe), on copies of the
//! test inputs in a temporary directory, against the generator tests' own IP catalog.
#pragma once

#include <proc/proc.h>

#include "support/test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

//! Output lines and exit code of one generator run.
struct TOOL_RUN {
    std::vector<std::string> lines;
    int exit_code = -1;

    bool has_line(const std::string& line) const
    {
        return std::find(lines.begin(), lines.end(), line) != lines.end();
    }
    std::size_t count_prefix(const std::string& prefix) const
    {
        return std::count_if(lines.begin(), lines.end(),
                             [&](const std::string& line) { return line.rfind(prefix, 0) == 0; });
    }
    std::string text() const
    {
        std::ostringstream all;
        for (const auto& line : lines)
            all << line << "\n";
        return all.str();
    }
};

inline std::string in_quotes(const std::string& path)
{
    return "\"" + path + "\"";
}

class GeneratorTest : public ::testing::Test {
protected:
    //! A command line for an installation tool (path relative to the installation).
    static std::string tool(const std::string& relative_path)
    {
        return in_quotes(std::string(VORLIN_BUNDLED_ROOTDIR) + relative_path);
    }
    static std::string tessel_generate() { return tool("gantry_builder/bin/tessel-generate"); }

    //! Copies a test input (relative to tests/data/generators) into the work directory.
    std::string copy(const std::string& relative, const std::string& to_directory = "")
    {
        const std::filesystem::path source = std::filesystem::path(data_dir()) / relative;
        const std::filesystem::path directory = std::filesystem::path(work()) / to_directory;
        std::filesystem::create_directories(directory);
        const std::filesystem::path target = directory / source.filename();
        std::filesystem::copy_file(source, target, std::filesystem::copy_options::overwrite_existing);
        return target.string();
    }

    //! Runs a command line in the work directory (or another one).
    TOOL_RUN run(const std::string& command, const std::string& directory = "") const
    {
        TOOL_RUN result;
        THR_PIPE* raw = nullptr;
        THR_PROCESS_PTR process(
            thr_process_create(command, directory.empty() ? work() : directory, &raw, &raw));
        THR_PIPE_PTR pipe(raw);
        EXPECT_TRUE(process) << command;
        if (!process) return result;
        std::string output;
        char buffer[2048];
        std::size_t count = 0;
        while (thr_process_read(pipe.get(), buffer, sizeof buffer, &count) == 0)
            output.append(buffer, count);
        int32_t status[2] = {0, 0};
        thr_process_wait(process.get(), status, 0);
        result.exit_code = status[1];
        std::istringstream lines(output);
        for (std::string line; std::getline(lines, line);)
            result.lines.push_back(line);
        return result;
    }

    const std::string& work() const { return m_work.path(); }
    static std::string data_dir() { return std::string(VORLIN_TEST_DATA_DIR) + "/generators"; }

    TEMP_DIR m_work;
    SCOPED_ENV m_root{"VORLIN_ROOTDIR", data_dir() + "/installation"};
    SCOPED_ENV m_ip_root{"IP_ROOTDIR", std::nullopt};
    SCOPED_ENV m_no_fault{"VORLIN_TEST_GENERATOR_FAULT", std::nullopt};
};
