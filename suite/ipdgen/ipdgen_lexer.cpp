//! @file ipdgen_lexer.cpp
//! @brief Tokens of HDL text for the port readers.
#include <ipdgen/ipdgen_lexer.h>

#include <algorithm>
#include <array>
#include <cctype>

namespace {

bool is_word_start(char c)
{
    return std::isalpha(static_cast<unsigned char>(c)) || c == '_' || c == '$';
}

bool is_word_char(char c)
{
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '$';
}

bool is_digit(char c)
{
    return std::isdigit(static_cast<unsigned char>(c)) != 0;
}

// Directives whose whole line is theirs; a macro use is kept as a word instead.
constexpr std::array<std::string_view, 15> kLineDirectives = {"timescale",
                                                              "include",
                                                              "default_nettype",
                                                              "resetall",
                                                              "celldefine",
                                                              "endcelldefine",
                                                              "undef",
                                                              "undefineall",
                                                              "pragma",
                                                              "line",
                                                              "begin_keywords",
                                                              "end_keywords",
                                                              "nounconnected_drive",
                                                              "unconnected_drive",
                                                              "protect"};
constexpr std::array<std::string_view, 3> kNamedDirectives = {"ifdef", "ifndef", "elsif"};
constexpr std::array<std::string_view, 2> kBareDirectives = {"else", "endif"};

template <std::size_t N>
bool contains(const std::array<std::string_view, N>& names, std::string_view name)
{
    return std::find(names.begin(), names.end(), name) != names.end();
}

constexpr std::array<std::string_view, 7> kTwoCharPuncts = {":=", "=>", "<=", "/=", ">=", "**", "::"};

}  // namespace

std::string ipdgen_lower(std::string_view text)
{
    std::string lower(text);
    for (char& c : lower)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return lower;
}

IPDGEN_LEXER::IPDGEN_LEXER(std::string_view text, IPDGEN_LANGUAGE language)
    : m_text(text), m_language(language)
{
    m_current = scan();
}

IPDGEN_TOKEN IPDGEN_LEXER::next()
{
    IPDGEN_TOKEN taken = m_current;
    if (m_current.kind != IPDGEN_TOKEN_KIND::END) m_current = scan();
    return taken;
}

void IPDGEN_LEXER::skip_to_line_end(bool honour_continuations)
{
    while (m_pos < m_text.size() && m_text[m_pos] != '\n') {
        if (honour_continuations && m_text[m_pos] == '\\' && at(m_pos + 1) == '\n') {
            ++m_line;
            ++m_pos;
        }
        ++m_pos;
    }
}

void IPDGEN_LEXER::skip_blanks_and_comments()
{
    const bool verilog = m_language == IPDGEN_LANGUAGE::VERILOG;
    while (m_pos < m_text.size()) {
        const char c = m_text[m_pos];
        const char following = at(m_pos + 1);
        if (c == '\n') {
            ++m_line;
            ++m_pos;
        } else if (std::isspace(static_cast<unsigned char>(c))) {
            ++m_pos;
        } else if ((verilog && c == '/' && following == '/') || (!verilog && c == '-' && following == '-')) {
            skip_to_line_end(false);
        } else if ((c == '/' && following == '*') ||
                   (verilog && c == '(' && following == '*' && at(m_pos + 2) != ')')) {
            // Block comments, and Verilog attributes "(* ... *)" (but not "@(*)").
            const std::string_view closing = c == '/' ? "*/" : "*)";
            const std::size_t end = m_text.find(closing, m_pos + 2);
            const std::size_t stop = end == std::string_view::npos ? m_text.size() : end + 2;
            m_line += static_cast<int>(std::count(m_text.begin() + m_pos, m_text.begin() + stop, '\n'));
            m_pos = stop;
        } else if (verilog && c == '`' && is_word_start(following)) {
            const std::size_t before = m_pos;
            skip_verilog_directive();
            if (m_pos == before) return;  // a macro use: a word of its own
        } else {
            return;
        }
    }
}

void IPDGEN_LEXER::skip_verilog_directive()
{
    const std::size_t name_end = word_end(m_pos + 1);
    const std::string_view name = m_text.substr(m_pos + 1, name_end - m_pos - 1);
    if (name == "define") {
        skip_to_line_end(true);
    } else if (contains(kLineDirectives, name)) {
        skip_to_line_end(false);
    } else if (contains(kBareDirectives, name)) {
        m_pos = name_end;
    } else if (contains(kNamedDirectives, name)) {
        // Both branches of a condition are read; the condition's name is dropped.
        m_pos = name_end;
        while (m_pos < m_text.size() && (m_text[m_pos] == ' ' || m_text[m_pos] == '\t'))
            ++m_pos;
        m_pos = word_end(m_pos);
    }
}

std::size_t IPDGEN_LEXER::word_end(std::size_t from) const
{
    while (from < m_text.size() && is_word_char(m_text[from]))
        ++from;
    return from;
}

std::size_t IPDGEN_LEXER::verilog_number_end(std::size_t from) const
{
    std::size_t end = from;
    while (is_digit(at(end)) || at(end) == '_' || at(end) == '.')
        ++end;
    if (at(end) != '\'') return end;
    std::size_t based = end + 1;
    if (at(based) == 's' || at(based) == 'S') ++based;
    if (std::string_view("bBoOdDhH").find(at(based)) == std::string_view::npos || at(based) == '\0') {
        // '0, '1, 'x, 'z fill literals; anything else is a cast or pattern, not ours.
        return std::string_view("01xXzZ").find(at(end + 1)) != std::string_view::npos && at(end + 1) != '\0'
                   ? end + 2
                   : end;
    }
    ++based;
    while (at(based) == ' ' || at(based) == '\t')
        ++based;
    while (is_word_char(at(based)) || at(based) == '?')
        ++based;
    return based;
}

std::size_t IPDGEN_LEXER::string_end(std::size_t from) const
{
    const bool vhdl = m_language == IPDGEN_LANGUAGE::VHDL;
    std::size_t end = from + 1;
    while (end < m_text.size() && m_text[end] != '\n') {
        if (!vhdl && m_text[end] == '\\') {
            end += 2;
        } else if (m_text[end] == '"') {
            if (vhdl && at(end + 1) == '"') {
                end += 2;  // "" stands for one quote
            } else {
                return end + 1;
            }
        } else {
            ++end;
        }
    }
    return std::min(end, m_text.size());  // unterminated: the string ends with its line
}

IPDGEN_TOKEN IPDGEN_LEXER::scan()
{
    skip_blanks_and_comments();
    IPDGEN_TOKEN token;
    token.line = m_line;
    if (m_pos >= m_text.size()) return token;

    const bool verilog = m_language == IPDGEN_LANGUAGE::VERILOG;
    const char c = m_text[m_pos];
    std::size_t end = m_pos + 1;
    token.kind = IPDGEN_TOKEN_KIND::PUNCT;
    if (c == '`' || is_word_start(c)) {
        token.kind = IPDGEN_TOKEN_KIND::WORD;
        end = word_end(m_pos + 1);
    } else if (c == '\\') {
        // Escaped identifiers: Verilog's run to a blank, VHDL's to the next backslash.
        token.kind = IPDGEN_TOKEN_KIND::WORD;
        end = m_pos + 1;
        if (verilog) {
            while (end < m_text.size() && !std::isspace(static_cast<unsigned char>(m_text[end])))
                ++end;
        } else {
            const std::size_t closing = m_text.find('\\', m_pos + 1);
            end = closing == std::string_view::npos ||
                          m_text.substr(m_pos, closing - m_pos).find('\n') != std::string_view::npos
                      ? m_pos + 1
                      : closing + 1;
        }
    } else if (is_digit(c) || (verilog && c == '\'' && verilog_number_end(m_pos) > m_pos)) {
        token.kind = IPDGEN_TOKEN_KIND::WORD;
        if (verilog) {
            end = verilog_number_end(m_pos);
        } else {
            // VHDL numbers: 16#FF#, 1.5E-3, 1_000.
            end = m_pos;
            while (is_word_char(at(end)) || at(end) == '.' || at(end) == '#' ||
                   ((at(end) == '+' || at(end) == '-') && (at(end - 1) == 'e' || at(end - 1) == 'E')))
                ++end;
        }
    } else if (c == '"') {
        token.kind = IPDGEN_TOKEN_KIND::STRING;
        end = string_end(m_pos);
    } else if (!verilog && c == '\'' && m_pos + 2 < m_text.size() && at(m_pos + 2) == '\'' &&
               !(m_current.is(")") || (m_current.is_word() && is_word_start(at(m_pos + 1))))) {
        // A character literal; after a name or ")" a tick followed by a letter starts an
        // attribute. (m_current is still the token before this one.)
        token.kind = IPDGEN_TOKEN_KIND::STRING;
        end = m_pos + 3;
    } else {
        const std::string_view two = m_text.substr(m_pos, 2);
        if (contains(kTwoCharPuncts, two)) end = m_pos + 2;
    }
    token.text = m_text.substr(m_pos, end - m_pos);
    m_pos = end;
    return token;
}

void IPDGEN_TEXT_BUILDER::add(const IPDGEN_TOKEN& token)
{
    add_text(token.text, token.kind == IPDGEN_TOKEN_KIND::WORD || token.kind == IPDGEN_TOKEN_KIND::STRING);
}

void IPDGEN_TEXT_BUILDER::add_text(std::string_view text, bool is_word)
{
    if (is_word && m_last_is_word) m_text += ' ';
    m_text += text;
    m_last_is_word = is_word;
}
