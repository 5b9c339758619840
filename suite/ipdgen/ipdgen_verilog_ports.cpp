//! @file ipdgen_verilog_ports.cpp
//! @brief Ports of the first module of Verilog or SystemVerilog text, from an ANSI header or
//! from a name list with the declarations in the module body.
#include <ipdgen/ipdgen_lexer.h>
#include <ipdgen/ipdgen_parsers.h>

#include <map>
#include <stdexcept>

namespace {

using TOKENS = std::vector<IPDGEN_TOKEN>;

class PARSE_ERROR : public std::runtime_error {
public:
    PARSE_ERROR(int line, const std::string& what)
        : std::runtime_error("line " + std::to_string(line) + ": " + what)
    {
    }
};

bool is_direction(std::string_view word)
{
    return word == "input" || word == "output" || word == "inout" || word == "ref";
}

bool opens(const IPDGEN_TOKEN& token)
{
    return token.is("(") || token.is("[") || token.is("{");
}

bool closes(const IPDGEN_TOKEN& token)
{
    return token.is(")") || token.is("]") || token.is("}");
}

//! A port item split into its parts: "TYPE RANGE NAME UNPACKED = DEFAULT".
struct PORT_ITEM {
    std::string name;
    std::string type;      //!< data type and packed ranges, the default net type "wire" left out
    std::string unpacked;  //!< ranges after the name
};

//! Index of the "[" that opens the range ending just before `end`.
std::size_t range_start(const TOKENS& tokens, std::size_t begin, std::size_t end)
{
    int depth = 0;
    for (std::size_t i = end; i > begin; --i) {
        if (closes(tokens[i - 1])) ++depth;
        if (opens(tokens[i - 1]) && --depth == 0) return i - 1;
    }
    throw PARSE_ERROR(tokens[end - 1].line, "unbalanced \"]\"");
}

//! Normalised text of tokens: blanks only between words, and between a type word and a range.
std::string type_text(const TOKENS& tokens, std::size_t begin, std::size_t end)
{
    IPDGEN_TEXT_BUILDER text;
    int depth = 0;
    bool after_range = false;
    for (std::size_t i = begin; i < end; ++i) {
        const IPDGEN_TOKEN& token = tokens[i];
        if (depth == 0 && token.is_word() && token.text == "wire") continue;
        if (depth == 0 && token.is("[") && !text.empty() && !after_range) text.add_text(" ", false);
        if (depth == 0 && token.is_word() && after_range) text.add_text(" ", false);
        text.add(token);
        if (opens(token)) ++depth;
        if (closes(token)) --depth;
        after_range = depth == 0 && token.is("]");
    }
    return text.text();
}

PORT_ITEM split_item(const TOKENS& item, std::size_t begin)
{
    std::size_t end = item.size();
    int depth = 0;
    for (std::size_t i = begin; i < item.size(); ++i) {
        if (opens(item[i])) ++depth;
        if (closes(item[i])) --depth;
        if (depth == 0 && item[i].is("=")) {
            end = i;
            break;
        }
    }
    std::size_t name_end = end;
    while (name_end > begin && item[name_end - 1].is("]"))
        name_end = range_start(item, begin, name_end);
    if (name_end == begin || !item[name_end - 1].is_word()) {
        throw PARSE_ERROR(item[begin < item.size() ? begin : 0].line, "a port without a name");
    }
    return {std::string(item[name_end - 1].text), type_text(item, begin, name_end - 1),
            type_text(item, name_end, end)};
}

std::string join_width(const std::string& type, const std::string& unpacked)
{
    if (type.empty() || unpacked.empty()) return type + unpacked;
    return type + " " + unpacked;
}

//! Reads port items: an item without direction and type takes both from the one before it,
//! an item with only a type keeps the direction before it; the first defaults to inout.
std::vector<IPDGEN_PORT> ports_of_items(const std::vector<TOKENS>& items, std::string direction)
{
    std::vector<IPDGEN_PORT> ports;
    std::string type;
    for (const TOKENS& item : items) {
        const bool has_direction = is_direction(item.front().text) && item.front().is_word();
        if (has_direction) direction = std::string(item.front().text);
        const PORT_ITEM parts = split_item(item, has_direction ? 1 : 0);
        if (has_direction || !parts.type.empty()) type = parts.type;
        ports.push_back(
            {parts.name, direction.empty() ? "inout" : direction, join_width(type, parts.unpacked)});
    }
    return ports;
}

class VERILOG_PORT_READER {
public:
    explicit VERILOG_PORT_READER(std::string_view text) : m_lexer(text, IPDGEN_LANGUAGE::VERILOG) {}

    std::vector<IPDGEN_PORT> read()
    {
        find_module();
        m_module = std::string(expect_word("a module name").text);
        while (m_lexer.peek().is_word() && m_lexer.peek().text == "import")
            skip_statement();
        if (m_lexer.peek().is("#")) {
            m_lexer.next();
            expect("(");
            skip_balanced();
        }
        std::vector<TOKENS> items;
        if (m_lexer.peek().is("(")) {
            m_lexer.next();
            items = read_list_items();
        }
        expect(";");
        if (items.empty()) return {};
        if (is_name_list(items)) return read_body_declarations(header_names(items));
        return ports_of_items(items, "");
    }

private:
    void find_module()
    {
        while (!m_lexer.at_end()) {
            const IPDGEN_TOKEN token = m_lexer.next();
            if (token.is_word() && (token.text == "module" || token.text == "macromodule")) {
                if (m_lexer.peek().is_word() &&
                    (m_lexer.peek().text == "automatic" || m_lexer.peek().text == "static"))
                    m_lexer.next();
                return;
            }
        }
        throw std::runtime_error("no module found");
    }

    IPDGEN_TOKEN expect_word(const char* what)
    {
        if (!m_lexer.peek().is_word()) fail(std::string("expected ") + what);
        return m_lexer.next();
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
        throw PARSE_ERROR(token.line,
                          what + (m_module.empty() ? "" : " in module " + m_module) + ", found " + found);
    }

    //! Skips up to the parenthesis closing one already read.
    void skip_balanced()
    {
        for (int depth = 1; depth > 0;) {
            if (m_lexer.at_end()) fail("expected \")\"");
            const IPDGEN_TOKEN token = m_lexer.next();
            if (opens(token)) ++depth;
            if (closes(token)) --depth;
        }
    }

    void skip_statement()
    {
        while (!m_lexer.at_end() && !m_lexer.next().is(";")) {
        }
    }

    //! Tokens up to `stop` at depth 0 (consumed), split at commas of depth 0.
    std::vector<TOKENS> read_items(std::string_view stop)
    {
        std::vector<TOKENS> items(1);
        int depth = 0;
        while (true) {
            if (m_lexer.at_end()) fail("expected \"" + std::string(stop) + "\"");
            const IPDGEN_TOKEN token = m_lexer.next();
            if (depth == 0 && token.is(stop)) break;
            if (depth == 0 && token.is(",")) {
                if (items.back().empty()) throw PARSE_ERROR(token.line, "an empty port");
                items.emplace_back();
                continue;
            }
            if (opens(token)) ++depth;
            if (closes(token) && --depth < 0)
                throw PARSE_ERROR(token.line, "unbalanced \"" + std::string(token.text) + "\"");
            items.back().push_back(token);
        }
        if (items.back().empty()) {
            if (items.size() > 1) fail("a port after the last comma");
            items.pop_back();
        }
        return items;
    }

    std::vector<TOKENS> read_list_items() { return read_items(")"); }

    //! A non-ANSI header names its ports only: "a", ".a(x)", "a[3:0]", "{a, b}".
    static bool is_name_list(const std::vector<TOKENS>& items)
    {
        const TOKENS& first = items.front();
        if (first.front().is(".") || first.front().is("{")) return true;
        return first.front().is_word() && !is_direction(first.front().text) &&
               (first.size() == 1 || first[1].is("["));
    }

    static std::vector<std::string> header_names(const std::vector<TOKENS>& items)
    {
        std::vector<std::string> names;
        for (const TOKENS& item : items) {
            if (item.front().is(".") && item.size() > 1 && item[1].is_word()) {
                names.emplace_back(item[1].text);
            } else if (item.front().is_word()) {
                names.emplace_back(item.front().text);
            }
        }
        return names;
    }

    std::vector<IPDGEN_PORT> read_body_declarations(const std::vector<std::string>& names)
    {
        std::vector<IPDGEN_PORT> ports;
        std::map<std::string, std::size_t> index;
        for (const std::string& name : names) {
            if (index.emplace(name, ports.size()).second) ports.push_back({name, "", ""});
        }
        IPDGEN_TOKEN previous;
        while (true) {
            if (m_lexer.at_end()) fail("expected \"endmodule\"");
            const IPDGEN_TOKEN token = m_lexer.next();
            if (!token.is_word()) {
                previous = token;
                continue;
            }
            if (token.text == "endmodule") break;
            if (token.text == "function" || token.text == "task") {
                skip_subroutine(token.text, previous);
            } else if (is_direction(token.text)) {
                for (IPDGEN_PORT& declared : ports_of_items(read_items(";"), std::string(token.text))) {
                    const auto found = index.find(declared.name);
                    if (found != index.end()) ports[found->second] = declared;
                }
            } else if (token.text == "reg" || token.text == "logic") {
                add_data_type(token.text, ports, index);
            }
            previous = token;
        }
        return ports;
    }

    //! "output [7:0] q; reg [7:0] q;" makes q a reg, as "output reg [7:0] q" would.
    void add_data_type(std::string_view type, std::vector<IPDGEN_PORT>& ports,
                       const std::map<std::string, std::size_t>& index)
    {
        for (const TOKENS& item : read_items(";")) {
            const auto found = index.find(split_item(item, 0).name);
            if (found == index.end()) continue;
            std::string& width = ports[found->second].width;
            if (width.empty() || width.front() == '[')
                width = std::string(type) + (width.empty() ? "" : " ") + width;
        }
    }

    //! Skips a function or task body; imported and external prototypes have none.
    void skip_subroutine(std::string_view kind, const IPDGEN_TOKEN& previous)
    {
        const bool prototype =
            previous.kind == IPDGEN_TOKEN_KIND::STRING ||
            (previous.is_word() &&
             (previous.text == "extern" || previous.text == "context" || previous.text == "pure" ||
              previous.text == "import" || previous.text == "export"));
        if (prototype) {
            skip_statement();
            return;
        }
        const std::string end = "end" + std::string(kind);
        while (!m_lexer.at_end()) {
            const IPDGEN_TOKEN token = m_lexer.next();
            if (token.is_word() && (token.text == end || token.text == "endmodule")) {
                if (token.text == end) return;
                break;
            }
        }
        fail("expected \"" + end + "\"");
    }

    IPDGEN_LEXER m_lexer;
    std::string m_module;
};

}  // namespace

std::vector<IPDGEN_PORT> ipdgen_parse_verilog_ports(std::string_view text)
{
    return VERILOG_PORT_READER(text).read();
}
