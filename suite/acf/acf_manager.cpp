//! @file acf_manager.cpp
//! @brief ACF_MANAGER and ACF_REVISION_MANAGER: opening and closing projects, queries with
//! filters, changes under the revision lock, and commit.
#include <acf/acf.h>
#include <acf/proj_project.h>

#include "acf_project_model.h"
#include "acf_settings_reader.h"

#include <dev/dev.h>
#include <fio/fio.h>
#include <msg/msg.h>
#include <rdb/rdb.h>
#include <thr/thr_rw_lock.h>

#include <fmt/format.h>

#include <filesystem>
#include <mutex>
#include <set>
#include <utility>

PROJ_PROJECT* PROJ_PROJECT::m_current = nullptr;

namespace {

bool has_extension(const std::string& path, FIO_EXTENSION_TYPE type)
{
    return fio_get_extension_type(FIO_PATH(path)) == type;
}

//! The single .vpf of a directory; throws when there is none or more than one.
std::string project_file_in_directory(const std::string& directory)
{
    std::vector<std::string> found;
    std::error_code ignored;
    for (const auto& entry : std::filesystem::directory_iterator(directory, ignored))
        if (entry.is_regular_file(ignored) && has_extension(entry.path().string(), FIO_EXT_VPF))
            found.push_back(entry.path().string());
    if (found.size() != 1)
        throw ACF_READ_ERROR(fmt::format("ERROR: directory {} holds {} project files; name the .vpf to open",
                                         directory, found.size()));
    return found.front();
}

//! The project file a path or project name stands for, absolute and flattened.
std::string locate_project_file(const std::string& path_or_name)
{
    if (path_or_name.empty()) throw ACF_READ_ERROR("ERROR: no project named");
    std::string path = FIO_PATH(path_or_name).become_absolute().fullpath();
    if (FIO_FILE_SYSTEM::is_directory(path))
        return FIO_PATH(project_file_in_directory(path)).flatten().fullpath();
    if (!has_extension(path, FIO_EXT_VPF)) path += ".vpf";
    if (!FIO_FILE_SYSTEM::exists(path))
        throw ACF_READ_ERROR(fmt::format("ERROR: project file {} does not exist", path));
    return path;
}

bool matches_parameters(const ACF_ASSIGNMENT& assignment, const ACF_MGR_INPUT_PARAMETERS& params)
{
    if (params.get_variable_type() != ACF_VAR_UNKNOWN) {
        if (assignment.get_type() != params.get_variable_type()) return false;
    } else if (!params.get_variable_name().empty() && assignment.get_name() != params.get_variable_name()) {
        return false;
    }
    return (params.get_entity().empty() || params.get_entity() == assignment.get_entity_name()) &&
           (params.get_library().empty() || params.get_library() == assignment.get_library_name()) &&
           (params.get_value_string().empty() ||
            params.get_value_string() == assignment.get_unmodified_value());
}

//! Moves every read assignment into the model, freeing each as it goes.
void append_all(ACF_PROJECT_MODEL& model, ACF_READ_ASSIGNMENTS& read)
{
    for (; !read.empty(); read.pop_front())
        model.append(std::move(read.front()));
}

//! Reads the revision's assignments straight into the model: it is not in use until it
//! replaces the open one, so a failed read just drops it. The reader's own records go with
//! it, before the settings text is rendered.
void read_assignments(ACF_PROJECT_MODEL& model)
{
    ACF_SETTINGS_READER reader(model.directory());
    reader.send_assignments_to([&model](ACF_MGR_INPUT_PARAMETERS && params) -> const auto& {
        return model.append(std::move(params))->get_input_parameters();
    });
    reader.read_settings_file(model.settings_file());
    model.set_list_files(reader.take_list_files());
}

}  // namespace

// ---- ACF_REVISION_MANAGER ---------------------------------------------------------------

ACF_REVISION_MANAGER::ACF_REVISION_MANAGER(ACF_MANAGER& manager)
    : m_manager(manager), m_lock(std::make_unique<THR_RW_LOCK>("ACF"))
{
}

ACF_REVISION_MANAGER::~ACF_REVISION_MANAGER() = default;

bool ACF_REVISION_MANAGER::is_read_locked() const
{
    return m_lock->holds_read();
}
bool ACF_REVISION_MANAGER::read_lock(bool wait)
{
    return m_lock->lock_read(wait);
}
void ACF_REVISION_MANAGER::read_unlock()
{
    m_lock->unlock_read();
}
bool ACF_REVISION_MANAGER::is_write_locked() const
{
    return m_lock->holds_write();
}
bool ACF_REVISION_MANAGER::write_lock(bool wait)
{
    return m_lock->lock_write(wait);
}

bool ACF_REVISION_MANAGER::write_unlock(bool commit)
{
    MSG_INTERNAL_ERROR_IF(!m_lock->holds_write(), "ACF");
    // The commit runs while the lock is still held so no reader sees a half-written state.
    const bool committed = !commit || m_manager.commit();
    m_lock->unlock_write();
    return committed;
}

std::string ACF_REVISION_MANAGER::get_active_revision_name() const
{
    return m_manager.m_model ? m_manager.m_model->revision() : std::string();
}

std::string ACF_REVISION_MANAGER::get_top_level_entity_name() const
{
    if (!m_manager.m_model) return {};
    const std::string top = m_manager.get_global_assignment_string(ACF_VAR_TOP_LEVEL_ENTITY);
    return top.empty() ? m_manager.m_model->revision() : top;
}

void ACF_REVISION_MANAGER::get_global_assignment_coll(const ACF_MGR_INPUT_PARAMETERS* params,
                                                      ACF_ASSIGNMENT_LIST& list, bool include_transient) const
{
    THR_SCOPED_READ hold(*m_lock);
    if (!m_manager.m_model) return;
    for (ACF_ASSIGNMENT& assignment : m_manager.m_model->assignments())
        if (m_manager.passes_filters(assignment, include_transient) &&
            (params == nullptr || matches_parameters(assignment, *params)))
            list.push_back(&assignment);
}

void ACF_REVISION_MANAGER::for_each_global_assignment(const std::function<void(const ACF_ASSIGNMENT&)>& visit,
                                                      bool include_transient) const
{
    THR_SCOPED_READ hold(*m_lock);
    if (!m_manager.m_model) return;
    for (const ACF_ASSIGNMENT& assignment : m_manager.m_model->assignments())
        if (m_manager.passes_filters(assignment, include_transient)) visit(assignment);
}

bool ACF_REVISION_MANAGER::remove_assignment(ACF_ASSIGNMENT* assignment)
{
    THR_SCOPED_WRITE hold(*m_lock);
    return m_manager.m_model && m_manager.m_model->remove(assignment);
}

ACF_ASSIGNMENT* ACF_REVISION_MANAGER::add_assignment(const ACF_MGR_INPUT_PARAMETERS& params)
{
    THR_SCOPED_WRITE hold(*m_lock);
    if (!m_manager.m_model || params.get_variable_name().empty()) return nullptr;
    return m_manager.m_model->append(params);
}

ACF_ASSIGNMENT* ACF_REVISION_MANAGER::replace_assignment(ACF_ASSIGNMENT* old_assignment,
                                                         const ACF_MGR_INPUT_PARAMETERS& params)
{
    THR_SCOPED_WRITE hold(*m_lock);
    if (!m_manager.m_model || params.get_variable_name().empty()) return nullptr;
    return m_manager.m_model->replace(old_assignment, params);
}

// ---- ACF_MANAGER ------------------------------------------------------------------------

ACF_ASSIGNMENT* ACF_MANAGER::add_assignment_reading_lists(const ACF_MGR_INPUT_PARAMETERS& params)
{
    THR_SCOPED_WRITE hold(*m_revision.m_lock);
    if (!m_model || params.get_variable_name().empty()) return nullptr;
    // Read completely before anything is added, so a failing list leaves the revision as it was.
    ACF_SETTINGS_READER reader(m_model->directory());
    reader.add_assignment(params);
    m_model->add_list_files(reader.list_files());
    ACF_READ_ASSIGNMENTS read = reader.take_assignments();
    ACF_ASSIGNMENT* added = read.empty() ? nullptr : m_model->append(std::move(read.front()));
    if (added != nullptr) read.pop_front();
    append_all(*m_model, read);
    return added;
}

ACF_MANAGER::ACF_MANAGER() : m_revision(*this) {}

ACF_MANAGER::~ACF_MANAGER()
{
    if (m_model && PROJ_PROJECT::m_current == &m_model->project()) PROJ_PROJECT::m_current = nullptr;
}

ACF_MANAGER* ACF_MANAGER::get_acf_manager()
{
    static ACF_MANAGER manager;
    return &manager;
}

bool ACF_MANAGER::open_project(const std::string& path_or_name, const std::string& revision,
                               std::string& error)
{
    const char* in_use =
        "ERROR: the open project is in use (its revision is locked); it cannot be replaced now";
    if (m_revision.m_lock->is_locked()) {
        error = in_use;
        return false;
    }
    try {
        const FIO_PATH project_file(locate_project_file(path_or_name));
        const std::string directory = project_file.full_directory();
        ACF_SETTINGS_READER reader(directory);
        const ACF_PROJECT_FILE declared = reader.read_project_file(project_file.fullpath());
        const std::string chosen = revision.empty() ? declared.active_revision : revision;
        try {
            acf_check_revision_name(chosen);
        } catch (const std::invalid_argument& e) {
            throw ACF_READ_ERROR(fmt::format("ERROR: {}", e.what()));
        }
        if (std::find(declared.revisions.begin(), declared.revisions.end(), chosen) ==
            declared.revisions.end())
            throw ACF_READ_ERROR(
                fmt::format("ERROR: project {} has no revision \"{}\"", project_file.fullpath(), chosen));

        auto model = std::make_unique<ACF_PROJECT_MODEL>(project_file.base(), directory, chosen);
        read_assignments(*model);
        model->set_committed_text(model->render_settings_file());

        if (!replace_model(std::move(model))) {
            error = in_use;
            return false;
        }
        error.clear();
        return true;
    } catch (const std::exception& e) {
        error = e.what();
        return false;
    }
}

bool ACF_MANAGER::close_project()
{
    return replace_model(nullptr);
}

bool ACF_MANAGER::replace_model(std::unique_ptr<ACF_PROJECT_MODEL> model)
{
    // Nobody may hold the revision while its model goes, the caller included.
    THR_RW_LOCK& lock = *m_revision.m_lock;
    if (lock.is_locked() || !lock.lock_write(false)) return false;
    m_model = std::move(model);
    ++m_project_serial;
    PROJ_PROJECT::m_current = m_model ? &m_model->project() : nullptr;
    // Reports belong to the project: another project (or none) must not see them.
    RDB_REPORT::forget_reports();
    RDB_REPORT::set_database_path(m_model ? m_model->directory() + "db/reports.sqlite" : std::string());
    lock.unlock_write();
    return true;
}

bool ACF_MANAGER::is_project_open() const
{
    return m_model != nullptr;
}

std::string ACF_MANAGER::get_project_path() const
{
    return get_project_full_path();
}

std::string ACF_MANAGER::get_project_full_path() const
{
    return m_model ? m_model->directory() : std::string();
}

std::string ACF_MANAGER::get_project_name() const
{
    return m_model ? m_model->project().get_project_name() : std::string();
}

DEV_FAMILY_ENUM ACF_MANAGER::get_project_family_enum() const
{
    const std::string family = get_global_assignment_string(ACF_VAR_FAMILY);
    return family.empty() ? DEV_FAMILY_NONE : dstr_get_dev_family_enum_by_string(family);
}

DEV_PART_ENUM ACF_MANAGER::get_project_part_enum() const
{
    const std::string part = get_global_assignment_string(ACF_VAR_DEVICE);
    return part.empty() ? DEV_PART_GENERIC : dstr_get_dev_part_enum_by_string(part);
}

void ACF_MANAGER::reset_filters()
{
    m_category_filter = -1;
    m_trait_filter = -1;
}

void ACF_MANAGER::set_file_category_filter(int category)
{
    m_category_filter = category;
}
void ACF_MANAGER::set_variable_trait_filter(int trait)
{
    m_trait_filter = trait;
}

bool ACF_MANAGER::passes_filters(const ACF_ASSIGNMENT& assignment, bool include_transient) const
{
    return (m_category_filter < 0 || assignment.get_file_category() == m_category_filter) &&
           (m_trait_filter < 0 || assignment.test_trait_of(m_trait_filter)) &&
           (include_transient || !assignment.is_transient());
}

void ACF_MANAGER::get_all_assignments(ACF_ASSIGNMENT_LIST& list, bool exclude_transient) const
{
    m_revision.get_global_assignment_coll(nullptr, list, !exclude_transient);
}

bool ACF_MANAGER::get_global_assignment_value(ACF_MGR_INPUT_PARAMETERS& params) const
{
    THR_SCOPED_READ hold(*m_revision.m_lock);
    if (!m_model) return false;
    const ACF_ASSIGNMENT* last =
        m_model->last_assignment_of(params.get_variable_type(), params.get_variable_name());
    if (last == nullptr) return false;
    params.set_value_string(last->get_unmodified_value());
    return true;
}

std::string ACF_MANAGER::get_global_assignment_string(ACF_VARIABLE_TYPE_ENUM type) const
{
    ACF_MGR_INPUT_PARAMETERS params;
    params.set_variable_type(type);
    get_global_assignment_value(params);
    return params.get_value_string();
}

int ACF_MANAGER::get_global_assignment_enum(ACF_VARIABLE_TYPE_ENUM type, int default_value) const
{
    ACF_MGR_INPUT_PARAMETERS params;
    params.set_variable_type(type);
    if (!get_global_assignment_value(params)) return default_value;
    const int value = params.get_value_enum();
    return value == ACF_VALUE_NONE ? default_value : value;
}

bool ACF_MANAGER::commit()
{
    THR_SCOPED_WRITE hold(*m_revision.m_lock);
    if (!m_model) return true;
    std::string text = m_model->render_settings_file();
    // An unchanged settings file keeps its own layout and comments.
    if (text == m_model->committed_text()) return true;
    if (!FIO_FILE_SYSTEM::write_file_atomically(m_model->settings_file(), text)) {
        m_last_error = fmt::format("ERROR: cannot write settings file {}", m_model->settings_file());
        return false;
    }
    m_model->set_committed_text(std::move(text));
    return true;
}

bool ACF_MANAGER::reread_ip_lists()
{
    THR_SCOPED_WRITE hold(*m_revision.m_lock);
    if (!m_model) return true;
    ACF_READ_ASSIGNMENTS fresh;
    std::set<std::string> list_files;
    try {
        // The reader appends each list's content right after the assignment that names it.
        ACF_SETTINGS_READER reader(m_model->directory());
        for (const ACF_ASSIGNMENT& assignment : m_model->assignments())
            if (!m_model->is_from_list_file(assignment))
                reader.add_assignment(assignment.get_input_parameters());
        fresh = reader.take_assignments();
        list_files = reader.list_files();
    } catch (const std::exception& e) {
        m_last_error = e.what();
        return false;
    }
    std::vector<ACF_ASSIGNMENT*> previous;
    for (ACF_ASSIGNMENT& assignment : m_model->assignments())
        previous.push_back(&assignment);
    for (ACF_ASSIGNMENT* assignment : previous)
        m_model->remove(assignment);
    append_all(*m_model, fresh);
    m_model->set_list_files(std::move(list_files));
    return true;
}
