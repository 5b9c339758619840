//! @file ipdgen_lexer.h
//! @brief Splits Verilog, SystemVerilog and VHDL text into the tokens the port readers need,
//! dropping comments, attributes and compiler directives on the way.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

enum class IPDGEN_TOKEN_KIND { END, WORD, STRING, PUNCT };

//! A word is an identifier, keyword, number or macro use; punctuation is one character or
//! one of ":=", "=>", "<=", "/=", ">=", "**", "::".
struct IPDGEN_TOKEN {
    IPDGEN_TOKEN_KIND kind = IPDGEN_TOKEN_KIND::END;
    std::string_view text;
    int line = 0;

    bool is(std::string_view punct) const { return kind == IPDGEN_TOKEN_KIND::PUNCT && text == punct; }
    bool is_word() const { return kind == IPDGEN_TOKEN_KIND::WORD; }
    //! The token as a parse error names what it found: quoted and cut short, or the end.
    std::string described() const
    {
        return kind == IPDGEN_TOKEN_KIND::END ? "the end of the file"
                                              : "\"" + std::string(text.substr(0, 40)) + "\"";
    }
};

enum class IPDGEN_LANGUAGE { VERILOG, VHDL };

//! Tokens of a text on demand, with one token of look-ahead. Every call consumes input or
//! answers END, so loops over tokens always end.
class IPDGEN_LEXER {
public:
    IPDGEN_LEXER(std::string_view text, IPDGEN_LANGUAGE language);

    const IPDGEN_TOKEN& peek() const { return m_current; }
    IPDGEN_TOKEN next();
    bool at_end() const { return m_current.kind == IPDGEN_TOKEN_KIND::END; }

private:
    IPDGEN_TOKEN scan();
    void skip_blanks_and_comments();
    void skip_to_line_end(bool honour_continuations);
    void skip_verilog_directive();
    std::size_t word_end(std::size_t from) const;
    std::size_t verilog_number_end(std::size_t from) const;
    std::size_t string_end(std::size_t from) const;
    char at(std::size_t index) const { return index < m_text.size() ? m_text[index] : '\0'; }

    std::string_view m_text;
    IPDGEN_LANGUAGE m_language;
    std::size_t m_pos = 0;
    int m_line = 1;
    IPDGEN_TOKEN m_current;
};

//! Joins token texts into one normalised text: no blanks except one between two words.
class IPDGEN_TEXT_BUILDER {
public:
    void add(const IPDGEN_TOKEN& token);
    void add_text(std::string_view text, bool is_word);
    bool empty() const { return m_text.empty(); }
    const std::string& text() const { return m_text; }

private:
    std::string m_text;
    bool m_last_is_word = false;
};

//! ASCII lower case, for VHDL's case-insensitive keywords and names.
std::string ipdgen_lower(std::string_view text);
