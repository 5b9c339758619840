//! @file msg_debug.cpp
//! @brief Debug traces selected by VORLIN_DEBUG, and the internal-error report that ends
//! the process.
#include <msg/msg.h>

#include <fmt/format.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>

bool msg_debug_enabled(const char* module, int /*level*/)
{
    const char* selection = std::getenv("VORLIN_DEBUG");
    if (module == nullptr || *module == '\0' || selection == nullptr) return false;
    // The selection lists module tags ("IPMAN", "IPMAN,ACF"); a tag must match whole.
    const std::size_t length = std::strlen(module);
    for (const char* found = std::strstr(selection, module); found != nullptr;
         found = std::strstr(found + 1, module)) {
        const bool starts_word = found == selection || !std::isalnum(static_cast<unsigned char>(found[-1]));
        const bool ends_word =
            !std::isalnum(static_cast<unsigned char>(found[length])) && found[length] != '_';
        if (starts_word && ends_word) return true;
    }
    return false;
}

void msg_local_debug(const char* module, int level, const std::string& text)
{
    if (!msg_debug_enabled(module, level)) return;
    fmt::print(stderr, "Debug ({}): {}\n", module, text);
    std::fflush(stderr);
}

void MSG_INTERNAL_ERROR::report(const char* condition, const char* module, const char* file, int line)
{
    const auto or_unknown = [](const char* text) { return text != nullptr ? text : "(unknown)"; };
    // What was already printed must reach the user before the process disappears.
    std::cout.flush();
    std::fflush(stdout);
    fmt::print(stderr, "Internal Error: Sub-system: {}, File: {}, Line: {}\n{}\n", or_unknown(module),
               or_unknown(file), line, or_unknown(condition));
    std::fflush(stderr);
    std::_Exit(3);
}
