//! @file test_support.h
//! @brief Helpers every test program shares: scratch directories and projects, copies of the
//! test data, file text, scoped environment variables and user settings, posted messages.
#pragma once

#include <acf/acf.h>
#include <cfg/cfg.h>
#include <msg/msg.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

inline std::string test_data(const std::string& relative)
{
    return std::string(VORLIN_TEST_DATA_DIR) + "/" + relative;
}

inline std::string read_text(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

//! Writes a file, creating its directories, and answers its path.
inline std::string write_text(const std::string& path, const std::string& content)
{
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream(path, std::ios::binary) << content;
    return path;
}

//! Writes an executable shell script, creating its directories, and answers its path.
inline std::string write_script(const std::string& path, const std::string& body)
{
    ::chmod(write_text(path, "#!/bin/sh\n" + body).c_str(), 0755);
    return path;
}

inline bool running_as_root()
{
    return ::geteuid() == 0;
}

//! A fresh directory under the system's temporary directory, removed with its content even
//! when a test left it write-protected.
class TEMP_DIR {
public:
    TEMP_DIR()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "vorlin_test_XXXXXX").string();
        m_path = ::mkdtemp(pattern.data()) ? pattern : std::string();
    }
    ~TEMP_DIR()
    {
        std::error_code ignored;
        std::filesystem::permissions(m_path, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ignored);
        std::filesystem::remove_all(m_path, ignored);
    }
    TEMP_DIR(const TEMP_DIR&) = delete;
    TEMP_DIR& operator=(const TEMP_DIR&) = delete;

    const std::string& path() const { return m_path; }
    //! The path with a trailing separator, ready for appending names.
    std::string dir() const { return m_path + "/"; }
    std::string file(const std::string& name) const { return dir() + name; }
    std::string write(const std::string& name, const std::string& content) const
    {
        return write_text(file(name), content);
    }
    //! Copies a file or directory of the test data (its content, for a directory) into this
    //! directory or one of its subdirectories.
    void copy_data(const std::string& relative, const std::string& to = "") const
    {
        std::filesystem::create_directories(file(to));
        std::filesystem::copy(test_data(relative), file(to), std::filesystem::copy_options::recursive);
    }

private:
    std::string m_path;
};

//! Sets (or unsets, for nullopt) an environment variable and restores it afterwards.
class SCOPED_ENV {
public:
    SCOPED_ENV(const char* name, std::optional<std::string> value) : m_name(name)
    {
        if (const char* old = std::getenv(name)) m_old = old;
        apply(value);
    }
    ~SCOPED_ENV() { apply(m_old); }
    SCOPED_ENV(const SCOPED_ENV&) = delete;
    SCOPED_ENV& operator=(const SCOPED_ENV&) = delete;

private:
    void apply(const std::optional<std::string>& value)
    {
        if (value)
            ::setenv(m_name.c_str(), value->c_str(), 1);
        else
            ::unsetenv(m_name.c_str());
    }
    std::string m_name;
    std::optional<std::string> m_old;
};

//! A user setting of this process, removed again afterwards.
class SCOPED_SETTING {
public:
    SCOPED_SETTING(const std::string& name, const std::string& value) : m_name(name)
    {
        cfg_set_value(name, value);
    }
    ~SCOPED_SETTING() { cfg_set_value(m_name, ""); }
    SCOPED_SETTING(const SCOPED_SETTING&) = delete;
    SCOPED_SETTING& operator=(const SCOPED_SETTING&) = delete;

private:
    std::string m_name;
};

//! User settings read from a scratch ini file for the life of the object.
class SCRATCH_USER_SETTINGS {
public:
    explicit SCRATCH_USER_SETTINGS(const std::string& ini_text)
        : m_env(std::in_place, "VORLIN_USER_INI", m_dir.write("vorlin.ini", ini_text))
    {
        cfg_reload();
    }
    ~SCRATCH_USER_SETTINGS()
    {
        m_env.reset();
        cfg_reload();
    }
    SCRATCH_USER_SETTINGS(const SCRATCH_USER_SETTINGS&) = delete;
    SCRATCH_USER_SETTINGS& operator=(const SCRATCH_USER_SETTINGS&) = delete;

private:
    TEMP_DIR m_dir;
    std::optional<SCOPED_ENV> m_env;
};

inline std::string family_setting(const std::string& family)
{
    return "set_global_assignment -name FAMILY \"" + family + "\"\n";
}

//! A project NAME.vpf with one revision and the given settings, open for the object's life.
class SCRATCH_PROJECT {
public:
    SCRATCH_PROJECT(const std::string& name, const std::string& revision, const std::string& settings)
    {
        m_dir.write(name + ".vpf", "revision " + revision + "\n");
        m_dir.write(revision + ".vsf", settings);
        std::string error;
        m_open = ACF_MANAGER::get_acf_manager()->open_project(m_dir.file(name + ".vpf"), "", error);
        EXPECT_TRUE(m_open) << error;
    }
    ~SCRATCH_PROJECT()
    {
        if (m_open) ACF_MANAGER::get_acf_manager()->close_project();
    }
    SCRATCH_PROJECT(const SCRATCH_PROJECT&) = delete;
    SCRATCH_PROJECT& operator=(const SCRATCH_PROJECT&) = delete;

    //! The project directory, with a trailing separator.
    std::string path() const { return m_dir.dir(); }
    std::string write(const std::string& name, const std::string& content) const
    {
        return m_dir.write(name, content);
    }

private:
    TEMP_DIR m_dir;
    bool m_open = false;
};

//! One posted message as the tests compare it: identifier and text.
using POSTED = std::pair<std::string, std::string>;

//! Messages posted since the last call (the posted list is cleared each time).
inline std::vector<POSTED> take_posted()
{
    std::vector<POSTED> posted;
    for (const MSG_RECORD& record : msg_posted_messages())
        posted.emplace_back(record.identifier, record.text);
    msg_clear_posted_messages();
    return posted;
}
