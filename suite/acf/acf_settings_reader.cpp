//! @file acf_settings_reader.cpp
//! @brief Evaluates project, settings and IP list files in safe Tcl interpreters and
//! collects their assignments, following IP lists depth first.
#include "acf_settings_reader.h"

#include "acf_plain_commands.h"

#include <cfg/cfg.h>
#include <fio/fio.h>
#include <msg/msg.h>

#include <fmt/format.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdlib>
#include <limits>
#include <optional>
#include <string_view>
#include <utility>

namespace {

//! Project, settings and IP list files are scripts of assignments; a file far larger is
//! junk or a device in place of one and is refused before it costs memory.
constexpr std::size_t max_file_size = std::size_t{64} << 20;
//! A runaway loop in a settings file ends with an error instead of hanging the suite.
constexpr int max_commands_per_file = 5000000;
//! IP lists nested deeper than this are refused.
constexpr std::size_t max_list_depth = 64;
//! Tcl's parser recurses once per bracket level; far deeper text would exhaust the C stack.
constexpr int max_nesting_depth = 1000;
//! Compiled loops escape the command limit; only wall time stops them.
constexpr double default_time_limit_seconds = 10;
const char* const time_limit_setting = "project_file_eval_time_limit";

//! Seconds one file may evaluate: the user setting when it is a positive number.
double evaluation_time_limit_seconds()
{
    const std::string text = cfg_get_value(time_limit_setting);
    char* end = nullptr;
    const double seconds = std::strtod(text.c_str(), &end);
    const bool valid = !text.empty() && end != nullptr && *end == '\0' && seconds > 0 && seconds < 1e6;
    return valid ? seconds : default_time_limit_seconds;
}

//! The deepest nesting of brackets and braces in the text; backslash escapes do not count.
int bracket_nesting_depth(const std::string& text)
{
    int depth = 0, deepest = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        switch (text[i]) {
        case '\\':
            ++i;
            break;
        case '[':
        case '{':
            deepest = std::max(deepest, ++depth);
            break;
        case ']':
        case '}':
            if (depth > 0) --depth;
            break;
        default:
            break;
        }
    }
    return deepest;
}

std::size_t occurrences(std::string_view text, char wanted)
{
    std::size_t count = 0;
    for (std::size_t at = text.find(wanted); at != std::string_view::npos; at = text.find(wanted, at + 1))
        ++count;
    return count;
}

void refuse_deep_nesting(const std::string& path, const std::string& content)
{
    // Fewer openings than the limit cannot nest deeper than it; most files have few.
    if (occurrences(content, '[') + occurrences(content, '{') <= static_cast<std::size_t>(max_nesting_depth))
        return;
    if (bracket_nesting_depth(content) > max_nesting_depth)
        throw ACF_READ_ERROR(fmt::format("ERROR: {}: brackets or braces are nested more than {} levels deep; "
                                         "the file is not evaluated",
                                         path, max_nesting_depth));
}

void add_microseconds(Tcl_Time& time, long long micros)
{
    micros += time.usec;
    time.sec += static_cast<long>(micros / 1000000);
    time.usec = static_cast<long>(micros % 1000000);
}

Tcl_Time time_after(double seconds)
{
    Tcl_Time time;
    Tcl_GetTime(&time);
    add_microseconds(time, static_cast<long long>(seconds * 1e6));
    return time;
}

bool is_past(const Tcl_Time& deadline)
{
    Tcl_Time now;
    Tcl_GetTime(&now);
    return now.sec > deadline.sec || (now.sec == deadline.sec && now.usec > deadline.usec);
}

//! Starts the wall-time limit of one evaluation.
void start_time_limit(Tcl_Interp* interp, Tcl_Time deadline)
{
    Tcl_LimitSetTime(interp, &deadline);
    Tcl_LimitTypeSet(interp, TCL_LIMIT_TIME);
}

//! Ends it, so that its timer cannot fire in the host's event loop later.
void stop_time_limit(Tcl_Interp* interp)
{
    Tcl_LimitTypeReset(interp, TCL_LIMIT_TIME);
}

void extend_time_limit(Tcl_Interp* interp, std::chrono::microseconds extra)
{
    if (!Tcl_LimitTypeEnabled(interp, TCL_LIMIT_TIME)) return;
    Tcl_Time deadline;
    Tcl_LimitGetTime(interp, &deadline);
    add_microseconds(deadline, extra.count());
    Tcl_LimitSetTime(interp, &deadline);
}

//! The message of a failed evaluation; a spent time limit is named with its setting.
std::string evaluation_error_text(Tcl_Interp* interp, int code, double time_limit)
{
    if (Tcl_LimitExceeded(interp) && Tcl_LimitTypeExceeded(interp, TCL_LIMIT_TIME))
        return fmt::format("evaluation did not end within {} s (user setting {})", time_limit,
                           time_limit_setting);
    return code == TCL_ERROR ? std::string(Tcl_GetStringResult(interp))
                             : std::string("unexpected break, continue or return");
}

std::string text_of(Tcl_Obj* obj)
{
    return std::string(Tcl_GetString(obj));
}

//! Views of the command's words after its name, valid while the command runs.
std::vector<std::string_view> words_after_command(int objc, Tcl_Obj* const objv[])
{
    std::vector<std::string_view> words;
    words.reserve(static_cast<std::size_t>(objc));
    for (int i = 1; i < objc; ++i) {
        int length = 0;
        const char* text = Tcl_GetStringFromObj(objv[i], &length);
        words.emplace_back(text, static_cast<std::size_t>(length));
    }
    return words;
}

void set_error(Tcl_Interp* interp, const std::string& text)
{
    Tcl_SetObjResult(interp, Tcl_NewStringObj(text.c_str(), static_cast<int>(text.size())));
}

ACF_TCL_INTERP_PTR make_safe_interpreter()
{
    ACF_TCL_INTERP_PTR interp(Tcl_CreateInterp());
    if (!interp || Tcl_MakeSafe(interp.get()) != TCL_OK)
        throw ACF_READ_ERROR("ERROR: cannot create a safe Tcl interpreter");
    // Project files have no use for the event loop; waiting in it could only hang the reader.
    for (const char* waiting : {"after", "vwait", "update"})
        Tcl_HideCommand(interp.get(), waiting, waiting);
    Tcl_LimitTypeSet(interp.get(), TCL_LIMIT_COMMANDS);
    Tcl_LimitSetCommands(interp.get(), max_commands_per_file);
    return interp;
}

//! The line of the failing command, from the interpreter's return options.
int error_line(Tcl_Interp* interp, int code)
{
    Tcl_Obj* options = Tcl_GetReturnOptions(interp, code);
    Tcl_IncrRefCount(options);
    Tcl_Obj* key = Tcl_NewStringObj("-errorline", -1);
    Tcl_IncrRefCount(key);
    Tcl_Obj* value = nullptr;
    int line = 0;
    if (Tcl_DictObjGet(nullptr, options, key, &value) == TCL_OK && value != nullptr)
        Tcl_GetIntFromObj(nullptr, value, &line);
    Tcl_DecrRefCount(key);
    Tcl_DecrRefCount(options);
    return line;
}

std::string located_error(const std::string& path, int line, const std::string& text)
{
    return fmt::format("ERROR: {}, line {}: {}", path, line, text);
}

//! The safe interpreter's "file": only the pure path subcommands, served by a trusted
//! interpreter, so generated IP lists can write [file join $vip_dir x.v].
int file_path_command(ClientData data, Tcl_Interp* interp, int objc, Tcl_Obj* const objv[])
{
    if (objc < 2) {
        Tcl_WrongNumArgs(interp, 1, objv, "subcommand ?arg ...?");
        return TCL_ERROR;
    }
    const std::string subcommand = text_of(objv[1]);
    if (!acf_is_pure_path_subcommand(subcommand)) {
        set_error(interp, fmt::format("file {} is not available in project files", subcommand));
        return TCL_ERROR;
    }
    auto* trusted = static_cast<Tcl_Interp*>(data);
    const int code = Tcl_EvalObjv(trusted, objc, objv, TCL_EVAL_GLOBAL);
    Tcl_SetObjResult(interp, Tcl_GetObjResult(trusted));
    Tcl_ResetResult(trusted);
    return code;
}

void require_one_argument(int objc, const char* usage)
{
    if (objc != 2) throw std::invalid_argument(fmt::format("wrong # args: should be \"{}\"", usage));
}

//! Whether every command substituted into the command's words is a "file" command of the
//! same kind.
bool substitutes_only_paths(const Tcl_Parse& command)
{
    for (int i = 0; i < command.numTokens; ++i) {
        const Tcl_Token& token = command.tokenPtr[i];
        // A substitution "[...]" is evaluated as a script of its own, without the brackets.
        if (token.type == TCL_TOKEN_COMMAND &&
            !acf_accept_each_command(
                token.start + 1, token.start + token.size - 1, [](const Tcl_Parse& inner) {
                    return acf_literal_command_name(inner) == "file" && substitutes_only_paths(inner);
                }))
            return false;
    }
    return true;
}

//! For a plain script, the line of each of its set_global_assignment commands in order;
//! nothing for any other script. A plain script names set_global_assignment or file
//! literally at the top level and only file in substitutions. It runs nothing but the
//! reader's own commands, so it leaves nothing behind in its interpreter, and it runs its
//! assignments in the order written, each from the line where its command starts.
std::optional<std::vector<int>> plain_script_assignment_lines(const std::string& script)
{
    std::vector<int> lines;
    int line = 1;
    const char* counted = script.data();
    const bool plain =
        acf_accept_each_command(script.data(), script.data() + script.size(), [&](const Tcl_Parse& command) {
            const std::string_view name = acf_literal_command_name(command);
            if ((name != "set_global_assignment" && name != "file") || !substitutes_only_paths(command))
                return false;
            line += static_cast<int>(std::count(counted, command.commandStart, '\n'));
            counted = command.commandStart;
            if (name == "set_global_assignment") lines.push_back(line);
            return true;
        });
    if (!plain) return std::nullopt;
    return lines;
}

}  // namespace

ACF_MGR_INPUT_PARAMETERS acf_parse_assignment_words(const std::vector<std::string_view>& words)
{
    ACF_MGR_INPUT_PARAMETERS params;
    std::optional<std::string_view> name, value;
    bool options_ended = false;
    for (std::size_t i = 0; i < words.size(); ++i) {
        const std::string_view word = words[i];
        if (!options_ended && !word.empty() && word.front() == '-') {
            if (word == "--") {
                options_ended = true;
                continue;
            }
            if (word != "-name" && word != "-entity" && word != "-library")
                throw std::invalid_argument(fmt::format("unknown option \"{}\"", word));
            if (i + 1 >= words.size())
                throw std::invalid_argument(fmt::format("option \"{}\" needs a value", word));
            const std::string_view argument = words[++i];
            if (word == "-name")
                name = argument;
            else if (word == "-entity")
                params.set_entity(std::string(argument));
            else
                params.set_library(std::string(argument));
            continue;
        }
        if (value) throw std::invalid_argument(fmt::format("unexpected argument \"{}\"", word));
        value = word;
    }
    if (!name || name->empty()) throw std::invalid_argument("missing -name");
    if (!value) throw std::invalid_argument(fmt::format("missing value of assignment {}", *name));
    const std::string variable(*name);
    params.set_variable_type(acf_variable_type_by_name(variable));
    // A known type gives its name back itself; only other names need keeping.
    if (params.get_variable_type() == ACF_VAR_UNKNOWN) params.set_variable_name(variable);
    params.set_value_string(std::string(*value));
    return params;
}

ACF_MGR_INPUT_PARAMETERS acf_parse_assignment_words(const std::vector<std::string>& words)
{
    return acf_parse_assignment_words(std::vector<std::string_view>(words.begin(), words.end()));
}

void acf_check_revision_name(const std::string& name)
{
    // The name becomes NAME.vsf in the project directory and must stay there.
    const bool plain = !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos &&
                       std::none_of(name.begin(), name.end(),
                                    [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7f; });
    if (!plain)
        throw std::invalid_argument(fmt::format(
            "revision name \"{}\" is not a plain name: it must be non-empty, must not be \".\" or \"..\", "
            "and must hold no \"/\" and no control characters",
            name));
}

ACF_TCL_CALLER acf_tcl_caller_location(Tcl_Interp* interp)
{
    ACF_TCL_CALLER caller;
    Tcl_InterpState saved = Tcl_SaveInterpState(interp, TCL_OK);
    if (Tcl_EvalEx(interp, "info frame -1", -1, 0) == TCL_OK) {
        Tcl_Obj* frame = Tcl_GetObjResult(interp);
        Tcl_IncrRefCount(frame);
        Tcl_Obj* value = nullptr;
        Tcl_Obj* key = Tcl_NewStringObj("line", -1);
        Tcl_IncrRefCount(key);
        if (Tcl_DictObjGet(nullptr, frame, key, &value) == TCL_OK && value != nullptr)
            Tcl_GetIntFromObj(nullptr, value, &caller.line);
        Tcl_SetStringObj(key, "file", -1);
        if (Tcl_DictObjGet(nullptr, frame, key, &value) == TCL_OK && value != nullptr)
            caller.file = text_of(value);
        Tcl_DecrRefCount(key);
        Tcl_DecrRefCount(frame);
    }
    Tcl_RestoreInterpState(interp, saved);
    return caller;
}

struct ACF_SETTINGS_READER::FILE_CONTEXT {
    ACF_SETTINGS_READER* reader = nullptr;
    std::string path;
    std::string origin;  //!< argument 2 of the assignments of this file
    // The two above, held once for all the file's assignments.
    ACF_SHARED_SOURCE shared_source;
    std::optional<std::string> nested_error;  //!< complete message from an IP list it named
    ACF_PROJECT_FILE* project = nullptr;      //!< filled when reading a project file
    //! Lines of the file's assignments in the order they run, when the file is plain.
    std::optional<std::vector<int>> assignment_lines;
    std::size_t assignments_run = 0;

    //! The line of the assignment command now running in interp. Asking the interpreter
    //! costs more than the rest of the command; a plain file's lines are known beforehand.
    int line_of_running_assignment(Tcl_Interp* interp)
    {
        if (assignment_lines && assignments_run < assignment_lines->size())
            return (*assignment_lines)[assignments_run++];
        return acf_tcl_caller_location(interp).line;
    }
};

namespace {

int assignment_command(ClientData data, Tcl_Interp* interp, int objc, Tcl_Obj* const objv[]);
int revision_command(ClientData data, Tcl_Interp* interp, int objc, Tcl_Obj* const objv[]);
int active_revision_command(ClientData data, Tcl_Interp* interp, int objc, Tcl_Obj* const objv[]);

}  // namespace

//! A safe interpreter with the settings commands that evaluates settings and IP list files
//! one after another. Creating one costs more than reading a generated list, so it serves
//! the next file as long as every file was plain: such a file changes nothing in it, and the
//! next one finds it as a fresh one would be, apart from vip_dir and the command budget,
//! which are set per file. Any other file, or a failed one, retires it.
class ACF_SETTINGS_READER::FILE_INTERPRETER {
public:
    explicit FILE_INTERPRETER(ACF_SETTINGS_READER& reader) : m_interp(make_safe_interpreter())
    {
        m_context.reader = &reader;
        Tcl_CreateObjCommand(m_interp.get(), "set_global_assignment", assignment_command, &m_context,
                             nullptr);
        Tcl_CreateObjCommand(m_interp.get(), "file", file_path_command, reader.path_helper(), nullptr);
    }

    //! Evaluates one file's content, or its rest after commands_spent commands that were
    //! applied without it; list_dir, when given, becomes vip_dir. On failure the interpreter
    //! keeps the error for the caller and is not used again.
    int evaluate(const std::string& path, const std::string& content, const std::string& origin,
                 const std::optional<std::string>& list_dir, const Tcl_Time& deadline, double time_limit,
                 int commands_spent)
    {
        m_context.path = path;
        m_context.origin = origin;
        m_context.shared_source = acf_shared_source(path, origin);
        m_context.nested_error.reset();
        m_context.assignment_lines = plain_script_assignment_lines(content);
        m_context.assignments_run = 0;
        m_reusable = m_reusable && m_context.assignment_lines.has_value();
        if (list_dir)
            Tcl_SetVar(m_interp.get(), "vip_dir", list_dir->c_str(), TCL_GLOBAL_ONLY);
        else
            Tcl_UnsetVar(m_interp.get(), "vip_dir", TCL_GLOBAL_ONLY);
        Tcl_LimitSetCommands(m_interp.get(), command_count() + max_commands_per_file - commands_spent);
        start_time_limit(m_interp.get(), deadline);
        const int code = Tcl_EvalEx(m_interp.get(), content.c_str(), static_cast<int>(content.size()), 0);
        m_error_text =
            code == TCL_OK ? std::string() : evaluation_error_text(m_interp.get(), code, time_limit);
        stop_time_limit(m_interp.get());
        if (code != TCL_OK || m_context.nested_error)
            m_reusable = false;
        else
            Tcl_ResetResult(m_interp.get());
        return code;
    }

    Tcl_Interp* interp() const { return m_interp.get(); }
    const FILE_CONTEXT& context() const { return m_context; }
    //! Why the last evaluation failed.
    const std::string& error_text() const { return m_error_text; }
    //! False once a file ran anything but the reader's commands, or failed.
    bool reusable() const { return m_reusable; }

private:
    //! Commands the interpreter has run so far: its command limit counts from its creation.
    int command_count()
    {
        int count = 0;
        // Lifts the previous file's limit first, so that asking cannot exceed it.
        Tcl_LimitSetCommands(m_interp.get(), std::numeric_limits<int>::max());
        // A fresh or reused interpreter still has its own "info".
        const bool answered = Tcl_EvalEx(m_interp.get(), "info cmdcount", -1, 0) == TCL_OK &&
                              Tcl_GetIntFromObj(nullptr, Tcl_GetObjResult(m_interp.get()), &count) == TCL_OK;
        MSG_INTERNAL_ERROR_IF(!answered, "ACF");
        Tcl_ResetResult(m_interp.get());
        // Near the counter's end the per-file budget no longer fits; retire after this file.
        if (count > std::numeric_limits<int>::max() - 2 * max_commands_per_file) m_reusable = false;
        return count;
    }

    ACF_TCL_INTERP_PTR m_interp;
    FILE_CONTEXT m_context;  //!< the file being evaluated, handed to set_global_assignment
    std::string m_error_text;
    bool m_reusable = true;
};

ACF_SETTINGS_READER::ACF_SETTINGS_READER(std::string project_dir)
    : m_project_dir(std::move(project_dir)), m_time_limit(evaluation_time_limit_seconds())
{
}

ACF_SETTINGS_READER::~ACF_SETTINGS_READER() = default;

Tcl_Interp* ACF_SETTINGS_READER::path_helper()
{
    if (!m_path_helper) m_path_helper.reset(Tcl_CreateInterp());
    return m_path_helper.get();
}

std::string ACF_SETTINGS_READER::resolve(const std::string& written) const
{
    return FIO_PATH(written).become_absolute(m_project_dir).fullpath();
}

ACF_PROJECT_FILE ACF_SETTINGS_READER::read_project_file(const std::string& path)
{
    std::string content;
    std::string problem;
    if (!FIO_FILE_SYSTEM::read_file(path, content, max_file_size, &problem))
        throw ACF_READ_ERROR(fmt::format("ERROR: cannot read project file {}: it {}", path, problem));
    refuse_deep_nesting(path, content);

    ACF_PROJECT_FILE project;
    FILE_CONTEXT context;
    context.path = path;
    context.project = &project;
    ACF_TCL_INTERP_PTR interp = make_safe_interpreter();
    Tcl_CreateObjCommand(interp.get(), "revision", revision_command, &context, nullptr);
    Tcl_CreateObjCommand(interp.get(), "active_revision", active_revision_command, &context, nullptr);
    start_time_limit(interp.get(), time_after(m_time_limit));
    const int code = Tcl_EvalEx(interp.get(), content.c_str(), static_cast<int>(content.size()), 0);
    if (code != TCL_OK)
        throw ACF_READ_ERROR(located_error(path, error_line(interp.get(), code),
                                           evaluation_error_text(interp.get(), code, m_time_limit)));
    stop_time_limit(interp.get());
    if (project.revisions.empty())
        throw ACF_READ_ERROR(fmt::format("ERROR: project file {} names no revision", path));
    if (project.active_revision.empty())
        project.active_revision = project.revisions.front();
    else if (std::find(project.revisions.begin(), project.revisions.end(), project.active_revision) ==
             project.revisions.end())
        throw ACF_READ_ERROR(fmt::format("ERROR: project file {}: active revision \"{}\" is not a revision",
                                         path, project.active_revision));
    return project;
}

void ACF_SETTINGS_READER::read_settings_file(const std::string& path)
{
    if (!FIO_FILE_SYSTEM::exists(path)) return;
    std::string content;
    std::string problem;
    if (!FIO_FILE_SYSTEM::read_file(path, content, max_file_size, &problem))
        throw ACF_READ_ERROR(fmt::format("ERROR: cannot read settings file {}: it {}", path, problem));
    m_reading.push_back(path);
    evaluate_file(path, content, std::string(), false);
    m_reading.pop_back();
}

void ACF_SETTINGS_READER::read_ip_list_file(const std::string& path)
{
    const std::string absolute = resolve(path);
    std::string content;
    std::string problem;
    if (!FIO_FILE_SYSTEM::read_file(absolute, content, max_file_size, &problem))
        throw ACF_READ_ERROR(fmt::format("ERROR: cannot read IP list file {}: it {}", absolute, problem));
    m_list_files.insert(absolute);
    m_included.emplace(absolute, path);
    m_reading.push_back(absolute);
    const std::size_t first = m_read.size();
    evaluate_file(absolute, content, path, true);
    m_read_lists.emplace(absolute, std::make_pair(first, m_read.size()));
    m_reading.pop_back();
}

ACF_SETTINGS_READER::FILE_INTERPRETER& ACF_SETTINGS_READER::interpreter_at_depth(std::size_t depth)
{
    if (m_interpreters.size() <= depth) m_interpreters.resize(depth + 1);
    std::unique_ptr<FILE_INTERPRETER>& interpreter = m_interpreters[depth];
    if (!interpreter || !interpreter->reusable()) interpreter = std::make_unique<FILE_INTERPRETER>(*this);
    return *interpreter;
}

void ACF_SETTINGS_READER::evaluate_file(const std::string& path, const std::string& content,
                                        const std::string& origin, bool is_list)
{
    refuse_deep_nesting(path, content);
    // The including file is still being evaluated one level up.
    const std::size_t depth = m_reading.size() - 1;
    if (m_deadlines.size() <= depth) m_deadlines.resize(depth + 1);
    m_deadlines[depth] = time_after(m_time_limit);
    std::optional<std::string> list_dir;
    if (is_list) list_dir = FIO_PATH(path).directory();
    const auto started = std::chrono::steady_clock::now();
    ACF_PLAIN_COMMANDS plain(content, list_dir ? &*list_dir : nullptr, path_helper());
    const int commands_spent = apply_plain_commands(path, origin, depth, plain);
    FILE_INTERPRETER* interpreter = nullptr;
    int code = TCL_OK;
    if (plain.offset() < content.size()) {
        interpreter = &interpreter_at_depth(depth);
        const std::optional<std::string> rest =
            plain.offset() == 0 ? std::nullopt
                                // Lines keep their numbers in the interpreter's errors and frames.
                                : std::optional<std::string>(std::string(plain.line() - 1, '\n') +
                                                             content.substr(plain.offset()));
        code = interpreter->evaluate(path, rest ? *rest : content, origin, list_dir, m_deadlines[depth],
                                     m_time_limit, commands_spent);
    }
    // Each file has its own time: the includers' clocks do not run while this one is read.
    const auto spent =
        std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - started);
    for (std::size_t outer = 0; outer < depth; ++outer) {
        add_microseconds(m_deadlines[outer], spent.count());
        if (outer < m_interpreters.size() && m_interpreters[outer])
            extend_time_limit(m_interpreters[outer]->interp(), spent);
    }
    if (interpreter == nullptr) return;
    // A failed IP list fails its includer even when the includer caught the error.
    if (interpreter->context().nested_error) throw ACF_READ_ERROR(*interpreter->context().nested_error);
    if (code == TCL_OK) return;
    throw ACF_READ_ERROR(
        located_error(path, error_line(interpreter->interp(), code), interpreter->error_text()));
}

int ACF_SETTINGS_READER::apply_plain_commands(const std::string& path, const std::string& origin,
                                              std::size_t depth, ACF_PLAIN_COMMANDS& commands)
{
    const ACF_SHARED_SOURCE shared_source = acf_shared_source(path, origin);
    int spent = 0;
    ACF_PLAIN_COMMANDS::COMMAND command;
    while (commands.next(command)) {
        // Where the command budget or the time runs out, or a command is wrong, the interpreter
        // takes over, so that it answers with its own error and line.
        if (spent + command.commands_run > max_commands_per_file || is_past(m_deadlines[depth])) {
            commands.put_back();
            break;
        }
        spent += command.commands_run;
        if (!command.is_assignment) continue;
        ACF_MGR_INPUT_PARAMETERS params;
        try {
            params = acf_parse_assignment_words(
                std::vector<std::string_view>(command.words.begin() + 1, command.words.end()));
        } catch (const std::invalid_argument&) {
            commands.put_back();
            spent -= command.commands_run;
            break;
        }
        params.set_source(shared_source, command.line);
        try {
            add_assignment(std::move(params));
        } catch (const std::exception& e) {
            // An IP list read from here failed; its message already names its own file and line.
            throw ACF_READ_ERROR(e.what());
        }
    }
    return spent;
}

void ACF_SETTINGS_READER::send_assignments_to(ACF_ASSIGNMENT_SINK sink)
{
    m_sink = std::move(sink);
}

const ACF_MGR_INPUT_PARAMETERS& ACF_SETTINGS_READER::keep(ACF_MGR_INPUT_PARAMETERS&& params)
{
    if (m_sink) {
        m_read.push_back(&m_sink(std::move(params)));
    } else {
        // A deque keeps its elements in place as it grows.
        m_assignments.push_back(std::move(params));
        m_read.push_back(&m_assignments.back());
    }
    return *m_read.back();
}

void ACF_SETTINGS_READER::add_assignment(ACF_MGR_INPUT_PARAMETERS params)
{
    // The lists it names are read right after it; it stays where it was kept meanwhile.
    const ACF_MGR_INPUT_PARAMETERS& kept = keep(std::move(params));
    if (kept.get_variable_type() == ACF_VAR_VIP_FILE) {
        const std::string named_by = fmt::format("{}, line {}", kept.get_home_file(), kept.get_home_line());
        read_list_file(resolve(kept.get_value_string()), kept.get_value_string(), named_by);
    } else if (kept.get_variable_type() == ACF_VAR_TESSEL_FILE ||
               kept.get_variable_type() == ACF_VAR_GWIP_FILE) {
        read_generated_list(kept);
    }
}

void ACF_SETTINGS_READER::read_generated_list(const ACF_MGR_INPUT_PARAMETERS& params)
{
    // Generation writes the IP list of F = DIR/BASE.ext to DIR/BASE/BASE.vip, or to
    // DIR/BASE/synthesis/BASE.vip for the newer families.
    const FIO_PATH file(resolve(params.get_value_string()));
    const std::string generated_dir = file.full_directory() + file.base() + "/";
    const std::string list_name = file.base() + ".vip";
    for (const std::string& candidate :
         {generated_dir + list_name, generated_dir + "synthesis/" + list_name}) {
        if (FIO_FILE_SYSTEM::exists(candidate)) {
            read_list_file(candidate, params.get_value_string(), std::string());
            return;
        }
    }
}

void ACF_SETTINGS_READER::read_list_file(const std::string& path, const std::string& origin,
                                         const std::string& named_by)
{
    if (std::find(m_reading.begin(), m_reading.end(), path) != m_reading.end()) {
        msg_post_text(MSG_POST_WARNING,
                      fmt::format("IP list file {} is included again while it is being read (from {}); "
                                  "the repeated inclusion is skipped",
                                  path, m_reading.back()));
        return;
    }
    if (m_reading.size() >= max_list_depth)
        throw ACF_READ_ERROR(fmt::format("ERROR: IP list file {} is nested too deep: more than {} IP lists "
                                         "include each other (from {})",
                                         path, max_list_depth, m_reading.back()));
    // A list is evaluated once per load and brings its assignments in once per origin, so
    // lists that include the same list many times cannot multiply the work.
    if (!m_included.emplace(path, origin).second) return;
    if (const auto read = m_read_lists.find(path); read != m_read_lists.end()) {
        repeat_list_assignments(path, origin, read->second.first, read->second.second);
        return;
    }
    std::string content;
    std::string problem;
    if (!FIO_FILE_SYSTEM::read_file(path, content, max_file_size, &problem)) {
        msg_post_text(
            MSG_POST_WARNING,
            fmt::format("IP list file {} named in {} cannot be read (it {}); its assignments are skipped",
                        path, named_by, problem));
        return;
    }
    m_list_files.insert(path);
    m_reading.push_back(path);
    const std::size_t first = m_read.size();
    evaluate_file(path, content, origin, true);
    m_read_lists.emplace(path, std::make_pair(first, m_read.size()));
    m_reading.pop_back();
}

void ACF_SETTINGS_READER::repeat_list_assignments(const std::string& path, const std::string& origin,
                                                  std::size_t first, std::size_t end)
{
    // The lists it names came in with their own origins already.
    const ACF_SHARED_SOURCE shared_source = acf_shared_source(path, origin);
    for (std::size_t i = first; i < end; ++i) {
        if (m_read[i]->get_home_file() != path) continue;
        ACF_MGR_INPUT_PARAMETERS copy = *m_read[i];
        copy.set_source(shared_source, copy.get_home_line());
        keep(std::move(copy));
    }
}

namespace {

int assignment_command(ClientData data, Tcl_Interp* interp, int objc, Tcl_Obj* const objv[])
{
    auto* context = static_cast<ACF_SETTINGS_READER::FILE_CONTEXT*>(data);
    ACF_MGR_INPUT_PARAMETERS params;
    try {
        params = acf_parse_assignment_words(words_after_command(objc, objv));
    } catch (const std::exception& e) {
        set_error(interp, fmt::format("set_global_assignment: {}", e.what()));
        return TCL_ERROR;
    }
    params.set_source(context->shared_source, context->line_of_running_assignment(interp));
    try {
        context->reader->add_assignment(std::move(params));
    } catch (const std::exception& e) {
        // An IP list read from here failed; its message already names its own file and line.
        context->nested_error = e.what();
        set_error(interp, e.what());
        return TCL_ERROR;
    }
    return TCL_OK;
}

int revision_command(ClientData data, Tcl_Interp* interp, int objc, Tcl_Obj* const objv[])
{
    auto* context = static_cast<ACF_SETTINGS_READER::FILE_CONTEXT*>(data);
    try {
        require_one_argument(objc, "revision REV");
        const std::string name = text_of(objv[1]);
        auto& revisions = context->project->revisions;
        acf_check_revision_name(name);
        if (std::find(revisions.begin(), revisions.end(), name) == revisions.end()) revisions.push_back(name);
    } catch (const std::exception& e) {
        set_error(interp, e.what());
        return TCL_ERROR;
    }
    return TCL_OK;
}

int active_revision_command(ClientData data, Tcl_Interp* interp, int objc, Tcl_Obj* const objv[])
{
    auto* context = static_cast<ACF_SETTINGS_READER::FILE_CONTEXT*>(data);
    try {
        require_one_argument(objc, "active_revision REV");
        const std::string name = text_of(objv[1]);
        acf_check_revision_name(name);
        context->project->active_revision = name;
    } catch (const std::exception& e) {
        set_error(interp, e.what());
        return TCL_ERROR;
    }
    return TCL_OK;
}

}  // namespace
