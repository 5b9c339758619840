//! @file ipman_project.h
//! @brief The open project as the module reads it: whether one is open, its global
//! assignments of one file category, and the family test that decides the output layout.
#pragma once

#include <acf/acf.h>
#include <dev/dev_types.h>

#include <functional>
#include <string>

//! The assignment manager when a project is open; null otherwise.
ACF_MANAGER* ipman_open_project();

//! visit(assignment) for each global assignment of one file category, in settings-file order,
//! under the revision's read lock (taken only when not already held) with the filters reset
//! before and after. None when no project is open or the lock cannot be had.
void ipman_for_each_assignment_of_category(ACF_MANAGER& acf, int category,
                                           const std::function<void(const ACF_ASSIGNMENT&)>& visit);

//! True for the newer output layout: no project open, the family unset (0) or generic (78),
//! or a family with the NEW_IP_LAYOUT trait. Generated IP lists then lie in synthesis/ and
//! an upgrade of a system file's cores needs no separate generation run.
bool ipman_family_test_holds(DEV_FAMILY_ENUM project_family);
//! The same for the open project's family.
bool ipman_family_test_holds();

//! The IP list a generation writes for base name B in directory D (empty, or ending in a
//! separator): D/B/synthesis/B.vip in the newer layout, else D/B/B.vip.
std::string ipman_generated_ip_list_path(const std::string& directory, const std::string& base,
                                         bool new_layout);
