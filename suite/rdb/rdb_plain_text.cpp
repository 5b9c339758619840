//! @file rdb_plain_text.cpp
//! @brief Plain-text clean-up, HTML stripping and word wrapping for the text copy.
#include "rdb_plain_text.h"

#include <cctype>
#include <cstdlib>
#include <sstream>

namespace {

bool is_control(unsigned char c)
{
    return c < 0x20 || c == 0x7f;
}

std::string lower(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

//! The tag's name without "/" and attributes, lower case ("br" for "<br/>", "p" for "</p>").
std::string tag_name(const std::string& tag)
{
    std::size_t begin = tag.find_first_not_of("/ ");
    if (begin == std::string::npos) return "";
    std::size_t end = begin;
    while (end < tag.size() && std::isalnum(static_cast<unsigned char>(tag[end])))
        ++end;
    return lower(tag.substr(begin, end - begin));
}

bool breaks_line(const std::string& name)
{
    for (const char* block : {"br", "p", "div", "li", "tr", "h1", "h2", "h3", "h4", "ul", "ol", "table"})
        if (name == block) return true;
    return false;
}

//! The character a reference stands for; the reference itself when it is not one we know.
std::string decode_reference(const std::string& reference)
{
    const std::string name = reference.substr(1, reference.size() - 2);
    if (name == "amp") return "&";
    if (name == "lt") return "<";
    if (name == "gt") return ">";
    if (name == "quot") return "\"";
    if (name == "apos" || name == "#39") return "'";
    if (name == "nbsp") return " ";
    if (name == "copy") return "(C)";
    if (name.size() > 1 && name[0] == '#' && std::isdigit(static_cast<unsigned char>(name[1]))) {
        const long code = std::strtol(name.c_str() + 1, nullptr, 10);
        if (code >= 0x20 && code < 0x7f) return std::string(1, static_cast<char>(code));
    }
    return reference;
}

std::string trim_right(std::string text)
{
    text.erase(text.find_last_not_of(' ') + 1);
    return text;
}

}  // namespace

std::string rdb_one_line(const std::string& text)
{
    std::string line = text;
    for (char& c : line)
        if (is_control(static_cast<unsigned char>(c))) c = ' ';
    return line;
}

std::vector<std::string> rdb_lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(trim_right(rdb_one_line(line)));
    return lines;
}

std::size_t rdb_display_width(const std::string& text)
{
    std::size_t width = 0;
    for (unsigned char c : text)
        if ((c & 0xc0) != 0x80) ++width;
    return width;
}

std::string rdb_strip_html(const std::string& html)
{
    std::string text;
    for (std::size_t i = 0; i < html.size();) {
        if (html[i] == '<') {
            const std::size_t close = html.find('>', i);
            if (close == std::string::npos) break;  // an unfinished tag is dropped
            if (breaks_line(tag_name(html.substr(i + 1, close - i - 1)))) text += '\n';
            i = close + 1;
        } else if (html[i] == '&') {
            const std::size_t semicolon = html.find(';', i);
            if (semicolon != std::string::npos && semicolon - i <= 8) {
                text += decode_reference(html.substr(i, semicolon - i + 1));
                i = semicolon + 1;
            } else {
                text += html[i++];
            }
        } else {
            text += html[i++];
        }
    }
    std::string result;
    bool blank_before = true;  // drops leading blank lines too
    for (const std::string& line : rdb_lines(text)) {
        const bool blank = line.find_first_not_of(' ') == std::string::npos;
        if (blank && blank_before) continue;
        result += line + "\n";
        blank_before = blank;
    }
    while (result.size() >= 2 && result.compare(result.size() - 2, 2, "\n\n") == 0)
        result.pop_back();
    return result;
}

std::vector<std::string> rdb_wrap(const std::string& text, std::size_t width)
{
    std::vector<std::string> wrapped;
    for (const std::string& line : rdb_lines(text)) {
        std::istringstream words(line);
        std::string current;
        for (std::string word; words >> word;) {
            if (!current.empty() && rdb_display_width(current) + 1 + rdb_display_width(word) > width) {
                wrapped.push_back(current);
                current.clear();
            }
            current += (current.empty() ? "" : " ") + word;
        }
        wrapped.push_back(current);
    }
    return wrapped;
}
