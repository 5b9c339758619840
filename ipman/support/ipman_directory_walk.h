//! @file ipman_directory_walk.h
//! @brief A walk over the files below a directory that any tree can be handed: it never
//! changes the current directory, never loops through links and never stops at a folder it
//! cannot read.
#pragma once

#include <functional>
#include <string>
#include <vector>

//! Calls on_file with the path (directory joined with the names below it) of every regular
//! file at or below directory, depth first in listing order; links are followed. A folder
//! is entered once at most, and never when it is one of skipped_directories (compared as
//! the same folder on disk, whatever path leads there). Folders that cannot be read are
//! passed over; a directory that does not exist gives no call.
void ipman_walk_directory_tree(const std::string& directory,
                               const std::vector<std::string>& skipped_directories,
                               const std::function<void(const std::string&)>& on_file);
