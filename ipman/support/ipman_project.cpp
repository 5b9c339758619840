//! @file ipman_project.cpp
//! @brief Open-project checks, the filtered assignment query and the family test.
#include "support/ipman_project.h"

#include <dev/dev.h>
#include <fio/fio.h>

namespace {

//! Leaves the assignment filters reset before and after a filtered query.
class SCOPED_FILTER_RESET {
public:
    explicit SCOPED_FILTER_RESET(ACF_MANAGER& manager) : m_manager(manager) { m_manager.reset_filters(); }
    ~SCOPED_FILTER_RESET() { m_manager.reset_filters(); }
    SCOPED_FILTER_RESET(const SCOPED_FILTER_RESET&) = delete;
    SCOPED_FILTER_RESET& operator=(const SCOPED_FILTER_RESET&) = delete;

private:
    ACF_MANAGER& m_manager;
};

}  // namespace

ACF_MANAGER* ipman_open_project()
{
    ACF_MANAGER* acf = ACF_MANAGER::get_acf_manager();
    return acf != nullptr && acf->is_project_open() ? acf : nullptr;
}

void ipman_for_each_assignment_of_category(ACF_MANAGER& acf, int category,
                                           const std::function<void(const ACF_ASSIGNMENT&)>& visit)
{
    ACF_SCOPED_REVISION_READ_LOCK lock(*acf.get_revision_manager());
    if (!lock.held() || !acf.is_project_open()) return;
    SCOPED_FILTER_RESET filters(acf);
    acf.set_file_category_filter(category);
    acf.get_revision_manager()->for_each_global_assignment(visit, true);
}

bool ipman_family_test_holds(DEV_FAMILY_ENUM project_family)
{
    if (ipman_open_project() == nullptr) return true;
    if (project_family == DEV_FAMILY_NONE || project_family == DEV_FAMILY_DEVICE_AGNOSTIC) return true;
    return DEV_FAMILY_MANAGER::test_trait_of(project_family, DEV_FAMILY_TRAIT_NEW_IP_LAYOUT);
}

std::string ipman_generated_ip_list_path(const std::string& directory, const std::string& base,
                                         bool new_layout)
{
    const std::string separator(1, FIO_PATH::default_path_separator());
    const std::string inner = new_layout ? "synthesis" + separator : std::string();
    return directory + base + separator + inner + base + ".vip";
}

bool ipman_family_test_holds()
{
    const ACF_MANAGER* project = ipman_open_project();
    return project == nullptr || ipman_family_test_holds(project->get_project_family_enum());
}
