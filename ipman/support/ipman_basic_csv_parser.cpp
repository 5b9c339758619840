//! @file ipman_basic_csv_parser.cpp
//! @brief The CSV line state machine and the whole-file readers of the reference tables.
#include "support/ipman_basic_csv_parser.h"

#include "support/ipman_debug.h"
#include "support/ipman_input_file.h"

#include <gen/gen.h>

#include <fmt/format.h>

#include <cstring>
#include <string_view>

namespace {

enum class CSV_STATE { FIELD_START, UNQUOTED, QUOTED, QUOTE_SEEN, AFTER_FIELD };

bool is_blank(char c)
{
    return c == ' ' || c == '\t';
}

//! Reads a file whole; a path that is missing or unreadable answers false.
bool read_whole_file(const FIO_PATH& path, std::string& content)
{
    if (!FIO_FILE_SYSTEM::exists(path)) {
        ipman_debug(fmt::format("No file to read at {}", path.fullpath()));
        return false;
    }
    if (!ipman_read_input_file(path.fullpath(), IPMAN_MAX_TABLE_FILE_SIZE, "reference table", content)) {
        ipman_debug(fmt::format("Cannot read {}", path.fullpath()));
        return false;
    }
    return true;
}

//! Tables edited on Windows end their lines in CR LF; the parser treats a carriage return
//! as data, so it would otherwise stick to the last field of every row.
void convert_crlf_line_ends(std::string& text)
{
    std::string::size_type out = 0;
    for (std::string::size_type in = 0; in < text.size(); ++in) {
        const bool crlf = text[in] == '\r' && in + 1 < text.size() && text[in + 1] == '\n';
        if (!crlf) text[out++] = text[in];
    }
    text.resize(out);
}

std::string_view trim_list_line(std::string_view line)
{
    static constexpr char kTrimmed[] = " \n\r\t";
    const auto first = line.find_first_not_of(kTrimmed);
    if (first == std::string_view::npos) return {};
    const auto last = line.find_last_not_of(kTrimmed);
    return line.substr(first, last - first + 1);
}

}  // namespace

IPMAN_CSV_PARSER::~IPMAN_CSV_PARSER() = default;

IPMAN_BASIC_CSV_PARSER::~IPMAN_BASIC_CSV_PARSER() = default;

void IPMAN_BASIC_CSV_PARSER::parse_buffer(const char* text, std::size_t length,
                                          std::vector<IPMAN_CSV_ROW>& rows) const
{
    std::size_t start = 0;
    while (start < length) {
        const void* newline = std::memchr(text + start, '\n', length - start);
        const std::size_t end =
            newline ? static_cast<std::size_t>(static_cast<const char*>(newline) - text) : length;
        IPMAN_CSV_ROW fields;
        parse_line(text + start, end - start, fields);
        if (!fields.empty()) rows.push_back(std::move(fields));
        start = end + 1;
    }
}

void IPMAN_BASIC_CSV_PARSER::parse_line(const char* line, std::size_t length,
                                        std::vector<std::string>& fields) const
{
    CSV_STATE state = CSV_STATE::FIELD_START;
    std::string field;
    std::string pending_blanks;  // blanks inside an unquoted field are kept only when
                                 // more of the field follows them
    bool line_has_field = false;
    auto append_field = [&] {
        fields.push_back(std::move(field));
        field.clear();
        pending_blanks.clear();
        line_has_field = true;
    };

    for (std::size_t i = 0; i < length; ++i) {
        const char c = line[i];
        switch (state) {
        case CSV_STATE::FIELD_START:
            if (c == ',') {
                append_field();
            } else if (c == '"') {
                state = CSV_STATE::QUOTED;
            } else if (!is_blank(c)) {
                field += c;
                state = CSV_STATE::UNQUOTED;
            }
            break;
        case CSV_STATE::UNQUOTED:
            if (c == ',') {
                append_field();
                state = CSV_STATE::FIELD_START;
            } else if (is_blank(c)) {
                pending_blanks += c;
            } else {
                field += pending_blanks;
                pending_blanks.clear();
                field += c;
            }
            break;
        case CSV_STATE::QUOTED:
            if (c == '"')
                state = CSV_STATE::QUOTE_SEEN;
            else
                field += c;
            break;
        case CSV_STATE::QUOTE_SEEN:
            if (c == '"') {
                field += '"';
                state = CSV_STATE::QUOTED;
            } else {
                append_field();
                state = c == ',' ? CSV_STATE::FIELD_START : CSV_STATE::AFTER_FIELD;
            }
            break;
        case CSV_STATE::AFTER_FIELD:
            if (c == ',') state = CSV_STATE::FIELD_START;
            break;
        }
    }

    switch (state) {
    case CSV_STATE::UNQUOTED:
    case CSV_STATE::QUOTED:  // an unterminated quoted field is kept as read
    case CSV_STATE::QUOTE_SEEN:
        append_field();
        break;
    case CSV_STATE::FIELD_START:  // "a," ends in an empty field; a blank line has none
        if (line_has_field) append_field();
        break;
    case CSV_STATE::AFTER_FIELD:
        break;
    }
}

FIO_PATH ipman_reference_table_path(const char* file_name)
{
    return FIO_PATH(gen_get_common_misc_fullpath(), file_name);
}

bool read_csv_file(const FIO_PATH& path, std::vector<IPMAN_CSV_ROW>& rows)
{
    std::string content;
    if (!read_whole_file(path, content)) return false;
    convert_crlf_line_ends(content);
    IPMAN_BASIC_CSV_PARSER().parse_buffer(content.data(), content.size(), rows);
    return true;
}

bool read_list_file(const FIO_PATH& path, std::vector<std::string>& lines)
{
    std::string content;
    if (!read_whole_file(path, content)) return false;
    std::string_view rest(content);
    while (!rest.empty()) {
        const auto newline = rest.find('\n');
        const std::string_view line = trim_list_line(rest.substr(0, newline));
        if (!line.empty() && line.front() != '#') lines.emplace_back(line);
        rest = newline == std::string_view::npos ? std::string_view() : rest.substr(newline + 1);
    }
    return true;
}
