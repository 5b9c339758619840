//! @file ipman_settings_update.cpp
//! @brief After an upgrade run, the project's file assignments are made to name the files
//! that replaced upgraded variations, in their old places, and committed in one write.
#include "regen/ipman_ip_regeneration_controller.h"
#include "support/ipman_debug.h"

#include "report/ipman_messages.h"

#include <acf/acf.h>
#include <cfg/cfg.h>
#include <fio/fio.h>
#include <gen/gen.h>
#include <msg/msg.h>

#include <fmt/format.h>

#include <unordered_map>
#include <utility>

namespace {

//! Resolved source file of an upgraded variation to the file that replaces it.
using RENAME_MAP = std::unordered_map<std::string, std::string>;

RENAME_MAP build_rename_map(const std::vector<IPMAN_IP_REGEN_RESULT>& results, const std::string& project_dir)
{
    RENAME_MAP renames;
    for (const IPMAN_IP_REGEN_RESULT& result : results) {
        const std::string& source = result.ip_info.source_file();
        if (result.output_file.empty() || source.empty()) continue;
        renames[FIO_PATH(source).become_absolute(project_dir).fullpath()] = result.output_file;
    }
    return renames;
}

//! The Tcl script an assignment was made by, or empty.
std::string tcl_file_of(const ACF_ASSIGNMENT& assignment)
{
    if (!assignment.acf_file_and_lineno_are_valid()) return {};
    const FIO_PATH file(assignment.get_acf_file_name());
    return gen_ascii_tolower(file.extension()) == "tcl" ? file.fullpath() : std::string();
}

//! A project written with relative paths stays movable: the new file is written the way
//! the old one was.
std::string written_form(const std::string& new_file, const std::string& old_value,
                         const std::string& project_dir)
{
    return FIO_PATH(old_value).relative() ? FIO_PATH(new_file).get_relative_to(project_dir) : new_file;
}

//! The parameters of a renamed assignment: only type, value and, for a session assignment
//! made by a Tcl script, permanence are carried over.
ACF_MGR_INPUT_PARAMETERS renamed_parameters(const ACF_ASSIGNMENT& assignment, const std::string& new_file,
                                            const std::string& project_dir)
{
    ACF_MGR_INPUT_PARAMETERS params;
    assignment.fill_in_input_parameter(params);
    const std::string old_value = params.get_value_string();
    const bool was_transient = params.get_is_transient();
    params.reset();
    params.set_variable_type(acf_fio_file_type_to_var_type(fio_get_file_type(FIO_PATH(new_file)), false));
    params.set_value_string(written_form(new_file, old_value, project_dir));
    const std::string tcl_file = tcl_file_of(assignment);
    if (was_transient && !tcl_file.empty()) {
        ipman_post_msg(IPMAN_MSG::IIPMAN_IP_FILE_FROM_TCL_RENAMED, {old_value, tcl_file, new_file});
    } else {
        params.set_is_transient(was_transient);
    }
    return params;
}

ACF_ASSIGNMENT_LIST file_assignments(ACF_MANAGER& acf)
{
    ACF_SCOPED_REVISION_READ_LOCK lock(*acf.get_revision_manager());
    ACF_ASSIGNMENT_LIST assignments;
    acf.set_variable_trait_filter(ACF_TRAIT_FILE);
    if (cfg_is_on("disable_keep_vsf_order_on_upgrade"))
        acf.get_revision_manager()->get_global_assignment_coll(nullptr, assignments, true);
    else
        acf.get_all_assignments(assignments, false);
    acf.reset_filters();
    return assignments;
}

//! Holds the revision's write lock for a scope when the caller does not hold it already.
class SCOPED_WRITE_LOCK {
public:
    explicit SCOPED_WRITE_LOCK(ACF_REVISION_MANAGER& revision)
        : m_revision(revision), m_taken_here(!revision.is_write_locked() && revision.write_lock(true))
    {
    }
    ~SCOPED_WRITE_LOCK()
    {
        if (m_taken_here) m_revision.write_unlock(false);
    }
    SCOPED_WRITE_LOCK(const SCOPED_WRITE_LOCK&) = delete;
    SCOPED_WRITE_LOCK& operator=(const SCOPED_WRITE_LOCK&) = delete;

private:
    ACF_REVISION_MANAGER& m_revision;
    bool m_taken_here;
};

}  // namespace

bool IPMAN_IP_REGENERATION_CONTROLLER::update_project_settings_after_upgrade(
    const std::vector<IPMAN_IP_REGEN_RESULT>& results, std::string& error)
{
    ACF_MANAGER* acf = ACF_MANAGER::get_acf_manager();
    if (acf == nullptr || !acf->is_project_open()) return true;
    const std::string project_dir = acf->get_project_path();
    const RENAME_MAP renames = build_rename_map(results, project_dir);
    ACF_REVISION_MANAGER& revision = *acf->get_revision_manager();

    SCOPED_WRITE_LOCK lock(revision);
    // Each renamed assignment with the one it replaced, so a failed commit can be undone.
    std::vector<std::pair<ACF_ASSIGNMENT*, ACF_MGR_INPUT_PARAMETERS>> replaced;
    for (ACF_ASSIGNMENT* assignment : file_assignments(*acf)) {
        if (assignment == nullptr)
            MSG_INTERNAL_ERROR::report("old_project_file != nullptr", IPMAN_MODULE_TAG, __FILE__, __LINE__);
        const auto rename = renames.find(assignment->get_value());
        if (rename == renames.end()) continue;
        ACF_MGR_INPUT_PARAMETERS old_params = assignment->get_input_parameters();
        ACF_ASSIGNMENT* renamed = revision.replace_assignment(
            assignment, renamed_parameters(*assignment, rename->second, project_dir));
        MSG_INTERNAL_ERROR_IF(renamed == nullptr, IPMAN_MODULE_TAG);
        replaced.emplace_back(renamed, std::move(old_params));
    }

    if (!acf->commit()) {
        error = acf->get_last_error();
        for (auto& [renamed, old_params] : replaced)
            revision.replace_assignment(renamed, old_params);
        return false;
    }
    // Generation rewrote IP lists, and renamed assignments may name others.
    if (!acf->reread_ip_lists()) {
        error = acf->get_last_error();
        return false;
    }
    return true;
}
