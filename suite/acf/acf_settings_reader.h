//! @file acf_settings_reader.h
//! @brief Reads a project file and a settings file with the IP lists it names, by evaluating
//! them in safe Tcl interpreters that know only the project's commands.
#pragma once

#include <acf/acf.h>

#include <tcl.h>

#include <cstddef>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

//! A file that cannot be read as a project or settings file; the message names file and line.
class ACF_READ_ERROR : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

//! Owns a Tcl interpreter.
struct ACF_TCL_INTERP_DELETER {
    void operator()(Tcl_Interp* interp) const { Tcl_DeleteInterp(interp); }
};
using ACF_TCL_INTERP_PTR = std::unique_ptr<Tcl_Interp, ACF_TCL_INTERP_DELETER>;

//! What a project file declares.
struct ACF_PROJECT_FILE {
    std::vector<std::string> revisions;  //!< in order, without duplicates
    std::string active_revision;         //!< the declared one, else the first
};

//! The words of set_global_assignment after the command name: -name, -entity, -library in
//! any order, "--" ending the options, and one value. Throws std::invalid_argument.
ACF_MGR_INPUT_PARAMETERS acf_parse_assignment_words(const std::vector<std::string>& words);
ACF_MGR_INPUT_PARAMETERS acf_parse_assignment_words(const std::vector<std::string_view>& words);

//! Throws std::invalid_argument unless the name can only name a file in the project
//! directory: not empty, "." or "..", no "/" and no control characters.
void acf_check_revision_name(const std::string& name);

//! Where the command running in interp was called from: the script file (empty when it was
//! not sourced from a file) and line (0 when unknown).
struct ACF_TCL_CALLER {
    std::string file;
    int line = 0;
};
ACF_TCL_CALLER acf_tcl_caller_location(Tcl_Interp* interp);

//! Assignments as read. A deque grows without copying what it holds, and its taker can
//! free each one as soon as it has moved it on: a project's assignments are never held twice.
using ACF_READ_ASSIGNMENTS = std::deque<ACF_MGR_INPUT_PARAMETERS>;

//! Takes each assignment as it is read and answers where it keeps it; that place must stay
//! valid while the reader lives.
using ACF_ASSIGNMENT_SINK = std::function<const ACF_MGR_INPUT_PARAMETERS&(ACF_MGR_INPUT_PARAMETERS&&)>;

class ACF_PLAIN_COMMANDS;

class ACF_SETTINGS_READER {
public:
    //! project_dir: absolute, ending with "/"; relative file values are resolved against it.
    explicit ACF_SETTINGS_READER(std::string project_dir);
    ~ACF_SETTINGS_READER();

    //! Throws ACF_READ_ERROR.
    ACF_PROJECT_FILE read_project_file(const std::string& path);
    //! Reads the settings file and, recursively, every IP list it names. A missing settings
    //! file is an empty one. Throws ACF_READ_ERROR.
    void read_settings_file(const std::string& path);
    //! Reads one IP list file and, recursively, the lists it names, as a VIP_FILE assignment
    //! of that path would. Throws ACF_READ_ERROR when it is no readable regular file or fails.
    void read_ip_list_file(const std::string& path);

    //! The assignments read, in reading order: each IP list's content follows the
    //! assignment that named it.
    const ACF_READ_ASSIGNMENTS& assignments() const { return m_assignments; }
    //! The assignments read, handed over; the reader has none afterwards.
    ACF_READ_ASSIGNMENTS take_assignments() { return std::move(m_assignments); }
    //! From now on hands each assignment read to sink instead of keeping it: a reader
    //! filling a model nobody else sees yet need not hold the assignments twice.
    void send_assignments_to(ACF_ASSIGNMENT_SINK sink);
    //! Absolute paths of the IP list files read.
    const std::set<std::string>& list_files() const { return m_list_files; }
    std::set<std::string> take_list_files() { return std::move(m_list_files); }

    //! Called by the interpreter's assignment command.
    void add_assignment(ACF_MGR_INPUT_PARAMETERS params);
    //! The file an interpreter is evaluating, handed to its commands.
    struct FILE_CONTEXT;
    //! The trusted interpreter serving "file join" & co. to the safe ones.
    Tcl_Interp* path_helper();

private:
    class FILE_INTERPRETER;

    void evaluate_file(const std::string& path, const std::string& content, const std::string& origin,
                       bool is_list);
    //! Applies the file's commands from its start while they need no interpreter; returns
    //! the commands they count for against the file's budget.
    int apply_plain_commands(const std::string& path, const std::string& origin, std::size_t depth,
                             ACF_PLAIN_COMMANDS& commands);
    FILE_INTERPRETER& interpreter_at_depth(std::size_t depth);
    const ACF_MGR_INPUT_PARAMETERS& keep(ACF_MGR_INPUT_PARAMETERS&& params);
    void read_list_file(const std::string& path, const std::string& origin, const std::string& named_by);
    void read_generated_list(const ACF_MGR_INPUT_PARAMETERS& params);
    void repeat_list_assignments(const std::string& path, const std::string& origin, std::size_t first,
                                 std::size_t end);
    std::string resolve(const std::string& written) const;

    std::string m_project_dir;
    double m_time_limit;  //!< seconds per file evaluation
    ACF_READ_ASSIGNMENTS m_assignments;
    ACF_ASSIGNMENT_SINK m_sink;  //!< when set, takes the assignments instead of m_assignments
    //! Every assignment read, in reading order, where it is kept.
    std::deque<const ACF_MGR_INPUT_PARAMETERS*> m_read;
    std::set<std::string> m_list_files;
    //! Lists read, with the range of m_read their first reading produced.
    std::map<std::string, std::pair<std::size_t, std::size_t>> m_read_lists;
    std::set<std::pair<std::string, std::string>> m_included;  //!< (list, origin) pairs brought in
    std::vector<std::string> m_reading;                        //!< files being read, outermost first
    ACF_TCL_INTERP_PTR m_path_helper;
    //! One per nesting depth: files of one depth are read one after another, and a file
    //! that left nothing behind in its interpreter hands it on to the next.
    std::vector<std::unique_ptr<FILE_INTERPRETER>> m_interpreters;
    //! When the file being read at each depth must be done; the files it includes do not count.
    std::vector<Tcl_Time> m_deadlines;
};
