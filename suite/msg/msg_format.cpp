//! @file msg_format.cpp
//! @brief Message formats: "text/IDENTIFIER" splitting and numbered placeholder filling.
#include <msg/msg.h>

#include <cstring>

namespace {

constexpr char placeholder_tail[] = "!s!";

bool is_identifier(const std::string& text)
{
    if (text.empty()) return false;
    for (const char c : text)
        if (!((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_'))
            return false;
    return true;
}

}  // namespace

std::string msg_fill_placeholders(const std::string& text, const std::vector<std::string>& args)
{
    const std::size_t tail_length = std::strlen(placeholder_tail);
    std::string filled;
    filled.reserve(text.size());
    std::size_t position = 0;
    while (position < text.size()) {
        const bool is_placeholder = text[position] == '%' && position + 1 < text.size() &&
                                    text[position + 1] >= '1' && text[position + 1] <= '9' &&
                                    text.compare(position + 2, tail_length, placeholder_tail) == 0;
        if (!is_placeholder) {
            filled += text[position++];
            continue;
        }
        const auto index = static_cast<std::size_t>(text[position + 1] - '1');
        if (index < args.size()) filled += args[index];
        position += 2 + tail_length;
    }
    return filled;
}

void MSG_BASE::fill_args(const char* format, const std::vector<std::string>& args)
{
    const std::string whole = format == nullptr ? std::string() : std::string(format);
    const std::size_t slash = whole.rfind('/');
    std::string text = whole;
    m_identifier.clear();
    if (slash != std::string::npos && is_identifier(whole.substr(slash + 1))) {
        text = whole.substr(0, slash);
        m_identifier = whole.substr(slash + 1);
    }
    m_text = msg_fill_placeholders(text, args);
}
