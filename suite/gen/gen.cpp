//! @file gen.cpp
//! @brief Installation paths from the environment and ASCII case helpers.
#include <gen/gen.h>

#include <fio/fio.h>

#include <fmt/chrono.h>

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <map>
#include <mutex>

#ifndef VORLIN_BUNDLED_ROOTDIR
#define VORLIN_BUNDLED_ROOTDIR ""
#endif

namespace {

//! A directory from the environment, absolute and ending with a separator; empty when unset.
// Generators run with the project directory as working directory and opening a project
// changes the current directory, so a relative value is anchored against the directory
// current when that value was first seen, and stays anchored there.
std::string directory_from_environment(const char* variable)
{
    const char* value = std::getenv(variable);
    if (value == nullptr || *value == '\0') return {};
    static std::mutex anchored_mutex;
    static std::map<std::string, std::string> anchored;  // variable + '=' + value -> directory
    const std::string key = std::string(variable) + '=' + value;
    std::lock_guard<std::mutex> lock(anchored_mutex);
    auto found = anchored.find(key);
    if (found != anchored.end()) return found->second;
    std::string directory = FIO_PATH(value).become_absolute().fullpath();
    if (directory.back() != '/') directory += '/';
    anchored.emplace(key, directory);
    return directory;
}

char ascii_lower(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}
char ascii_upper(char c)
{
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

}  // namespace

std::string gen_get_vorlin_path()
{
    std::string root = directory_from_environment("VORLIN_ROOTDIR");
    if (!root.empty()) return root;
    root = VORLIN_BUNDLED_ROOTDIR;
    if (!root.empty() && root.back() != '/') root += '/';
    return root;
}

std::string gen_get_ip_root_path()
{
    std::string ip_root = directory_from_environment("IP_ROOTDIR");
    return ip_root.empty() ? gen_get_vorlin_path() + "ip/" : ip_root;
}

std::string gen_get_common_misc_fullpath()
{
    return gen_get_vorlin_path() + "common/misc/";
}

std::string gen_ascii_tolower(const std::string& text)
{
    std::string result(text);
    std::transform(result.begin(), result.end(), result.begin(), ascii_lower);
    return result;
}

std::string gen_ascii_toupper(const std::string& text)
{
    std::string result(text);
    std::transform(result.begin(), result.end(), result.begin(), ascii_upper);
    return result;
}

int gen_stricmp(const std::string& a, const std::string& b)
{
    const std::size_t common = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < common; ++i) {
        const auto la = static_cast<unsigned char>(ascii_lower(a[i]));
        const auto lb = static_cast<unsigned char>(ascii_lower(b[i]));
        if (la != lb) return la < lb ? -1 : 1;
    }
    if (a.size() == b.size()) return 0;
    return a.size() < b.size() ? -1 : 1;
}

bool gen_iequals(const std::string& a, const std::string& b)
{
    return a.size() == b.size() && gen_stricmp(a, b) == 0;
}

bool gen_is_empty_string(const std::string& text)
{
    return text.find_first_not_of(" \t\r\n") == std::string::npos;
}

bool gen_is_empty_string(const char* text)
{
    return text == nullptr || gen_is_empty_string(std::string(text));
}

std::string gen_get_current_date_and_time()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return fmt::format("{:%a %b %d %H:%M:%S %Y}", local);
}
