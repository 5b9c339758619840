//! @file ipvx_version.cpp
//! @brief IP versions: dotted numbers compared number by number.
#include <ipcatalog/ipcatalog.h>
#include <ipcatalog/olt_string.h>

#include <algorithm>
#include <charconv>

namespace {

//! The numbers of "24.1.2"; false for anything that is not dotted decimal numbers.
bool parse_numbers(const std::string& text, std::vector<std::uint64_t>& numbers)
{
    if (text.empty()) return false;
    numbers.reserve(static_cast<std::size_t>(std::count(text.begin(), text.end(), '.')) + 1);
    std::size_t start = 0;
    while (true) {
        const std::size_t dot = text.find('.', start);
        const std::size_t end = dot == std::string::npos ? text.size() : dot;
        const char* first = text.data() + start;
        const char* last = text.data() + end;
        if (first == last || *first < '0' || *first > '9') return false;  // empty part, sign or other text
        std::uint64_t number = 0;
        auto [rest, error] = std::from_chars(first, last, number);
        if (error != std::errc() || rest != last) return false;  // trailing text or beyond 64 bits
        numbers.push_back(number);
        if (dot == std::string::npos) return true;
        start = dot + 1;
    }
}

}  // namespace

IPVX_VERSION::IPVX_VERSION(const std::string& text) : m_text(OLT_STRING::trim(text))
{
    m_valid = parse_numbers(m_text, m_numbers);
    if (!m_valid) m_numbers.clear();
}

IPVX_VERSION::IPVX_VERSION(const char* text) : IPVX_VERSION(std::string(text == nullptr ? "" : text)) {}

int IPVX_VERSION::compare(const IPVX_VERSION& other) const
{
    if (!m_valid || !other.m_valid) return static_cast<int>(m_valid) - static_cast<int>(other.m_valid);
    const std::size_t count = std::max(m_numbers.size(), other.m_numbers.size());
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint64_t mine = i < m_numbers.size() ? m_numbers[i] : 0;
        const std::uint64_t theirs = i < other.m_numbers.size() ? other.m_numbers[i] : 0;
        if (mine != theirs) return mine < theirs ? -1 : 1;
    }
    return 0;
}
