//! @file acf_assignment.cpp
//! @brief ACF_ASSIGNMENT: one global assignment with its written and resolved value and the
//! place it was read from.
#include <acf/acf.h>

#include "acf_settings_writer.h"

#include <utility>

namespace {

bool names_file(const ACF_MGR_INPUT_PARAMETERS& params)
{
    return acf_variable_has_trait(params.get_variable_type(), ACF_TRAIT_FILE);
}

//! File assignments name files relative to the project directory; the resolved form is
//! absolute and flattened so that paths from different sources compare equal. A value
//! that resolves to itself (any other value, an absolute flat path) is not stored twice:
//! the answer is null then.
std::unique_ptr<const std::string> resolve_value(const ACF_MGR_INPUT_PARAMETERS& params,
                                                 const std::string& project_dir)
{
    const std::string& written = params.get_value_string();
    // Most values read from IP lists are absolute and flat already.
    if (written.empty() || !names_file(params) || FIO_PATH::is_absolute_and_flat(written)) return nullptr;
    std::string resolved = FIO_PATH(written).become_absolute(project_dir).fullpath();
    if (resolved == written) return nullptr;
    return std::make_unique<const std::string>(std::move(resolved));
}

}  // namespace

// A project holds an assignment per line of its settings file and IP lists, each in a node of
// the model's list beside two links.
static_assert(sizeof(ACF_ASSIGNMENT) + 2 * sizeof(void*) <= 128,
              "an assignment in its list node outgrew the allocator's 128-byte class");

ACF_ASSIGNMENT::ACF_ASSIGNMENT(const ACF_MGR_INPUT_PARAMETERS& params, const std::string& project_dir)
    : m_params(params), m_resolved_value(resolve_value(m_params, project_dir))
{
}

ACF_ASSIGNMENT::ACF_ASSIGNMENT(ACF_MGR_INPUT_PARAMETERS&& params, const std::string& project_dir)
    : m_params(std::move(params)), m_resolved_value(resolve_value(m_params, project_dir))
{
}

bool ACF_ASSIGNMENT::does_argument_exist(ACF_ARGUMENT_TYPE_ENUM argument) const
{
    return get_argument_value(argument) != nullptr;
}

const char* ACF_ASSIGNMENT::get_argument_value(ACF_ARGUMENT_TYPE_ENUM argument) const
{
    const std::string* text = nullptr;
    switch (argument) {
    case ACF_ARG_ENTITY:
        text = &m_params.get_entity();
        break;
    case ACF_ARG_ORIGIN:
        text = &m_params.get_origin();
        break;
    case ACF_ARG_LIBRARY:
        text = &m_params.get_library();
        break;
    }
    return text == nullptr || text->empty() ? nullptr : text->c_str();
}

std::string ACF_ASSIGNMENT::get_value(bool quoted) const
{
    return quoted ? acf_tcl_quote(resolved_value()) : resolved_value();
}

std::string ACF_ASSIGNMENT::get_unmodified_value(bool quoted) const
{
    const std::string& written = m_params.get_value_string();
    return quoted ? acf_tcl_quote(written) : written;
}

bool ACF_ASSIGNMENT::acf_file_and_lineno_are_valid() const
{
    return !m_params.get_home_file().empty() && m_params.get_home_line() > 0;
}
