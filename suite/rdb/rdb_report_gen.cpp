//! @file rdb_report_gen.cpp
//! @brief The text copy of a report: title, contents, then every object under a heading
//! that names its folder path. Tables are drawn with "+---+" rules, the first row being the
//! header; summaries are aligned "label : value" lines.
#include <rdb/rdb.h>

#include "rdb_plain_text.h"

#include <fio/fio.h>

#include <fmt/format.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace {

constexpr std::size_t TEXT_WIDTH = 100;

const char* color_mark(RDB_COLOR color)
{
    switch (color) {
    case RDB_COLOR_RED:
        return " (red)";
    case RDB_COLOR_YELLOW:
        return " (yellow)";
    case RDB_COLOR_GREEN:
        return " (green)";
    default:
        return "";
    }
}

std::string padded(const std::string& text, std::size_t width)
{
    return text + std::string(width - std::min(width, rdb_display_width(text)), ' ');
}

//! Names of the folders from a main folder down to the target, or empty when the target is
//! not part of the report.
bool folder_path(const RDB_FOLDER_OBJECT& folder, const RDB_FOLDER_OBJECT* target,
                 std::vector<std::string>& path)
{
    path.push_back(rdb_one_line(folder.get_name()));
    if (&folder == target) return true;
    for (std::size_t i = 0; i < folder.get_number_of_objects(); ++i) {
        const RDB_OBJECT* object = folder.get_object(i);
        if (object->get_kind() == RDB_OBJECT_KIND::FOLDER &&
            folder_path(static_cast<const RDB_FOLDER_OBJECT&>(*object), target, path))
            return true;
    }
    path.pop_back();
    return false;
}

std::string joined(const std::vector<std::string>& path)
{
    std::string text;
    for (const std::string& name : path)
        text += (text.empty() ? "" : " / ") + name;
    return text;
}

class TEXT_COPY {
public:
    void title(const std::string& title)
    {
        const std::string line = rdb_one_line(title);
        m_out += line + "\n" + std::string(rdb_display_width(line), '=') + "\n\nTable of Contents\n";
    }

    void contents(const RDB_FOLDER_OBJECT& folder, std::size_t level)
    {
        m_out += std::string(2 * level, ' ') + rdb_one_line(folder.get_name()) + "\n";
        for (std::size_t i = 0; i < folder.get_number_of_objects(); ++i) {
            const RDB_OBJECT& object = *folder.get_object(i);
            if (object.get_kind() == RDB_OBJECT_KIND::FOLDER)
                contents(static_cast<const RDB_FOLDER_OBJECT&>(object), level + 1);
            else
                m_out += std::string(2 * (level + 1), ' ') + rdb_one_line(object.get_name()) + "\n";
        }
    }

    void body(const RDB_FOLDER_OBJECT& folder, std::vector<std::string>& path)
    {
        for (std::size_t i = 0; i < folder.get_number_of_objects(); ++i) {
            const RDB_OBJECT& object = *folder.get_object(i);
            if (object.get_kind() == RDB_OBJECT_KIND::FOLDER) {
                path.push_back(rdb_one_line(object.get_name()));
                body(static_cast<const RDB_FOLDER_OBJECT&>(object), path);
                path.pop_back();
                continue;
            }
            const char* mark = object.get_kind() == RDB_OBJECT_KIND::TABLE
                                   ? color_mark(static_cast<const RDB_TABLE_OBJECT&>(object).get_color())
                                   : "";
            m_out +=
                fmt::format("\n--- {} / {}{} ---\n", joined(path), rdb_one_line(object.get_name()), mark);
            object_body(object);
        }
    }

    std::string take() { return std::move(m_out); }

private:
    void object_body(const RDB_OBJECT& object)
    {
        switch (object.get_kind()) {
        case RDB_OBJECT_KIND::TABLE:
            table(static_cast<const RDB_TABLE_OBJECT&>(object));
            break;
        case RDB_OBJECT_KIND::SUMMARY:
            summary(static_cast<const RDB_SUMMARY_TABLE_OBJECT&>(object));
            break;
        case RDB_OBJECT_KIND::LEGAL:
            legal(static_cast<const RDB_LEGAL_OBJECT&>(object));
            break;
        case RDB_OBJECT_KIND::MESSAGES:
            messages(static_cast<const RDB_MESSAGES_OBJECT&>(object));
            break;
        case RDB_OBJECT_KIND::FOLDER:
            break;
        }
    }

    void table(const RDB_TABLE_OBJECT& table)
    {
        std::vector<RDB_ROW> rows;
        std::vector<std::size_t> widths;
        for (std::size_t r = 0; r < table.get_number_of_rows(); ++r) {
            RDB_ROW row;
            for (const std::string& cell : table.get_row(r))
                row.push_back(rdb_one_line(cell));
            if (widths.size() < row.size()) widths.resize(row.size(), 0);
            for (std::size_t c = 0; c < row.size(); ++c)
                widths[c] = std::max(widths[c], rdb_display_width(row[c]));
            rows.push_back(std::move(row));
        }
        if (widths.empty()) {
            m_out += "(no rows)\n";
            return;
        }
        std::string rule = "+";
        for (std::size_t width : widths)
            rule += std::string(width + 2, '-') + "+";
        rule += "\n";
        m_out += rule;
        for (std::size_t r = 0; r < rows.size(); ++r) {
            std::string line = "|";
            for (std::size_t c = 0; c < widths.size(); ++c)
                line += " " + padded(c < rows[r].size() ? rows[r][c] : "", widths[c]) + " |";
            m_out += line + "\n";
            if (r == 0) m_out += rule;
        }
        if (rows.size() > 1) m_out += rule;
    }

    void summary(const RDB_SUMMARY_TABLE_OBJECT& summary)
    {
        std::size_t width = 0;
        for (const auto& row : summary.get_rows())
            width = std::max(width, rdb_display_width(rdb_one_line(row.first)));
        for (const auto& [label, value] : summary.get_rows())
            m_out += padded(rdb_one_line(label), width) + " : " + rdb_one_line(value) + "\n";
    }

    void legal(const RDB_LEGAL_OBJECT& legal)
    {
        const std::string text = legal.get_is_html() ? rdb_strip_html(legal.get_text()) : legal.get_text();
        for (const std::string& line : rdb_wrap(text, TEXT_WIDTH))
            m_out += line + "\n";
    }

    // Continuation lines of a message are indented so every message starts at column 0.
    void messages(const RDB_MESSAGES_OBJECT& messages)
    {
        for (const RDB_MESSAGE& message : messages.get_messages()) {
            const std::string id = message.id ? fmt::format(" ({})", message.id) : "";
            std::vector<std::string> lines = rdb_lines(message.text);
            if (lines.empty()) lines.emplace_back();
            m_out += rdb_one_line(message.severity) + id + ": " + lines[0] + "\n";
            for (std::size_t i = 1; i < lines.size(); ++i)
                m_out += "    " + lines[i] + "\n";
        }
    }

    std::string m_out;
};

}  // namespace

std::string RDB_REPORT_GEN::render() const
{
    // Without entries the copy shows the whole report.
    std::vector<const RDB_FOLDER_OBJECT*> entries = m_entries;
    if (entries.empty())
        for (std::size_t i = 0; i < m_report.get_number_of_main_folders(); ++i)
            entries.push_back(m_report.get_main_folder(i));

    TEXT_COPY copy;
    copy.title(m_title);
    for (const RDB_FOLDER_OBJECT* entry : entries)
        if (entry) copy.contents(*entry, 1);
    for (const RDB_FOLDER_OBJECT* entry : entries) {
        if (!entry) continue;
        std::vector<std::string> path;
        for (std::size_t i = 0; i < m_report.get_number_of_main_folders() && path.empty(); ++i)
            folder_path(*m_report.get_main_folder(i), entry, path);
        if (path.empty()) path.push_back(rdb_one_line(entry->get_name()));
        copy.body(*entry, path);
    }
    return copy.take();
}

bool RDB_REPORT_GEN::write_report_files(const std::string& path, bool overwrite, std::string* error) const
{
    std::string reason;
    const FIO_PATH file(path);
    const std::string folder = file.directory();
    if (path.empty())
        reason = "no file name was given";
    else if (FIO_FILE_SYSTEM::is_directory(file))
        reason = "it is a folder";
    else if (!overwrite && FIO_FILE_SYSTEM::exists(file))
        reason = "the file exists and may not be replaced";
    else if (!folder.empty() && !FIO_FILE_SYSTEM::is_directory(folder))
        reason = fmt::format("the folder {} does not exist", folder);
    else {
        errno = 0;
        if (FIO_FILE_SYSTEM::write_file_atomically(file, render())) return true;
        reason = errno ? std::strerror(errno) : "the file cannot be replaced";
    }
    if (error) *error = fmt::format("cannot write the report file {}: {}", path, reason);
    return false;
}
