//! @file cfg.cpp
//! @brief User settings read from the user's ini file, cached until cfg_reload.
#include <cfg/cfg.h>

#include <fio/fio.h>
#include <gen/gen.h>

#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <optional>
#include <sstream>

#include <sys/stat.h>

namespace {

std::string trim(const std::string& text)
{
    const std::size_t first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

//! The line without its comment: "#" at the start or after a blank, so values such as
//! "a#b" survive.
std::string strip_comment(const std::string& line)
{
    for (std::size_t i = 0; i < line.size(); ++i)
        if (line[i] == '#' && (i == 0 || line[i - 1] == ' ' || line[i - 1] == '\t')) return line.substr(0, i);
    return line;
}

std::string user_ini_path()
{
    const char* explicit_path = std::getenv("VORLIN_USER_INI");
    if (explicit_path != nullptr && *explicit_path != '\0') return explicit_path;
    const char* home = std::getenv("HOME");
    if (home == nullptr || *home == '\0') return {};
    return FIO_PATH(home, ".vorlin/vorlin.ini").fullpath();
}

//! The settings of this process: the file's values, cached, and the process overrides.
class USER_SETTINGS {
public:
    static USER_SETTINGS& instance()
    {
        static USER_SETTINGS settings;
        return settings;
    }

    std::string value(const std::string& name)
    {
        const std::string key = gen_ascii_tolower(name);
        std::lock_guard<std::mutex> lock(m_mutex);
        const auto overridden = m_overrides.find(key);
        if (overridden != m_overrides.end()) return overridden->second;
        if (!m_file_values) m_file_values = read_file_values();
        const auto found = m_file_values->find(key);
        return found == m_file_values->end() ? std::string() : found->second;
    }

    void set_override(const std::string& name, const std::string& value)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (value.empty())
            m_overrides.erase(gen_ascii_tolower(name));
        else
            m_overrides[gen_ascii_tolower(name)] = value;
    }

    void forget_file()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_file_values.reset();
    }

private:
    // A missing or unusable file means defaults. An unusable one is named on standard error:
    // the message library reads its settings here, so it cannot carry this warning.
    static std::map<std::string, std::string> read_file_values()
    {
        std::string text;
        std::string problem;
        const std::string path = user_ini_path();
        if (path.empty()) return {};
        if (!FIO_FILE_SYSTEM::read_file(path, text, max_settings_size, &problem)) {
            struct stat info {};
            if (::lstat(path.c_str(), &info) == 0)
                std::fprintf(stderr, "Warning: user settings file %s %s; default settings are used\n",
                             path.c_str(), problem.c_str());
            return {};
        }
        return cfg_parse_name_value_text(text);
    }

    //! A settings file holds a few dozen lines.
    static constexpr std::size_t max_settings_size = std::size_t{1} << 20;

    std::mutex m_mutex;
    std::optional<std::map<std::string, std::string>> m_file_values;
    std::map<std::string, std::string> m_overrides;
};

}  // namespace

std::map<std::string, std::string> cfg_parse_name_value_text(const std::string& text)
{
    std::map<std::string, std::string> values;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        line = strip_comment(line);
        const std::size_t equals = line.find('=');
        if (equals == std::string::npos) continue;
        const std::string name = trim(line.substr(0, equals));
        if (!name.empty()) values[gen_ascii_tolower(name)] = trim(line.substr(equals + 1));
    }
    return values;
}

std::string cfg_get_value(const std::string& name)
{
    return USER_SETTINGS::instance().value(name);
}

bool cfg_is_on(const std::string& name, bool default_value)
{
    const std::string value = gen_ascii_tolower(cfg_get_value(name));
    if (value.empty()) return default_value;
    return value == "on" || value == "true" || value == "1" || value == "yes";
}

std::string cfg_get_user_ini_value(int value_id)
{
    switch (value_id) {
    case CFG_NUM_PARALLEL_PROCESSORS:
        return cfg_get_value("num_parallel_processors");
    case CFG_PREFERRED_HDL_LANGUAGE:
        return cfg_get_value("preferred_hdl_language");
    case CFG_PARALLEL_IP_GENERATION:
        return cfg_get_value("parallel_ip_generation");
    default:
        return {};
    }
}

void cfg_reload()
{
    USER_SETTINGS::instance().forget_file();
}

void cfg_set_value(const std::string& name, const std::string& value)
{
    USER_SETTINGS::instance().set_override(name, value);
}
