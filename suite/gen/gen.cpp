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

//! The directory the process started in, taken while the library loads: opening a project
//! changes the current directory later.
const std::string& start_directory()
{
    static const std::string directory = FIO_FILE_SYSTEM::current_directory();
    return directory;
}
[[maybe_unused]] const bool start_directory_taken = !start_directory().empty();

//! A directory from the environment, absolute and ending with a separator; empty when unset.
// A relative value is anchored against the directory the process started in, whenever it is
// first seen, and the variable is set to the absolute directory so that the generators this
// process starts in a project directory find the same installation.
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
    const bool relative = FIO_PATH(value).relative();
    std::string directory = FIO_PATH(value).become_absolute(start_directory()).fullpath();
    if (directory.back() != '/') directory += '/';
    anchored.emplace(key, directory);
    if (relative) {
        anchored.emplace(std::string(variable) + '=' + directory, directory);
        ::setenv(variable, directory.c_str(), 1);
    }
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

bool gen_is_valid_utf8(const std::string& text)
{
    const auto* byte = reinterpret_cast<const unsigned char*>(text.data());
    const auto* const end = byte + text.size();
    while (byte < end) {
        const unsigned char lead = *byte++;
        if (lead < 0x80) continue;
        int more = 0;
        unsigned char low = 0x80, high = 0xBF;  // the range of the first continuation byte
        if (lead >= 0xC2 && lead <= 0xDF) {
            more = 1;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            more = 2;
            if (lead == 0xE0) low = 0xA0;   // overlong
            if (lead == 0xED) high = 0x9F;  // surrogates
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            more = 3;
            if (lead == 0xF0) low = 0x90;   // overlong
            if (lead == 0xF4) high = 0x8F;  // above U+10FFFF
        } else {
            return false;
        }
        if (end - byte < more || *byte < low || *byte > high) return false;
        for (++byte, --more; more > 0; --more, ++byte)
            if ((*byte & 0xC0) != 0x80) return false;
    }
    return true;
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
