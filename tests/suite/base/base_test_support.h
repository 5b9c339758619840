//! @file base_test_support.h
//! @brief Helpers of the base-library tests: a temporary directory and scoped environment.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

#include <stdlib.h>
#include <unistd.h>

//! A fresh directory under the system's temporary directory, removed with its content.
class TEMP_DIR {
public:
    TEMP_DIR()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "vorlin_base_XXXXXX").string();
        m_path = ::mkdtemp(pattern.data());
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
    std::string file(const std::string& name) const { return m_path + "/" + name; }
    std::string write(const std::string& name, const std::string& content) const
    {
        std::ofstream(file(name), std::ios::binary) << content;
        return file(name);
    }
private:
    std::string m_path;
};

//! Sets (or unsets, for nullopt) an environment variable and restores it afterwards.
class SCOPED_ENV {
public:
    SCOPED_ENV(const char* name, std::optional<std::string> value) : m_name(name)
    {
        if (const char* old = std::getenv(name))
            m_old = old;
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

inline std::string read_text(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline bool running_as_root() { return ::geteuid() == 0; }
