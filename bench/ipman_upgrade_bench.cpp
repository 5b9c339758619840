//! @file ipman_upgrade_bench.cpp
//! @brief Times the upgrade driver on a project, or the project settings rewrite alone beside
//! reading and writing the settings file once, and prints the figures as one Tcl dictionary
//! line (the last line of the output).
#include "bench_support.h"

#include <ipman/ipman_ip_info_manager.h>
#include <ipman/ipman_ip_regen_result.h>

#include <acf/acf.h>

#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

void open_project(Tcl_Interp* interp, const char* project_file)
{
    Tcl_SetVar2(interp, "project_file", nullptr, project_file, TCL_GLOBAL_ONLY);
    bench_eval(interp, "project_open $project_file");
}

//! regenerate_ip fails when any variation fails; the bench counts outcomes either way, and the
//! code tells such a failure (1 with outcomes) from one of the whole run.
void bench_upgrade(Tcl_Interp* interp)
{
    std::string ignored;
    const BENCH_STEP_TIME time = bench_timed_eval(
        interp, "set ::code [catch {::vorlin::ipman::regenerate_ip -all} ::outcomes]", ignored);
    const std::string passed = bench_eval(interp, "llength [lsearch -all $::outcomes {* Passed}]");
    const std::string failed = bench_eval(interp, "llength [lsearch -all $::outcomes {* Failed}]");
    const std::string code = bench_eval(interp, "set ::code");
    std::printf(
        "\ncode %s results %s passed %s failed %s upgrade_s %.3f upgrade_cpu_s %.3f children_cpu_s %.3f "
        "peak_mib %.1f\n",
        code.c_str(), bench_eval(interp, "llength $::outcomes").c_str(), passed.c_str(), failed.c_str(),
        time.elapsed_s, time.cpu_s, time.children_cpu_s, bench_peak_memory_mib());
}

//! Where the renamed assignment points: beside the old file, which stays.
std::string renamed_file(const std::string& file)
{
    const fs::path path(file);
    return (path.parent_path() / (path.stem().string() + "_up" + path.extension().string())).string();
}

//! Whether the settings file itself made the assignment; IP lists name files too.
bool made_by(const ACF_ASSIGNMENT& assignment, const fs::path& settings_file)
{
    std::error_code ignored;
    return assignment.acf_file_and_lineno_are_valid() &&
           fs::equivalent(assignment.get_acf_file_name(), settings_file, ignored);
}

//! Every file assignment of the settings file renamed to a link of its file, so the rewrite
//! finds each new file.
std::vector<IPMAN_IP_REGEN_RESULT> renaming_results(ACF_MANAGER& acf, const fs::path& settings_file)
{
    ACF_ASSIGNMENT_LIST assignments;
    {
        ACF_SCOPED_REVISION_READ_LOCK lock(*acf.get_revision_manager());
        acf.set_variable_trait_filter(ACF_TRAIT_FILE);
        acf.get_all_assignments(assignments, false);
        acf.reset_filters();
    }
    const fs::path project_dir(acf.get_project_path());
    std::vector<IPMAN_IP_REGEN_RESULT> results;
    for (const ACF_ASSIGNMENT* assignment : assignments) {
        if (!made_by(*assignment, settings_file)) continue;
        const fs::path old_file = project_dir / assignment->get_value();
        IPMAN_IP_REGEN_RESULT result;
        result.ip_info.source_file(old_file.string());
        result.output_file = renamed_file(old_file.string());
        fs::remove(result.output_file);
        fs::create_hard_link(old_file, result.output_file);
        results.push_back(std::move(result));
    }
    return results;
}

std::string read_file(const fs::path& path)
{
    std::ifstream stream(path, std::ios::binary);
    std::ostringstream text;
    text << stream.rdbuf();
    if (!stream) throw std::runtime_error("cannot read " + path.string());
    return text.str();
}

//! The least any rewrite of the settings costs: reading the file and replacing it once.
BENCH_STEP_TIME read_and_write_once(const fs::path& settings_file)
{
    const BENCH_STOPWATCH watch;
    const std::string text = read_file(settings_file);
    const fs::path temporary = settings_file.string() + ".floor";
    {
        std::ofstream stream(temporary, std::ios::binary);
        stream << text;
        if (!stream.flush()) throw std::runtime_error("cannot write " + temporary.string());
    }
    fs::rename(temporary, settings_file);
    return watch.elapsed();
}

std::size_t count_of(const std::string& text, const std::string& word)
{
    std::size_t count = 0;
    for (std::size_t at = text.find(word); at != std::string::npos; at = text.find(word, at + word.size()))
        ++count;
    return count;
}

void bench_settings_rewrite()
{
    ACF_MANAGER* acf = ACF_MANAGER::get_acf_manager();
    if (acf == nullptr || !acf->is_project_open()) throw std::runtime_error("no open project");
    IPMAN_IP_INFO_MANAGER& manager = *IPMAN_IP_INFO_MANAGER::get_ip_info_manager();
    const fs::path settings_file = fs::path(acf->get_project_path()) / (manager.get_revision_name() + ".vsf");
    const std::vector<IPMAN_IP_REGEN_RESULT> results = renaming_results(*acf, settings_file);
    std::string error;
    const BENCH_STOPWATCH watch;
    if (!manager.update_project_settings_after_upgrade(results, error)) throw std::runtime_error(error);
    const BENCH_STEP_TIME rewrite = watch.elapsed();
    const std::size_t renamed = count_of(read_file(settings_file), "_up.");
    const BENCH_STEP_TIME floor = read_and_write_once(settings_file);
    std::printf(
        "\nassignments %zu renamed %zu rewrite_s %.3f rewrite_cpu_s %.3f floor_s %.3f floor_cpu_s %.3f\n",
        results.size(), renamed, rewrite.elapsed_s, rewrite.cpu_s, floor.elapsed_s, floor.cpu_s);
}

}  // namespace

int main(int argc, char** argv)
{
    const std::string mode = argc == 3 ? argv[1] : "";
    if (mode != "upgrade" && mode != "settings") {
        std::fprintf(stderr, "Usage: ipman_upgrade_bench upgrade|settings PROJECT.vpf\n");
        return 2;
    }
    try {
        BENCH_INTERP_PTR interp = bench_make_interpreter(argv[0]);
        open_project(interp.get(), argv[2]);
        if (mode == "upgrade")
            bench_upgrade(interp.get());
        else
            bench_settings_rewrite();
        bench_eval(interp.get(), "project_close");
    } catch (const std::exception& error) {
        std::fprintf(stderr, "ipman_upgrade_bench: %s\n", error.what());
        return 1;
    }
    return 0;
}
