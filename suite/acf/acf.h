//! @file acf.h
//! @brief Project assignments: the open project, its active revision with read/write locks,
//! the global assignments of its settings file and IP lists, filters, and commit.
#pragma once

#include <dev/dev_types.h>
#include <fio/fio.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

//! Variable type of an assignment (the -name of set_global_assignment).
enum ACF_VARIABLE_TYPE_ENUM : int {
    ACF_VAR_UNKNOWN = 0,  //!< a name this library does not interpret
    ACF_VAR_VHDL_FILE = 6,
    ACF_VAR_VERILOG_FILE = 10,
    ACF_VAR_VIP_FILE = 92,             //!< IP list file (list link)
    ACF_VAR_IP_VARIATION_FILE = 100,   //!< the system or gwip file a list belongs to
    ACF_VAR_IP_TARGET_FAMILIES = 102,  //!< Tcl list of family names
    ACF_VAR_IP_PARAMETER = 103,
    ACF_VAR_IP_DEVICE_REQUIREMENT = 104,  //!< "name::value"
    ACF_VAR_IP_GENERATION_MODE = 105,     //!< "STANDALONE" marks a standalone system
    ACF_VAR_IP_CORE_NAME = 106,
    ACF_VAR_IP_CORE_VERSION = 107,
    ACF_VAR_IP_VENDOR = 109,
    ACF_VAR_IP_TOP_LEVEL_COMPONENT = 110,
    ACF_VAR_IP_GENERATED_BY = 112,
    ACF_VAR_NUM_PARALLEL_PROCESSORS = 159,  //!< a number or "ALL"
    ACF_VAR_PARALLEL_IP_GENERATION = 187,   //!< ON / OFF
    ACF_VAR_ALWAYS_REGENERATE_IP = 643,     //!< ON / OFF (default OFF)
    ACF_VAR_SYSTEMVERILOG_FILE = 1001,
    ACF_VAR_TESSEL_FILE = 1002,  //!< system file
    ACF_VAR_GWIP_FILE = 1003,    //!< platform-builder IP file
    ACF_VAR_FAMILY = 1004,       //!< device family (user name)
    ACF_VAR_DEVICE = 1005,       //!< part name
    ACF_VAR_TOP_LEVEL_ENTITY = 1006,
};

//! Traits of a variable type; an assignment has the traits of its type.
enum ACF_VARIABLE_TRAIT_ENUM : int {
    ACF_TRAIT_ON_OFF = 1,  //!< the value is ON or OFF (enum values 133 / 134)
    ACF_TRAIT_FILE = 4,    //!< the value names a file (all *_FILE except IP_VARIATION_FILE)
};

//! File category of a variable type.
enum ACF_FILE_CATEGORY_ENUM : int {
    ACF_FILE_CATEGORY_DESIGN = 0,   //!< file assignments, IP_* and VIP_FILE
    ACF_FILE_CATEGORY_PROJECT = 1,  //!< every other setting
};

//! Arguments of an assignment besides its name and value.
enum ACF_ARGUMENT_TYPE_ENUM : int {
    ACF_ARG_ENTITY = 1,    //!< -entity
    ACF_ARG_ORIGIN = 2,    //!< the VIP_FILE value, as written, that included the IP list
    ACF_ARG_LIBRARY = 10,  //!< -library
};

//! Enum values of ON/OFF settings.
enum ACF_VALUE_ENUM : int {
    ACF_VALUE_NONE = 0,
    ACF_VALUE_ON = 133,
    ACF_VALUE_OFF = 134,
};

//! Number of a variable name (case-insensitive); ACF_VAR_UNKNOWN for other names.
ACF_VARIABLE_TYPE_ENUM acf_variable_type_by_name(const std::string& name);
//! Canonical name of a known variable type; empty for ACF_VAR_UNKNOWN.
std::string acf_variable_name(ACF_VARIABLE_TYPE_ENUM type);
bool acf_variable_has_trait(ACF_VARIABLE_TYPE_ENUM type, int trait);
ACF_FILE_CATEGORY_ENUM acf_variable_file_category(ACF_VARIABLE_TYPE_ENUM type);
//! Variable type of the file assignment for a file of this extension type; ACF_VAR_UNKNOWN
//! when files of that type are not assigned. systemverilog_as_verilog maps .sv sources to
//! VERILOG_FILE for consumers that know only the two classic languages.
ACF_VARIABLE_TYPE_ENUM acf_fio_file_type_to_var_type(FIO_EXTENSION_TYPE type,
                                                     bool systemverilog_as_verilog = false);

//! Immutable text that many assignments hold; null stands for the empty text.
using ACF_SHARED_TEXT = std::shared_ptr<const std::string>;
//! Null for the empty text.
ACF_SHARED_TEXT acf_shared_text(const std::string& text);
const std::string& acf_text_of(const ACF_SHARED_TEXT& text);

//! Where assignments come from: the file they were read from and the VIP_FILE value that
//! included it. Every assignment of one file holds the same copy.
struct ACF_ASSIGNMENT_SOURCE {
    std::string home_file;
    std::string origin;
};
using ACF_SHARED_SOURCE = std::shared_ptr<const ACF_ASSIGNMENT_SOURCE>;
//! Null when both are empty.
ACF_SHARED_SOURCE acf_shared_source(const std::string& home_file, const std::string& origin);

//! One shared copy of each text given to it, for as long as the pool lives.
class ACF_TEXT_POOL {
public:
    //! The pool's copy of text's text (text itself the first time); null stays null.
    ACF_SHARED_TEXT share(ACF_SHARED_TEXT text);

private:
    std::unordered_map<std::string_view, ACF_SHARED_TEXT> m_texts;  //!< keys view the values
};

//! Everything needed to create one assignment, or to ask for one setting.
class ACF_MGR_INPUT_PARAMETERS {
public:
    //! Back to "nothing set": no type, empty value, name, entity, library, origin, home file;
    //! not transient.
    void reset() { *this = ACF_MGR_INPUT_PARAMETERS(); }

    void set_variable_type(ACF_VARIABLE_TYPE_ENUM type) { m_type = static_cast<std::int16_t>(type); }
    ACF_VARIABLE_TYPE_ENUM get_variable_type() const { return static_cast<ACF_VARIABLE_TYPE_ENUM>(m_type); }
    //! The -name as written; needed only for names of ACF_VAR_UNKNOWN type.
    void set_variable_name(const std::string& name) { m_name = acf_shared_text(name); }
    //! The -name: the canonical name of a known type, else the name set.
    std::string get_variable_name() const;

    void set_value_string(const std::string& value) { m_value = value; }
    const std::string& get_value_string() const { return m_value; }
    //! For ON/OFF settings: ACF_VALUE_ON / ACF_VALUE_OFF; also sets the value string.
    void set_value_enum(int value);
    //! ACF_VALUE_ON / ACF_VALUE_OFF read from the value string; ACF_VALUE_NONE otherwise.
    int get_value_enum() const;

    void set_entity(const std::string& entity) { m_entity = acf_shared_text(entity); }
    const std::string& get_entity() const { return acf_text_of(m_entity); }
    void set_library(const std::string& library) { m_library = acf_shared_text(library); }
    const std::string& get_library() const { return acf_text_of(m_library); }
    //! Replaces the entity, library and variable name by the pool's copies of the same texts.
    void share_texts(ACF_TEXT_POOL& pool);
    //! Argument 2: the VIP_FILE value that included the IP list; empty for none.
    void set_origin(const std::string& origin) { m_source = acf_shared_source(get_home_file(), origin); }
    const std::string& get_origin() const;

    //! The file the assignment belongs to (settings file, IP list, or Tcl script) and its line.
    //! Empty: the active revision's settings file.
    void set_home_file(const std::string& path, int line = 0)
    {
        m_source = acf_shared_source(path, get_origin());
        m_line = line;
    }
    const std::string& get_home_file() const;
    int get_home_line() const { return m_line; }
    //! Home file and origin at once, sharing them with the other assignments of the file.
    void set_source(ACF_SHARED_SOURCE source, int line)
    {
        m_source = std::move(source);
        m_line = line;
    }

    //! Transient assignments live until the project closes and are never written.
    void set_is_transient(bool transient) { m_transient = transient; }
    bool get_is_transient() const { return m_transient; }

private:
    // A project holds an assignment per line of its settings file and IP lists: the texts
    // many of them repeat are shared.
    std::string m_value;
    ACF_SHARED_TEXT m_entity;
    ACF_SHARED_TEXT m_library;
    //! Only names of ACF_VAR_UNKNOWN type are kept.
    ACF_SHARED_TEXT m_name;
    ACF_SHARED_SOURCE m_source;
    //! Narrow, so that type, flag and line take 8 bytes: an assignment in its list node then
    //! fits the allocator's 128-byte class (every enumerator is below 2^15).
    std::int16_t m_type = ACF_VAR_UNKNOWN;
    bool m_transient = false;
    int m_line = 0;
};

//! One global assignment of the open revision. Owned by the revision; pointers stay valid
//! until the project is closed, also after the assignment was removed.
class ACF_ASSIGNMENT {
public:
    ACF_ASSIGNMENT(const ACF_MGR_INPUT_PARAMETERS& params, const std::string& project_dir);
    ACF_ASSIGNMENT(ACF_MGR_INPUT_PARAMETERS&& params, const std::string& project_dir);

    ACF_VARIABLE_TYPE_ENUM get_type() const { return m_params.get_variable_type(); }
    std::string get_name() const { return m_params.get_variable_name(); }
    bool test_trait_of(int trait) const { return acf_variable_has_trait(get_type(), trait); }
    ACF_FILE_CATEGORY_ENUM get_file_category() const { return acf_variable_file_category(get_type()); }

    bool does_argument_exist(ACF_ARGUMENT_TYPE_ENUM argument) const;
    //! The argument's text, or null when the assignment does not have it.
    const char* get_argument_value(ACF_ARGUMENT_TYPE_ENUM argument) const;
    const std::string& get_entity_name() const { return m_params.get_entity(); }
    const std::string& get_library_name() const { return m_params.get_library(); }

    //! Resolved value: file assignments absolute against the project directory and flattened.
    //! quoted gives the value in Tcl list quoting.
    std::string get_value(bool quoted = false) const;
    //! The resolved value in place, for readers that need no copy.
    const std::string& resolved_value() const
    {
        return m_resolved_value ? *m_resolved_value : m_params.get_value_string();
    }
    //! The value as written (after Tcl substitution).
    std::string get_unmodified_value(bool quoted = false) const;
    int get_value_enum() const { return m_params.get_value_enum(); }

    //! The file the assignment was read from (or the Tcl script that made it) and its line.
    const std::string& get_acf_file_name() const { return m_params.get_home_file(); }
    int get_acf_line_number() const { return m_params.get_home_line(); }
    bool acf_file_and_lineno_are_valid() const;

    bool is_transient() const { return m_params.get_is_transient(); }
    //! Copies everything needed to add this assignment back.
    void fill_in_input_parameter(ACF_MGR_INPUT_PARAMETERS& params) const { params = m_params; }
    const ACF_MGR_INPUT_PARAMETERS& get_input_parameters() const { return m_params; }

private:
    ACF_MGR_INPUT_PARAMETERS m_params;
    //! The resolved value where it differs from the written one; none otherwise.
    std::unique_ptr<const std::string> m_resolved_value;
};

using ACF_ASSIGNMENT_LIST = std::vector<ACF_ASSIGNMENT*>;

class ACF_PROJECT_MODEL;
class THR_RW_LOCK;

//! The active revision: its locks and its assignments. Locks are re-entrant for the thread
//! that holds them; a thread holding the write lock may also take the read lock.
class ACF_REVISION_MANAGER {
public:
    explicit ACF_REVISION_MANAGER(class ACF_MANAGER& manager);
    ~ACF_REVISION_MANAGER();
    ACF_REVISION_MANAGER(const ACF_REVISION_MANAGER&) = delete;
    ACF_REVISION_MANAGER& operator=(const ACF_REVISION_MANAGER&) = delete;

    //! True when the calling thread holds the read or the write lock.
    bool is_read_locked() const;
    //! Waits for a writer of another thread to finish when wait is set; false otherwise.
    bool read_lock(bool wait);
    void read_unlock();
    //! True when the calling thread holds the write lock.
    bool is_write_locked() const;
    //! Waits for other threads' readers and writer when wait is set; false otherwise.
    bool write_lock(bool wait);
    //! Releases one hold; with commit set, first writes the settings file (ACF_MANAGER::commit).
    //! False when the commit failed (the message is in ACF_MANAGER::get_last_error).
    bool write_unlock(bool commit);

    std::string get_active_revision_name() const;
    //! TOP_LEVEL_ENTITY, else the revision name; empty when no project is open.
    std::string get_top_level_entity_name() const;

    //! Global assignments in settings-file order that match params (type, and entity, library
    //! and value when set; all when params is null) and the manager's filters. Appends to list.
    void get_global_assignment_coll(const ACF_MGR_INPUT_PARAMETERS* params, ACF_ASSIGNMENT_LIST& list,
                                    bool include_transient) const;
    //! visit(assignment) for each global assignment in settings-file order that passes the
    //! manager's filters, under the read lock: a project of tens of thousands of IP holds
    //! millions of assignments, too many to copy into a list only to walk them once.
    void for_each_global_assignment(const std::function<void(const ACF_ASSIGNMENT&)>& visit,
                                    bool include_transient) const;

    //! Removes an assignment of this revision; false when it is not (or no longer) part of it.
    bool remove_assignment(ACF_ASSIGNMENT* assignment);
    //! Appends a new assignment after all others; null when no project is open or the
    //! parameters name no variable.
    ACF_ASSIGNMENT* add_assignment(const ACF_MGR_INPUT_PARAMETERS& params);
    //! Puts a new assignment in the place of one of this revision, which is removed; null
    //! (and nothing changed) when the old one is not part of it or params name no variable.
    ACF_ASSIGNMENT* replace_assignment(ACF_ASSIGNMENT* old_assignment,
                                       const ACF_MGR_INPUT_PARAMETERS& params);

private:
    friend class ACF_MANAGER;
    ACF_MANAGER& m_manager;
    std::unique_ptr<THR_RW_LOCK> m_lock;
};

//! Holds the revision's read lock for a scope, taking it only when the calling thread
//! does not hold it already, and releasing only what it took.
class ACF_SCOPED_REVISION_READ_LOCK {
public:
    explicit ACF_SCOPED_REVISION_READ_LOCK(ACF_REVISION_MANAGER& revision)
        : m_revision(revision), m_taken_here(!revision.is_read_locked() && revision.read_lock(true))
    {
    }
    ~ACF_SCOPED_REVISION_READ_LOCK()
    {
        if (m_taken_here) m_revision.read_unlock();
    }
    ACF_SCOPED_REVISION_READ_LOCK(const ACF_SCOPED_REVISION_READ_LOCK&) = delete;
    ACF_SCOPED_REVISION_READ_LOCK& operator=(const ACF_SCOPED_REVISION_READ_LOCK&) = delete;

    //! Whether the calling thread holds the read lock now (it may have failed to take it).
    bool held() const { return m_revision.is_read_locked(); }

private:
    ACF_REVISION_MANAGER& m_revision;
    bool m_taken_here;
};

//! The process-wide project assignment manager.
class ACF_MANAGER {
public:
    static ACF_MANAGER* get_acf_manager();
    ~ACF_MANAGER();
    ACF_MANAGER(const ACF_MANAGER&) = delete;
    ACF_MANAGER& operator=(const ACF_MANAGER&) = delete;

    //! Opens a project: a .vpf file, a directory holding one .vpf, or a project name (NAME.vpf
    //! in the current directory). An empty revision opens the active one. On failure error
    //! holds "ERROR: ..." and the previous state is kept.
    bool open_project(const std::string& path_or_name, const std::string& revision, std::string& error);
    //! Closes the open project without writing anything; false when a lock is still held.
    bool close_project();
    bool is_project_open() const;
    //! Changes whenever a project is opened or closed: what was derived from one opening
    //! compares it to tell whether it still applies.
    std::uint64_t get_project_serial() const { return m_project_serial; }

    //! Project directory, absolute and ending with "/"; empty when no project is open.
    std::string get_project_path() const;
    std::string get_project_full_path() const;
    std::string get_project_name() const;
    DEV_FAMILY_ENUM get_project_family_enum() const;
    DEV_PART_ENUM get_project_part_enum() const;

    ACF_REVISION_MANAGER* get_revision_manager() { return &m_revision; }

    void reset_filters();
    //! Only assignments of this file category (ACF_FILE_CATEGORY_ENUM).
    void set_file_category_filter(int category);
    //! Only assignments whose variable type has this trait (ACF_VARIABLE_TRAIT_ENUM).
    void set_variable_trait_filter(int trait);
    //! All assignments matching the filters, in settings-file order; appends to list.
    void get_all_assignments(ACF_ASSIGNMENT_LIST& list, bool exclude_transient) const;

    //! Reads one setting: params names the variable type (for other names, the name). The
    //! last such assignment fills the value as written; when there is none the value is left
    //! as it was (a default) and the answer is false.
    bool get_global_assignment_value(ACF_MGR_INPUT_PARAMETERS& params) const;
    //! The value of the last assignment of the type, empty when none.
    std::string get_global_assignment_string(ACF_VARIABLE_TYPE_ENUM type) const;
    //! ON/OFF settings: ACF_VALUE_ON / ACF_VALUE_OFF, default_value when unset.
    int get_global_assignment_enum(ACF_VARIABLE_TYPE_ENUM type, int default_value) const;

    //! Forwarders to the active revision.
    bool remove_assignment(ACF_ASSIGNMENT* assignment) { return m_revision.remove_assignment(assignment); }
    ACF_ASSIGNMENT* add_assignment(const ACF_MGR_INPUT_PARAMETERS& params)
    {
        return m_revision.add_assignment(params);
    }
    //! As add_assignment, and an IP list the assignment names (VIP_FILE, or the list generated
    //! for a system or gwip file) is read with its nested lists, their assignments following
    //! it, as in the settings file. Throws std::runtime_error ("ERROR: ...") when a list fails;
    //! then nothing is added.
    ACF_ASSIGNMENT* add_assignment_reading_lists(const ACF_MGR_INPUT_PARAMETERS& params);
    //! Writes the settings file from its non-transient assignments, atomically; IP lists are
    //! never written. False with get_last_error when the file cannot be written.
    bool commit();
    //! Reads the IP lists named by the current assignments again, as opening the project
    //! would: assignments read from lists are replaced by a fresh reading, every other one
    //! (transient ones included) keeps its place. For after generators rewrote lists or
    //! assignments came to name other files. False with get_last_error when a list cannot
    //! be read; nothing changes then.
    bool reread_ip_lists();
    const std::string& get_last_error() const { return m_last_error; }

private:
    friend class ACF_REVISION_MANAGER;
    ACF_MANAGER();
    //! The assignment passes the category and trait filters, and is not transient unless
    //! include_transient is set.
    bool passes_filters(const ACF_ASSIGNMENT& assignment, bool include_transient) const;
    //! Swaps in another model (null: none) unless the revision is locked.
    bool replace_model(std::unique_ptr<ACF_PROJECT_MODEL> model);

    ACF_REVISION_MANAGER m_revision;
    std::unique_ptr<ACF_PROJECT_MODEL> m_model;
    int m_category_filter = -1;  //!< -1: no filter
    int m_trait_filter = -1;
    std::uint64_t m_project_serial = 0;
    std::string m_last_error;
};
