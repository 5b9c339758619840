//! @file ipman_installation.cpp
//! @brief The installation check made before variations are loaded.
#include "support/ipman_installation.h"

#include <dev/dev.h>
#include <fio/fio.h>
#include <gen/gen.h>

#include <fmt/format.h>

#include <cstdlib>

namespace {

std::string missing_directory(const std::string& directory, const char* what, const char* variable)
{
    if (FIO_FILE_SYSTEM::is_directory(directory)) return {};
    const char* value = std::getenv(variable);
    const bool named = value != nullptr && *value != '\0';
    return fmt::format("the {} {} does not exist{}", what, directory,
                       named ? fmt::format(" ({} is \"{}\")", variable, value) : std::string());
}

}  // namespace

std::string ipman_installation_problem()
{
    const std::string root = gen_get_vorlin_path();
    std::string problem = missing_directory(root, "installation directory", "VORLIN_ROOTDIR");
    if (problem.empty())
        problem = missing_directory(gen_get_ip_root_path() + "catalog", "IP catalog folder", "IP_ROOTDIR");
    if (problem.empty()) problem = dev_get_database_problem();
    return problem;
}
