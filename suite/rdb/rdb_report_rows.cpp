//! @file rdb_report_rows.cpp
//! @brief Mapping report objects to rows of the report database and back.
#include "rdb_report_rows.h"

#include "rdb_schema.h"

#include <fmt/format.h>

#include <cstdint>
#include <limits>
#include <map>
#include <optional>
#include <vector>

namespace {

const char* kind_name(RDB_OBJECT_KIND kind)
{
    switch (kind) {
    case RDB_OBJECT_KIND::FOLDER:
        return "folder";
    case RDB_OBJECT_KIND::TABLE:
        return "table";
    case RDB_OBJECT_KIND::SUMMARY:
        return "summary";
    case RDB_OBJECT_KIND::LEGAL:
        return "legal";
    case RDB_OBJECT_KIND::MESSAGES:
        return "messages";
    }
    return "";
}

std::optional<RDB_OBJECT_KIND> kind_from_name(const std::string& name)
{
    for (RDB_OBJECT_KIND kind : {RDB_OBJECT_KIND::FOLDER, RDB_OBJECT_KIND::TABLE, RDB_OBJECT_KIND::SUMMARY,
                                 RDB_OBJECT_KIND::LEGAL, RDB_OBJECT_KIND::MESSAGES})
        if (name == kind_name(kind)) return kind;
    return std::nullopt;
}

RDB_COLOR color_from_number(std::int64_t number)
{
    switch (number) {
    case RDB_COLOR_RED:
        return RDB_COLOR_RED;
    case RDB_COLOR_YELLOW:
        return RDB_COLOR_YELLOW;
    case RDB_COLOR_GREEN:
        return RDB_COLOR_GREEN;
    default:
        return RDB_COLOR_NONE;
    }
}

class ROW_WRITER {
public:
    ROW_WRITER(RDB_SQLITE_DATABASE& db)
        : m_db(db),
          m_object(db.prepare("INSERT INTO object (report_id, parent_id, position, kind, name, color, text, "
                              "is_html) VALUES (?, ?, ?, ?, ?, ?, ?, ?)")),
          m_row(db.prepare("INSERT INTO table_row (object_id, position) VALUES (?, ?)")),
          m_cell(db.prepare("INSERT INTO table_cell (row_id, position, value) VALUES (?, ?, ?)")),
          m_summary(
              db.prepare("INSERT INTO summary_row (object_id, position, label, value) VALUES (?, ?, ?, ?)")),
          m_message(db.prepare(
              "INSERT INTO message (object_id, position, severity, message_id, text) VALUES (?, ?, ?, ?, ?)"))
    {
    }

    void write(const RDB_REPORT& report)
    {
        RDB_SQLITE_STATEMENT remove = m_db.prepare("DELETE FROM report WHERE revision = ? AND type = ?");
        remove.bind(1, report.get_revision()).bind(2, std::int64_t{report.get_type()}).run();
        RDB_SQLITE_STATEMENT insert = m_db.prepare("INSERT INTO report (revision, type, written_at) VALUES "
                                                   "(?, ?, strftime('%Y-%m-%dT%H:%M:%SZ', 'now'))");
        insert.bind(1, report.get_revision()).bind(2, std::int64_t{report.get_type()}).run();
        m_report_id = m_db.last_insert_id();
        for (std::size_t i = 0; i < report.get_number_of_main_folders(); ++i)
            write_object(*report.get_main_folder(i), std::nullopt, i, 1);
    }

private:
    void write_object(const RDB_OBJECT& object, std::optional<std::int64_t> parent, std::size_t position,
                      std::size_t depth)
    {
        m_budget.add_object(depth);
        m_budget.add_text(object.get_name().size());
        m_object.bind(1, m_report_id);
        parent ? m_object.bind(2, *parent) : m_object.bind_null(2);
        m_object.bind(3, static_cast<std::int64_t>(position)).bind(4, kind_name(object.get_kind()));
        m_object.bind(5, object.get_name());
        if (object.get_kind() == RDB_OBJECT_KIND::TABLE)
            m_object.bind(6, std::int64_t{static_cast<const RDB_TABLE_OBJECT&>(object).get_color()});
        else
            m_object.bind(6, std::int64_t{0});
        if (object.get_kind() == RDB_OBJECT_KIND::LEGAL) {
            const auto& legal = static_cast<const RDB_LEGAL_OBJECT&>(object);
            m_budget.add_text(legal.get_text().size());
            m_object.bind(7, legal.get_text()).bind(8, std::int64_t{legal.get_is_html()});
        } else {
            m_object.bind_null(7).bind(8, std::int64_t{0});
        }
        m_object.run();
        const std::int64_t id = m_db.last_insert_id();

        switch (object.get_kind()) {
        case RDB_OBJECT_KIND::FOLDER: {
            const auto& folder = static_cast<const RDB_FOLDER_OBJECT&>(object);
            for (std::size_t i = 0; i < folder.get_number_of_objects(); ++i)
                write_object(*folder.get_object(i), id, i, depth + 1);
            break;
        }
        case RDB_OBJECT_KIND::TABLE:
            write_rows(static_cast<const RDB_TABLE_OBJECT&>(object), id);
            break;
        case RDB_OBJECT_KIND::SUMMARY:
            write_summary(static_cast<const RDB_SUMMARY_TABLE_OBJECT&>(object), id);
            break;
        case RDB_OBJECT_KIND::MESSAGES:
            write_messages(static_cast<const RDB_MESSAGES_OBJECT&>(object), id);
            break;
        case RDB_OBJECT_KIND::LEGAL:
            break;
        }
    }

    void write_rows(const RDB_TABLE_OBJECT& table, std::int64_t id)
    {
        for (std::size_t r = 0; r < table.get_number_of_rows(); ++r) {
            m_budget.add_value();
            m_row.bind(1, id).bind(2, static_cast<std::int64_t>(r)).run();
            const std::int64_t row_id = m_db.last_insert_id();
            const RDB_ROW& row = table.get_row(r);
            for (std::size_t c = 0; c < row.size(); ++c) {
                m_budget.add_value();
                m_budget.add_text(row[c].size());
                m_cell.bind(1, row_id).bind(2, static_cast<std::int64_t>(c)).bind(3, row[c]).run();
            }
        }
    }

    void write_summary(const RDB_SUMMARY_TABLE_OBJECT& summary, std::int64_t id)
    {
        std::int64_t position = 0;
        for (const auto& [label, value] : summary.get_rows()) {
            m_budget.add_value();
            m_budget.add_text(label.size() + value.size());
            m_summary.bind(1, id).bind(2, position++).bind(3, label).bind(4, value).run();
        }
    }

    void write_messages(const RDB_MESSAGES_OBJECT& messages, std::int64_t id)
    {
        std::int64_t position = 0;
        for (const RDB_MESSAGE& message : messages.get_messages()) {
            m_budget.add_value();
            m_budget.add_text(message.severity.size() + message.text.size());
            m_message.bind(1, id).bind(2, position++).bind(3, message.severity);
            m_message.bind(4, std::int64_t{message.id}).bind(5, message.text).run();
        }
    }

    RDB_SQLITE_DATABASE& m_db;
    RDB_SQLITE_STATEMENT m_object, m_row, m_cell, m_summary, m_message;
    RDB_REPORT_BUDGET m_budget;
    std::int64_t m_report_id = 0;
};

//! One stored object before it is placed in its folder.
struct OBJECT_ROW {
    std::int64_t id = 0;
    RDB_OBJECT_KIND kind = RDB_OBJECT_KIND::FOLDER;
    std::string name;
    RDB_COLOR color = RDB_COLOR_NONE;
    std::string text;
    bool is_html = false;
};

[[noreturn]] void damaged(const std::string& what)
{
    throw RDB_STORE_ERROR("the stored report is damaged: " + what);
}

class ROW_READER {
public:
    explicit ROW_READER(RDB_SQLITE_DATABASE& db)
        : m_db(db),
          m_cells(db.prepare(
              "SELECT r.id, c.position, c.value FROM table_row r LEFT JOIN table_cell c ON c.row_id "
              "= r.id WHERE r.object_id = ? ORDER BY r.position, r.id, c.position")),
          m_summary(db.prepare("SELECT label, value FROM summary_row WHERE object_id = ? ORDER BY position")),
          m_messages(db.prepare(
              "SELECT severity, message_id, text FROM message WHERE object_id = ? ORDER BY position"))
    {
    }

    std::unique_ptr<RDB_REPORT> read(const std::string& revision, int type)
    {
        RDB_SQLITE_STATEMENT find = m_db.prepare("SELECT id FROM report WHERE revision = ? AND type = ?");
        find.bind(1, revision).bind(2, std::int64_t{type});
        if (!find.step()) return nullptr;
        read_objects(find.column_int(0));

        auto report = std::make_unique<RDB_REPORT>(revision, type);
        for (const OBJECT_ROW& row : m_main_folders) {
            if (row.kind != RDB_OBJECT_KIND::FOLDER) damaged("a main folder is not a folder");
            auto folder = std::make_unique<RDB_FOLDER_OBJECT>(row.name);
            fill_folder(*folder, row.id, 1);
            report->add_main_folder(std::move(folder));
        }
        return report;
    }

private:
    // Objects are read in one pass and linked by parent; anything not reachable from a main
    // folder (a hand-edited database) is ignored, so a loop of parents cannot recurse.
    void read_objects(std::int64_t report_id)
    {
        RDB_SQLITE_STATEMENT objects = m_db.prepare(
            "SELECT id, parent_id, kind, name, color, text, is_html FROM object WHERE report_id = ? "
            "ORDER BY parent_id, position, id LIMIT ?");
        objects.bind(1, report_id).bind(2, static_cast<std::int64_t>(RDB_MAX_OBJECTS + 1));
        while (objects.step()) {
            OBJECT_ROW row;
            row.id = objects.column_int(0);
            const std::string kind = objects.column_text(2, RDB_MAX_VALUE_BYTES);
            const std::optional<RDB_OBJECT_KIND> known = kind_from_name(kind);
            if (!known) damaged(fmt::format("unknown object kind \"{}\"", kind));
            row.kind = *known;
            row.name = text(objects, 3);
            row.color = color_from_number(objects.column_int(4));
            row.text = text(objects, 5);
            row.is_html = objects.column_int(6) != 0;
            m_budget.add_object(1);
            if (objects.is_null(1))
                m_main_folders.push_back(std::move(row));
            else
                m_children[objects.column_int(1)].push_back(std::move(row));
        }
    }

    void fill_folder(RDB_FOLDER_OBJECT& folder, std::int64_t id, std::size_t depth)
    {
        if (depth > RDB_MAX_FOLDER_DEPTH)
            damaged(fmt::format("folders nested deeper than {}", RDB_MAX_FOLDER_DEPTH));
        auto children = m_children.find(id);
        if (children == m_children.end()) return;
        for (OBJECT_ROW& row : children->second)
            folder.add_object(make_object(row, depth));
    }

    std::unique_ptr<RDB_OBJECT> make_object(OBJECT_ROW& row, std::size_t depth)
    {
        switch (row.kind) {
        case RDB_OBJECT_KIND::FOLDER: {
            auto folder = std::make_unique<RDB_FOLDER_OBJECT>(std::move(row.name));
            fill_folder(*folder, row.id, depth + 1);
            return folder;
        }
        case RDB_OBJECT_KIND::TABLE: {
            auto table = std::make_unique<RDB_TABLE_OBJECT>(std::move(row.name));
            table->set_color(row.color);
            read_rows(*table, row.id);
            return table;
        }
        case RDB_OBJECT_KIND::SUMMARY: {
            auto summary = std::make_unique<RDB_SUMMARY_TABLE_OBJECT>(std::move(row.name));
            m_summary.bind(1, row.id);
            while (m_summary.step()) {
                m_budget.add_value();
                std::string label = text(m_summary, 0);
                summary->set_data(label, text(m_summary, 1));
            }
            m_summary.reset();
            return summary;
        }
        case RDB_OBJECT_KIND::LEGAL: {
            auto legal = std::make_unique<RDB_LEGAL_OBJECT>(std::move(row.text));
            legal->set_is_html(row.is_html);
            return legal;
        }
        case RDB_OBJECT_KIND::MESSAGES: {
            auto messages = std::make_unique<RDB_MESSAGES_OBJECT>(std::move(row.name));
            m_messages.bind(1, row.id);
            while (m_messages.step()) {
                m_budget.add_value();
                RDB_MESSAGE message;
                message.severity = text(m_messages, 0);
                message.id = to_int(m_messages.column_int(1));
                message.text = text(m_messages, 2);
                messages->add_message(std::move(message));
            }
            m_messages.reset();
            return messages;
        }
        }
        damaged("unknown object kind");
    }

    void read_rows(RDB_TABLE_OBJECT& table, std::int64_t id)
    {
        m_cells.bind(1, id);
        std::optional<std::int64_t> current_row;
        RDB_ROW row;
        while (m_cells.step()) {
            m_budget.add_value();
            const std::int64_t row_id = m_cells.column_int(0);
            if (current_row && *current_row != row_id) table.add_row(std::move(row));
            if (current_row != row_id) row.clear();
            current_row = row_id;
            if (!m_cells.is_null(1)) row.push_back(text(m_cells, 2));
        }
        m_cells.reset();
        if (current_row) table.add_row(std::move(row));
    }

    std::string text(const RDB_SQLITE_STATEMENT& statement, int column)
    {
        std::string value = statement.column_text(column, RDB_MAX_VALUE_BYTES);
        m_budget.add_text(value.size());
        return value;
    }

    static int to_int(std::int64_t value)
    {
        if (value < std::numeric_limits<int>::min() || value > std::numeric_limits<int>::max()) return 0;
        return static_cast<int>(value);
    }

    RDB_SQLITE_DATABASE& m_db;
    RDB_SQLITE_STATEMENT m_cells, m_summary, m_messages;
    RDB_REPORT_BUDGET m_budget;
    std::vector<OBJECT_ROW> m_main_folders;
    std::map<std::int64_t, std::vector<OBJECT_ROW>> m_children;
};

}  // namespace

void rdb_write_report_rows(RDB_SQLITE_DATABASE& db, const RDB_REPORT& report)
{
    ROW_WRITER(db).write(report);
}

std::unique_ptr<RDB_REPORT> rdb_read_report_rows(RDB_SQLITE_DATABASE& db, const std::string& revision,
                                                 int type)
{
    return ROW_READER(db).read(revision, type);
}
