//! @file hdb_elaborate.cpp
//! @brief Elaboration by the external elaborator: black-box stand-ins for protected files,
//! the run in a temporary folder under a time limit, and the design kept for the project.
#include <hdb/hdb.h>

#include "hdb_netlist.h"

#include <acf/acf.h>
#include <cfg/cfg.h>
#include <fio/fio.h>
#include <ipdgen/ipdgen_lexer.h>
#include <msg/msg.h>
#include <proc/proc.h>
#include <proc/proc_lines.h>
#include <protect/protect.h>

#include <fmt/format.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <regex>
#include <set>
#include <sstream>
#include <stdexcept>
#include <system_error>
#include <thread>

namespace {

namespace fs = std::filesystem;

//! Protected files are read for their clear-text module headers only; larger ones are not.
constexpr std::uintmax_t MAX_PROTECTED_FILE_SIZE = std::uintmax_t(64) << 20;
//! Elaborator output kept for the error message.
constexpr std::size_t MAX_KEPT_OUTPUT_LINES = 200;

//! A temporary folder, removed with everything in it when the object goes.
class TEMPORARY_FOLDER {
public:
    TEMPORARY_FOLDER()
    {
        std::error_code ignored;
        std::string pattern = (fs::temp_directory_path(ignored) / "vorlin_hdb_XXXXXX").string();
        if (::mkdtemp(pattern.data()) != nullptr) m_path = pattern;
    }
    ~TEMPORARY_FOLDER()
    {
        std::error_code ignored;
        if (!m_path.empty()) fs::remove_all(m_path, ignored);
    }
    TEMPORARY_FOLDER(const TEMPORARY_FOLDER&) = delete;
    TEMPORARY_FOLDER& operator=(const TEMPORARY_FOLDER&) = delete;

    bool ok() const { return !m_path.empty(); }
    std::string file(const std::string& name) const { return m_path + "/" + name; }
    const std::string& path() const { return m_path; }

private:
    std::string m_path;
};

bool is_regular_file(const std::string& path)
{
    std::error_code ignored;
    return fs::is_regular_file(path, ignored);
}

bool is_simple_identifier(const std::string& name)
{
    static const std::regex identifier("[A-Za-z_][A-Za-z0-9_$]*");
    return std::regex_match(name, identifier);
}

//! The text of a protected file outside its encrypted envelopes.
std::string clear_text_of(const std::string& content)
{
    std::istringstream lines(content);
    std::string line, clear;
    bool inside = false;
    while (std::getline(lines, line)) {
        if (line.find("protect begin_protected") != std::string::npos) inside = true;
        if (!inside) clear += line + "\n";
        if (line.find("protect end_protected") != std::string::npos) inside = false;
    }
    return clear;
}

//! Modules a protected file declares: those its clear text names, else one named after the
//! file, the usual way of shipping a protected core.
std::vector<std::string> protected_modules(const std::string& path)
{
    std::vector<std::string> modules;
    std::error_code error;
    std::string content;
    if (fs::file_size(path, error) <= MAX_PROTECTED_FILE_SIZE && !error &&
        FIO_FILE_SYSTEM::read_file(path, content)) {
        const std::string clear = clear_text_of(content);
        IPDGEN_LEXER lexer(clear, IPDGEN_LANGUAGE::VERILOG);
        while (!lexer.at_end()) {
            const IPDGEN_TOKEN token = lexer.next();
            if (token.is_word() && (token.text == "module" || token.text == "macromodule") &&
                lexer.peek().is_word() && is_simple_identifier(std::string(lexer.peek().text)))
                modules.emplace_back(lexer.next().text);
        }
    }
    const std::string base = FIO_PATH(path).base();
    if (modules.empty() && is_simple_identifier(base)) modules.push_back(base);
    return modules;
}

std::string black_box_text(const std::vector<std::string>& modules)
{
    std::string text;
    for (const std::string& module : modules)
        text += fmt::format("(* blackbox *) module {}(); endmodule\n", module);
    return text;
}

//! The elaborator's output lines, the first ones only.
class OUTPUT_KEEPER {
public:
    void add(const std::string& line)
    {
        if (m_lines.size() < MAX_KEPT_OUTPUT_LINES) m_lines.push_back(line);
    }
    //! The elaborator's own error line, else its last line.
    std::string reason() const
    {
        for (const std::string& line : m_lines)
            if (line.rfind("ERROR:", 0) == 0) return line.substr(line.find_first_not_of(' ', 6));
        return m_lines.empty() ? std::string("no output") : m_lines.back();
    }

private:
    std::vector<std::string> m_lines;
};

//! Runs the elaborator to its end within the time limit; false with error otherwise.
bool run_elaborator(const std::vector<std::string>& words, const std::string& directory,
                    std::chrono::seconds time_limit, std::string& error)
{
    THR_PIPE* raw_pipe = nullptr;
    THR_PROCESS_PTR process(thr_process_create_words(words, directory, &raw_pipe, &raw_pipe));
    THR_PIPE_PTR pipe(raw_pipe);
    if (!process) {
        error = fmt::format("ERROR: Cannot start {}, which elaborates the design: {}. Install it "
                            "(Debian package yosys) and try again.",
                            words.front(), std::strerror(errno));
        return false;
    }
    const auto deadline = std::chrono::steady_clock::now() + time_limit;
    const auto remaining_ms = [&deadline] {
        return static_cast<int>(std::max<long long>(0, std::chrono::duration_cast<std::chrono::milliseconds>(
                                                           deadline - std::chrono::steady_clock::now())
                                                           .count()));
    };
    OUTPUT_KEEPER output;
    THR_LINE_ASSEMBLER lines([&output](const std::string& line) { output.add(line); });
    char buffer[4096];
    std::size_t count = 0;
    bool timed_out = false;
    for (;;) {
        const int read = thr_process_read_within(pipe.get(), buffer, sizeof buffer, &count, remaining_ms());
        if (read == 0) {
            lines.add(buffer, count);
            continue;
        }
        timed_out = read == 2;
        break;
    }
    lines.finish();
    // A child that closed its output may still run: it gets the rest of the time.
    std::int32_t status[2] = {0, 0};
    int waited = 1;
    while (!timed_out && (waited = thr_process_wait(process.get(), status, THR_WAIT_NO_HANG)) == 1) {
        timed_out = remaining_ms() == 0;
        if (!timed_out) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    if (timed_out) {
        thr_process_kill(process.get());
        error = fmt::format("ERROR: Elaboration did not finish within {} seconds and was stopped",
                            time_limit.count());
        return false;
    }
    if (waited != 0 || status[0] != 0 || status[1] != 0) {
        error = fmt::format("ERROR: Elaboration failed: {}", output.reason());
        return false;
    }
    return true;
}

std::string read_netlist_text(const std::string& path, std::string& error)
{
    std::error_code size_error;
    const std::uintmax_t size = fs::file_size(path, size_error);
    std::string text;
    if (size_error || !is_regular_file(path)) {
        error = "ERROR: Elaboration wrote no netlist";
    } else if (size > HDB_MAX_NETLIST_SIZE) {
        error = fmt::format("ERROR: The elaborated netlist is larger than {} bytes; it is not read",
                            HDB_MAX_NETLIST_SIZE);
    } else if (!FIO_FILE_SYSTEM::read_file(path, text)) {
        error = "ERROR: The elaborated netlist cannot be read";
    }
    return text;
}

//! The design kept for one opening of a project.
struct KEPT_DESIGN {
    std::uint64_t project_serial = 0;
    std::unique_ptr<HDB_DESIGN> design;
};

KEPT_DESIGN& kept_design()
{
    static KEPT_DESIGN kept;
    return kept;
}

//! Seconds the user allows an elaboration ("hdb_elaboration_time_limit"); 300 when unset.
std::chrono::seconds elaboration_time_limit()
{
    const std::string text = cfg_get_value("hdb_elaboration_time_limit");
    char* end = nullptr;
    const long seconds = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || seconds < 1 || seconds > 24 * 3600) return std::chrono::seconds(300);
    return std::chrono::seconds(seconds);
}

//! The revision's Verilog and SystemVerilog files, each once; VHDL files go to vhdl_files.
bool read_design_files(ACF_MANAGER& acf, HDB_ELABORATION_INPUT& input, std::vector<std::string>& vhdl_files,
                       std::string& error)
{
    ACF_SCOPED_REVISION_READ_LOCK lock(*acf.get_revision_manager());
    if (!lock.held()) {
        error = "ERROR: The project is busy; its design files cannot be read now";
        return false;
    }
    input.top = acf.get_revision_manager()->get_top_level_entity_name();
    ACF_ASSIGNMENT_LIST assignments;
    acf.reset_filters();
    acf.set_variable_trait_filter(ACF_TRAIT_FILE);
    acf.get_all_assignments(assignments, false);
    acf.reset_filters();
    std::set<std::string> seen;
    for (const ACF_ASSIGNMENT* assignment : assignments) {
        const std::string path = assignment->get_value();
        if (assignment->get_type() == ACF_VAR_VHDL_FILE) vhdl_files.push_back(path);
        if (assignment->get_type() != ACF_VAR_VERILOG_FILE &&
            assignment->get_type() != ACF_VAR_SYSTEMVERILOG_FILE)
            continue;
        if (!seen.insert(path).second) continue;
        if (!is_regular_file(path)) {
            error = fmt::format("ERROR: The design file {} cannot be read", path);
            return false;
        }
        const char* origin = assignment->get_argument_value(ACF_ARG_ORIGIN);
        input.files.push_back({path, origin ? origin : ""});
    }
    return true;
}

}  // namespace

std::unique_ptr<HDB_DESIGN> hdb_elaborate(const HDB_ELABORATION_INPUT& input, std::string& error)
{
    if (!is_simple_identifier(input.top)) {
        error = fmt::format("ERROR: The top-level entity \"{}\" is not a Verilog module name", input.top);
        return nullptr;
    }
    TEMPORARY_FOLDER folder;
    if (!folder.ok()) {
        error =
            fmt::format("ERROR: Cannot make a temporary folder for elaboration: {}", std::strerror(errno));
        return nullptr;
    }
    HDB_DESIGN_SOURCES sources;
    sources.elaboration_directory = folder.path();
    const std::string netlist_path = folder.file("netlist.json");
    // Every value one argument: the elaborator's own command language never sees a path.
    std::vector<std::string> words = {input.program, "-q"};
    words.insert(words.end(), {"-f", "verilog -sv", "-r", input.top, "-p", "proc"});
    words.insert(words.end(), {"-b", "json", "-o", netlist_path});
    for (const HDB_INPUT_FILE& file : input.files) {
        const std::string path = FIO_PATH(file.path).become_absolute().fullpath();
        sources.files.push_back({path, file.group_key});
        const bool encrypted = cpt_is_encrypted_file(path) > 0;
        if (!encrypted && cpt_get_proxy_file_if_any(path).empty()) {
            words.push_back(path);
            continue;
        }
        sources.protected_files.insert(path);
        if (!encrypted) {  // readable itself, its protected part lives in the proxy
            words.push_back(path);
            continue;
        }
        const std::string stand_in =
            folder.file(fmt::format("black_box_{}.v", sources.black_box_files.size()));
        if (!FIO_FILE_SYSTEM::write_file_atomically(stand_in, black_box_text(protected_modules(path)))) {
            error = fmt::format("ERROR: Cannot write the black box of {} for elaboration", path);
            return nullptr;
        }
        sources.black_box_files[stand_in] = path;
        words.push_back(stand_in);
    }
    if (!run_elaborator(words, folder.path(), input.time_limit, error)) return nullptr;
    const std::string text = read_netlist_text(netlist_path, error);
    if (!error.empty()) return nullptr;
    try {
        return hdb_build_design(hdb_read_netlist(text), input.top, sources, error);
    } catch (const std::exception& e) {
        error = fmt::format("ERROR: The elaborated netlist cannot be read: {}", e.what());
        return nullptr;
    }
}

bool hdb_elaborate_active_revision(std::string& error)
{
    ACF_MANAGER* acf = ACF_MANAGER::get_acf_manager();
    if (!acf->is_project_open()) {
        error = "ERROR: No project is open. Open one with project_open.";
        return false;
    }
    HDB_ELABORATION_INPUT input;
    std::vector<std::string> vhdl_files;
    if (!read_design_files(*acf, input, vhdl_files, error)) return false;
    if (!vhdl_files.empty())
        msg_post_text(MSG_POST_WARNING,
                      fmt::format("VHDL design files are not elaborated; their entities are missing from "
                                  "the design hierarchy: {}",
                                  fmt::join(vhdl_files, ", ")));
    if (input.files.empty()) {
        error = "ERROR: The active revision has no Verilog or SystemVerilog design file to elaborate";
        return false;
    }
    input.time_limit = elaboration_time_limit();
    std::unique_ptr<HDB_DESIGN> design = hdb_elaborate(input, error);
    if (!design) return false;
    kept_design() = {acf->get_project_serial(), std::move(design)};
    return true;
}

HDB_DESIGN* hdb_get_elaborated_design()
{
    KEPT_DESIGN& kept = kept_design();
    const ACF_MANAGER* acf = ACF_MANAGER::get_acf_manager();
    if (kept.design && (!acf->is_project_open() || acf->get_project_serial() != kept.project_serial))
        kept.design.reset();
    return kept.design.get();
}
