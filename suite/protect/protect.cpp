//! @file protect.cpp
//! @brief Protected HDL sources: the envelope test, the header comment, vendors and proxies.
#include <protect/protect.h>

#include <gen/gen.h>
#include <wizman/hdl_text_reader.h>

#include <sys/stat.h>

namespace {

//! A protect directive of a line: the words after "`pragma protect" (Verilog) or
//! "`protect" (VHDL), leading blanks allowed; false for any other line.
bool protect_directive(const std::string& line, std::string& rest)
{
    const std::size_t start = line.find_first_not_of(" \t");
    if (start == std::string::npos) return false;
    for (const char* prefix : {"`pragma protect", "`protect"}) {
        const std::string key(prefix);
        if (line.compare(start, key.size(), key) == 0) {
            const std::size_t after = start + key.size();
            if (after < line.size() && line[after] != ' ' && line[after] != '\t')
                continue;  // "`protected" and the like
            const std::size_t word = line.find_first_not_of(" \t", after);
            rest = word == std::string::npos ? std::string() : line.substr(word);
            return true;
        }
    }
    return false;
}

//! True when the directive is the keyword alone or the keyword followed by blanks or "=".
bool directive_is(const std::string& directive, const std::string& keyword)
{
    if (directive.compare(0, keyword.size(), keyword) != 0) return false;
    return directive.size() == keyword.size() || directive[keyword.size()] == ' ' ||
           directive[keyword.size()] == '\t' || directive[keyword.size()] == '=';
}

//! The string of a "comment = \"...\"" directive with its escapes undone; false when the
//! directive is not a comment or its string does not close.
bool comment_text(const std::string& directive, std::string& text)
{
    if (!directive_is(directive, "comment")) return false;
    std::size_t at = directive.find_first_not_of(" \t", 7);
    if (at == std::string::npos || directive[at] != '=') return false;
    at = directive.find_first_not_of(" \t", at + 1);
    if (at == std::string::npos || directive[at] != '"') return false;
    text.clear();
    for (++at; at < directive.size(); ++at) {
        const char c = directive[at];
        if (c == '"') return true;
        if (c == '\\' && at + 1 < directive.size())
            text.push_back(directive[++at]);
        else
            text.push_back(c);
    }
    return false;
}

//! Next "key=value" word of a header comment; a value in double quotes keeps its quotes and
//! may hold blanks. False at the end.
bool next_pair(const std::string& text, std::size_t& at, std::string& key, std::string& value)
{
    at = text.find_first_not_of(" \t", at);
    if (at == std::string::npos) return false;
    const std::size_t equals = text.find('=', at);
    const std::size_t blank = text.find_first_of(" \t", at);
    if (equals == std::string::npos || (blank != std::string::npos && blank < equals)) {
        key = text.substr(at, blank == std::string::npos ? std::string::npos : blank - at);
        value.clear();
        at = blank == std::string::npos ? text.size() : blank;
        return true;
    }
    key = text.substr(at, equals - at);
    std::size_t end = equals + 1;
    if (end < text.size() && text[end] == '"') {
        const std::size_t close = text.find('"', end + 1);
        end = close == std::string::npos ? text.size() : close + 1;
    } else {
        end = text.find_first_of(" \t", end);
        if (end == std::string::npos) end = text.size();
    }
    value = text.substr(equals + 1, end - equals - 1);
    at = end;
    return true;
}

struct VENDOR {
    const char* id;
    const char* name;
};

const VENDOR VENDORS[] = {
    {"6AF7", "Oltran"},
    {"6AF8", "Nodrin Corporation"},
    {"7B10", "Brightlane Logic"},
    {"7B11", "Quillon Systems"},
};

}  // namespace

int cpt_is_encrypted_file(const std::string& path)
{
    // The reader opens regular files only.
    HDL_TEXT_READER reader(path);
    if (!reader.is_open()) return -1;
    std::string line;
    while (reader.next_line(line))
        if (cpt_opens_protected_envelope(line)) return reader.line_number();
    return 0;
}

bool cpt_opens_protected_envelope(const std::string& line)
{
    std::string directive;
    return protect_directive(line, directive) && directive_is(directive, "begin_protected");
}

std::string cpt_get_proxy_file_if_any(const std::string& path)
{
    if (path.empty()) return {};
    const std::string proxy = path + ".cpt";
    struct stat info {};
    return ::stat(proxy.c_str(), &info) == 0 && S_ISREG(info.st_mode) ? proxy : std::string();
}

std::string cpt_get_vendor_name(const std::string& vendor_id)
{
    for (const VENDOR& vendor : VENDORS)
        if (gen_iequals(vendor_id, vendor.id)) return vendor.name;
    return "N/A";
}

bool CPT_PROTECTED_FILE_READER::parse_comment(const std::string& comment)
{
    std::size_t at = 0;
    std::string key, value;
    while (next_pair(comment, at, key, value)) {
        if (key == "core_name")
            m_core_name = value;
        else if (key == "core_version")
            m_core_version = value;
        else if (key == "vendor")
            m_vendor_id = value;
    }
    return !m_core_name.empty();
}

bool CPT_PROTECTED_FILE_READER::open(const std::string& path)
{
    *this = CPT_PROTECTED_FILE_READER();
    HDL_TEXT_READER reader(path);  // regular files only
    if (!reader.is_open()) return false;
    bool in_envelope = false;
    bool header_found = false;
    std::string line, directive, comment;
    while (reader.next_line(line)) {
        if (!protect_directive(line, directive)) continue;
        if (directive_is(directive, "begin_protected"))
            in_envelope = true;
        else if (!header_found && comment_text(directive, comment))
            header_found = parse_comment(comment);
        else if (in_envelope && directive_is(directive, "data_block") && header_found)
            break;  // the rest is the encrypted data
    }
    if (!in_envelope) *this = CPT_PROTECTED_FILE_READER();
    return in_envelope;
}
