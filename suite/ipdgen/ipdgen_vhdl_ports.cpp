//! @file ipdgen_vhdl_ports.cpp
//! @brief Ports of the first entity of VHDL text.
#include <ipdgen/ipdgen_lexer.h>
#include <ipdgen/ipdgen_parsers.h>

#include <stdexcept>

namespace {

using TOKENS = std::vector<IPDGEN_TOKEN>;

//! VHDL modes as port directions; buffer drives its port like out, linkage is two-way.
std::string direction_of_mode(const std::string& mode)
{
    if (mode == "in") return "input";
    if (mode == "out" || mode == "buffer") return "output";
    if (mode == "inout" || mode == "linkage") return "inout";
    return "";
}

class VHDL_PORT_READER {
public:
    explicit VHDL_PORT_READER(std::string_view text) : m_lexer(text, IPDGEN_LANGUAGE::VHDL) {}

    std::vector<IPDGEN_PORT> read()
    {
        find_entity();
        std::vector<IPDGEN_PORT> ports;
        while (true) {
            if (m_lexer.at_end()) fail("expected \"end\"");
            const std::string word = keyword(m_lexer.next());
            if (word == "end" || word == "begin") break;
            if (word == "generic") {
                expect("(");
                read_declarations();
                expect(";");
            } else if (word == "port") {
                expect("(");
                for (const TOKENS& declaration : read_declarations())
                    add_ports(declaration, ports);
                expect(";");
            } else {
                skip_statement();  // use clauses, attributes, constants of the entity
            }
        }
        return ports;
    }

private:
    static std::string keyword(const IPDGEN_TOKEN& token)
    {
        return token.is_word() ? ipdgen_lower(token.text) : std::string();
    }

    void find_entity()
    {
        while (!m_lexer.at_end()) {
            if (keyword(m_lexer.next()) != "entity" || !m_lexer.peek().is_word()) continue;
            // "entity work.e" instantiates; a declaration reads "entity e is".
            m_entity = std::string(m_lexer.next().text);
            if (keyword(m_lexer.peek()) == "is") {
                m_lexer.next();
                return;
            }
            m_entity.clear();
        }
        throw std::runtime_error("no entity found");
    }

    void expect(std::string_view punct)
    {
        if (!m_lexer.peek().is(punct)) fail("expected \"" + std::string(punct) + "\"");
        m_lexer.next();
    }

    [[noreturn]] void fail(const std::string& what) const
    {
        const IPDGEN_TOKEN& token = m_lexer.peek();
        const std::string found = token.described();
        throw std::runtime_error("line " + std::to_string(token.line) + ": " + what + " in entity " +
                                 m_entity + ", found " + found);
    }

    void skip_statement()
    {
        while (!m_lexer.at_end() && !m_lexer.next().is(";")) {
        }
    }

    //! The declarations of a list whose "(" was read, up to its ")": split at ";" of depth 0.
    std::vector<TOKENS> read_declarations()
    {
        std::vector<TOKENS> declarations(1);
        for (int depth = 0;;) {
            if (m_lexer.at_end()) fail("expected \")\"");
            const IPDGEN_TOKEN token = m_lexer.next();
            if (token.is("(")) ++depth;
            if (token.is(")") && depth-- == 0) break;
            if (depth == 0 && token.is(";")) {
                if (declarations.back().empty()) throw_at(token, "an empty declaration");
                declarations.emplace_back();
            } else {
                declarations.back().push_back(token);
            }
        }
        if (declarations.back().empty()) declarations.pop_back();
        return declarations;
    }

    //! "[signal] a, b : [mode] subtype [bus] [:= default]".
    void add_ports(const TOKENS& declaration, std::vector<IPDGEN_PORT>& ports) const
    {
        std::size_t i = 0;
        if (i < declaration.size() && keyword(declaration[i]) == "signal") ++i;
        std::vector<std::string> names;
        for (; i < declaration.size() && !declaration[i].is(":"); ++i) {
            if (declaration[i].is_word()) {
                names.emplace_back(declaration[i].text);
            } else if (!declaration[i].is(",")) {
                throw_at(declaration[i], "expected a port name");
            }
        }
        if (names.empty() || i == declaration.size())
            throw_at(declaration.front(), "expected \"NAME : TYPE\"");
        ++i;
        std::string direction = "input";
        if (i < declaration.size() && !direction_of_mode(keyword(declaration[i])).empty()) {
            direction = direction_of_mode(keyword(declaration[i++]));
        }
        IPDGEN_TEXT_BUILDER type;
        int depth = 0;
        for (; i < declaration.size(); ++i) {
            const IPDGEN_TOKEN& token = declaration[i];
            if (token.is("(")) ++depth;
            if (token.is(")")) --depth;
            if (depth == 0 && (token.is(":=") || keyword(token) == "bus")) break;
            type.add(token);
        }
        if (type.empty()) throw_at(declaration.back(), "a port without a type");
        for (const std::string& name : names)
            ports.push_back({name, direction, type.text()});
    }

    [[noreturn]] void throw_at(const IPDGEN_TOKEN& token, const std::string& what) const
    {
        throw std::runtime_error("line " + std::to_string(token.line) + ": " + what + " in entity " +
                                 m_entity + ", found \"" + std::string(token.text.substr(0, 40)) + "\"");
    }

    IPDGEN_LEXER m_lexer;
    std::string m_entity;
};

}  // namespace

std::vector<IPDGEN_PORT> ipdgen_parse_vhdl_ports(std::string_view text)
{
    return VHDL_PORT_READER(text).read();
}
