//! @file acf_project_model.cpp
//! @brief The open project's assignment sequence and the rendering of its settings file.
#include "acf_project_model.h"

#include "acf_settings_writer.h"

#include <utility>

ACF_PROJECT_MODEL::ACF_PROJECT_MODEL(const std::string& name, const std::string& directory,
                                     const std::string& revision)
    : m_project(name, directory, revision), m_settings_file(directory + revision + ".vsf")
{
    // Kept from the start, while reading appends: noting each assignment as it arrives costs
    // little, and a first question after opening would otherwise walk them all again.
    m_last.emplace();
}

ACF_ASSIGNMENT* ACF_PROJECT_MODEL::append(const ACF_MGR_INPUT_PARAMETERS& params)
{
    return append(ACF_MGR_INPUT_PARAMETERS(params));
}

ACF_ASSIGNMENT* ACF_PROJECT_MODEL::append(ACF_MGR_INPUT_PARAMETERS&& params)
{
    // A new assignment belongs to the settings file; it has no line there until written.
    if (params.get_home_file().empty()) params.set_home_file(m_settings_file, 0);
    params.share_texts(m_texts);
    ACF_ASSIGNMENT* added = &m_assignments.emplace_back(std::move(params), directory());
    if (m_positions) (*m_positions)[added] = std::prev(m_assignments.end());
    std::lock_guard<std::mutex> hold(m_last_mutex);
    if (m_last) m_last->note(*added);  // the newest is the last of its kind
    return added;
}

ACF_PROJECT_MODEL::POSITIONS& ACF_PROJECT_MODEL::positions()
{
    if (!m_positions) {
        m_positions.emplace();
        m_positions->reserve(m_assignments.size());
        for (auto position = m_assignments.begin(); position != m_assignments.end(); ++position)
            m_positions->emplace(&*position, position);
    }
    return *m_positions;
}

bool ACF_PROJECT_MODEL::remove(ACF_ASSIGNMENT* assignment)
{
    POSITIONS& sites = positions();
    const auto found = sites.find(assignment);
    if (found == sites.end()) return false;
    // Callers may still hold pointers from an earlier query, so the object is parked, not freed.
    m_removed.splice(m_removed.end(), m_assignments, found->second);
    sites.erase(found);
    forget_last_assignments();
    return true;
}

ACF_ASSIGNMENT* ACF_PROJECT_MODEL::replace(ACF_ASSIGNMENT* old_assignment,
                                           const ACF_MGR_INPUT_PARAMETERS& params)
{
    POSITIONS& sites = positions();
    const auto found = sites.find(old_assignment);
    if (found == sites.end()) return nullptr;
    ACF_MGR_INPUT_PARAMETERS placed(params);
    if (placed.get_home_file().empty()) placed.set_home_file(m_settings_file, 0);
    placed.share_texts(m_texts);
    const auto position = m_assignments.emplace(found->second, std::move(placed), directory());
    m_removed.splice(m_removed.end(), m_assignments, found->second);
    sites.erase(found);
    sites[&*position] = position;
    forget_last_assignments();
    return &*position;
}

void ACF_PROJECT_MODEL::LAST_ASSIGNMENTS::note(const ACF_ASSIGNMENT& assignment)
{
    if (assignment.get_type() == ACF_VAR_UNKNOWN)
        by_unknown_name[assignment.get_name()] = &assignment;
    else
        by_type[assignment.get_type()] = &assignment;
}

void ACF_PROJECT_MODEL::forget_last_assignments()
{
    std::lock_guard<std::mutex> hold(m_last_mutex);
    m_last.reset();
}

const ACF_ASSIGNMENT* ACF_PROJECT_MODEL::last_assignment_of(ACF_VARIABLE_TYPE_ENUM type,
                                                            const std::string& name) const
{
    std::lock_guard<std::mutex> hold(m_last_mutex);
    if (!m_last) {
        m_last.emplace();
        for (const ACF_ASSIGNMENT& assignment : m_assignments)
            m_last->note(assignment);
    }
    if (type == ACF_VAR_UNKNOWN) {
        const auto found = m_last->by_unknown_name.find(name);
        return found == m_last->by_unknown_name.end() ? nullptr : found->second;
    }
    const auto found = m_last->by_type.find(type);
    return found == m_last->by_type.end() ? nullptr : found->second;
}

std::string ACF_PROJECT_MODEL::render_settings_file() const
{
    std::vector<const ACF_MGR_INPUT_PARAMETERS*> written;
    // The assignments of one file come one after another and share its path text, so the
    // list files are looked up once per file.
    const std::string* file = nullptr;
    bool from_list_file = false;
    for (const ACF_ASSIGNMENT& assignment : m_assignments) {
        if (&assignment.get_acf_file_name() != file) {
            file = &assignment.get_acf_file_name();
            from_list_file = is_from_list_file(assignment);
        }
        if (!assignment.is_transient() && !from_list_file)
            written.push_back(&assignment.get_input_parameters());
    }
    return acf_render_settings(written);
}
