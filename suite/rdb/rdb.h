//! @file rdb.h
//! @brief The suite's report store: reports per revision made of folders, tables, summary
//! tables, legal notices and message sections, kept in the project's db/reports.sqlite.
//!
//! Objects live in memory while a process works on them; RDB_REPORT::write_report stores a
//! report (one transaction) and RDB_REPORT::get_report finds it again, in this process or,
//! read back from the database, in the next one. Objects are owned by the folder or report
//! they were added to.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

enum class RDB_OBJECT_KIND { FOLDER, TABLE, SUMMARY, LEGAL, MESSAGES };

//! Colours a table can carry (the text copy marks coloured tables).
enum RDB_COLOR { RDB_COLOR_NONE = 0, RDB_COLOR_RED = 1, RDB_COLOR_YELLOW = 2, RDB_COLOR_GREEN = 3 };

//! Report types; the IP Upgrade report is of type 1.
enum RDB_REPORT_TYPE { RDB_REPORT_TYPE_COMPILATION = 1 };

//! The suite's legal text for reports, and the summary labels other modules use.
extern const char* const RDB_LEGAL_STR;
extern const char* const RDB_REVISION_NAME;          //!< "Revision Name"
extern const char* const RDB_TOP_LEVEL_ENTITY_NAME;  //!< "Top-level Entity Name"
extern const char* const RDB_FAMILY;                 //!< "Family"

class RDB_OBJECT {
public:
    RDB_OBJECT(RDB_OBJECT_KIND kind, std::string name) : m_kind(kind), m_name(std::move(name)) {}
    virtual ~RDB_OBJECT() = default;
    RDB_OBJECT(const RDB_OBJECT&) = delete;
    RDB_OBJECT& operator=(const RDB_OBJECT&) = delete;

    RDB_OBJECT_KIND get_kind() const { return m_kind; }
    const std::string& get_name() const { return m_name; }

private:
    RDB_OBJECT_KIND m_kind;
    std::string m_name;
};

//! An ordered list of named objects; names are compared exactly.
class RDB_FOLDER_OBJECT : public RDB_OBJECT {
public:
    explicit RDB_FOLDER_OBJECT(std::string name) : RDB_OBJECT(RDB_OBJECT_KIND::FOLDER, std::move(name)) {}

    //! Appends the object and answers it (the folder owns it from now on).
    RDB_OBJECT* add_object(std::unique_ptr<RDB_OBJECT> object);
    //! Removes the first object of that name; false when there is none.
    bool remove_object(const std::string& name);
    //! The first object of that name directly in this folder, or null.
    RDB_OBJECT* find_object(const std::string& name) const;
    std::size_t get_number_of_objects() const { return m_objects.size(); }
    RDB_OBJECT* get_object(std::size_t index) const { return m_objects.at(index).get(); }

private:
    std::vector<std::unique_ptr<RDB_OBJECT>> m_objects;
};

using RDB_ROW = std::vector<std::string>;

//! Rows of cells; row 0 is the header row by convention.
class RDB_TABLE_OBJECT : public RDB_OBJECT {
public:
    explicit RDB_TABLE_OBJECT(std::string name) : RDB_OBJECT(RDB_OBJECT_KIND::TABLE, std::move(name)) {}

    void set_color(RDB_COLOR color) { m_color = color; }
    RDB_COLOR get_color() const { return m_color; }
    void add_row(RDB_ROW row) { m_rows.push_back(std::move(row)); }
    std::size_t get_number_of_rows() const { return m_rows.size(); }
    const RDB_ROW& get_row(std::size_t index) const { return m_rows.at(index); }
    //! The cell at (row, column), or null when the row or the cell does not exist.
    const std::string* get_cell(std::size_t row, std::size_t column) const;

private:
    RDB_COLOR m_color = RDB_COLOR_NONE;
    std::vector<RDB_ROW> m_rows;
};

//! Label/value rows in order; setting an existing label replaces its value in place.
class RDB_SUMMARY_TABLE_OBJECT : public RDB_OBJECT {
public:
    explicit RDB_SUMMARY_TABLE_OBJECT(std::string name)
        : RDB_OBJECT(RDB_OBJECT_KIND::SUMMARY, std::move(name))
    {
    }

    void set_data(const std::string& label, const std::string& value);
    //! The value of a label, or null.
    const std::string* get_data(const std::string& label) const;
    const std::vector<std::pair<std::string, std::string>>& get_rows() const { return m_rows; }

private:
    std::vector<std::pair<std::string, std::string>> m_rows;
};

class RDB_LEGAL_OBJECT : public RDB_OBJECT {
public:
    explicit RDB_LEGAL_OBJECT(std::string text)
        : RDB_OBJECT(RDB_OBJECT_KIND::LEGAL, "Legal Notice"), m_text(std::move(text))
    {
    }
    const std::string& get_text() const { return m_text; }
    void set_is_html(bool is_html) { m_is_html = is_html; }
    bool get_is_html() const { return m_is_html; }

private:
    std::string m_text;
    bool m_is_html = false;
};

//! One kept message of a message section.
struct RDB_MESSAGE {
    std::string severity;  //!< "Info", "Warning" or "Error"
    int id = 0;            //!< numeric id, 0 when none
    std::string text;
};

//! A message section: the messages an application posted while the report was made.
class RDB_MESSAGES_OBJECT : public RDB_OBJECT {
public:
    explicit RDB_MESSAGES_OBJECT(std::string name) : RDB_OBJECT(RDB_OBJECT_KIND::MESSAGES, std::move(name)) {}
    void add_message(RDB_MESSAGE message) { m_messages.push_back(std::move(message)); }
    const std::vector<RDB_MESSAGE>& get_messages() const { return m_messages; }

private:
    std::vector<RDB_MESSAGE> m_messages;
};

//! A report of one revision: its main folders in order and a current folder.
class RDB_REPORT {
public:
    RDB_REPORT(std::string revision, int type) : m_revision(std::move(revision)), m_type(type) {}
    RDB_REPORT(const RDB_REPORT&) = delete;
    RDB_REPORT& operator=(const RDB_REPORT&) = delete;

    const std::string& get_revision() const { return m_revision; }
    int get_type() const { return m_type; }

    //! The first main folder, or null.
    RDB_FOLDER_OBJECT* get_main_folder() const
    {
        return m_main_folders.empty() ? nullptr : m_main_folders.front().get();
    }
    std::size_t get_number_of_main_folders() const { return m_main_folders.size(); }
    RDB_FOLDER_OBJECT* get_main_folder(std::size_t index) const { return m_main_folders.at(index).get(); }
    RDB_FOLDER_OBJECT* add_main_folder(std::unique_ptr<RDB_FOLDER_OBJECT> folder);
    //! The folder later objects go to; null until set. Not owned here when set to a
    //! folder of the report, which is the only kind of folder it may be set to.
    void set_current_folder(RDB_FOLDER_OBJECT* folder) { m_current_folder = folder; }
    RDB_FOLDER_OBJECT* get_current_folder() const { return m_current_folder; }

    //! Where reports are stored: the database file (db/reports.sqlite of the project). Set
    //! when a project opens; reports kept in memory for another path are forgotten.
    static void set_database_path(const std::string& path);
    static const std::string& get_database_path();
    //! The report of a revision and type: the one this process holds, else the one stored
    //! in the database (read back on first request), else null.
    static RDB_REPORT* get_report(const std::string& revision, int type);
    //! Hands a new report to the store for its revision and type (replacing one held in
    //! memory) and answers it.
    static RDB_REPORT* add_report(std::unique_ptr<RDB_REPORT> report);
    //! Stores the report in the database in one transaction, replacing the stored report of
    //! its revision and type. False with a reason when the database cannot be written; the
    //! stored report is then unchanged.
    static bool write_report(const RDB_REPORT& report, std::string* error = nullptr);
    //! Forgets every report held in memory (project close, tests).
    static void forget_reports();

private:
    std::string m_revision;
    int m_type;
    std::vector<std::unique_ptr<RDB_FOLDER_OBJECT>> m_main_folders;
    RDB_FOLDER_OBJECT* m_current_folder = nullptr;
};

//! Writes the text copy of a report: title, table of contents, each table with its header
//! and aligned columns, summaries, legal notice and messages.
class RDB_REPORT_GEN {
public:
    RDB_REPORT_GEN(const RDB_REPORT& report, std::string title) : m_report(report), m_title(std::move(title))
    {
    }
    //! Adds a folder (and everything below it) to the copy, in order.
    void add_toc_entry(const RDB_FOLDER_OBJECT* folder) { m_entries.push_back(folder); }
    //! Writes the copy atomically to the path; false with a reason when it cannot.
    bool write_report_files(const std::string& path, bool overwrite, std::string* error = nullptr) const;
    //! The text the copy would hold.
    std::string render() const;

private:
    const RDB_REPORT& m_report;
    std::string m_title;
    std::vector<const RDB_FOLDER_OBJECT*> m_entries;
};

// Look-ups and constructors by name, as the suite's modules call them.
bool rdb_object_exists_in_folder(const RDB_FOLDER_OBJECT* folder, const std::string& name);
//! Depth-first search of the folder and its sub-folders; the folder itself counts too.
RDB_OBJECT* find_object_recursively(RDB_FOLDER_OBJECT* folder, const std::string& name);
RDB_SUMMARY_TABLE_OBJECT* rdb_find_summary_by_name(const RDB_FOLDER_OBJECT* folder, const std::string& name);
std::unique_ptr<RDB_SUMMARY_TABLE_OBJECT> rdb_create_summary_object(const std::string& name);
void rdb_set_summary_data(RDB_SUMMARY_TABLE_OBJECT* summary, const std::string& label,
                          const std::string& value);
std::unique_ptr<RDB_TABLE_OBJECT> rdb_create_table(const std::string& name);
RDB_ROW rdb_create_row(std::vector<std::string> cells);
//! Gives a new report its skeleton main folder ("Default Main Folder") and answers it.
RDB_FOLDER_OBJECT* rdb_util_create_skeleton_main_folder(RDB_REPORT* report);
//! Adds to the folder a message section "<application> Messages" holding the messages
//! posted through the message library since the last clear (msg_posted_messages).
void rdb_add_app_messages(RDB_FOLDER_OBJECT* folder, const std::string& application,
                          const std::string& revision, const std::string& source, bool only_errors);
//! Adds or refreshes the flow's message section "Flow Messages" of a main folder.
void rdb_add_flow_messages(RDB_FOLDER_OBJECT* main_folder);
