//! @file ipman_upgrade_driver.h
//! @brief The upgrade driver behind regenerate_ip and the candidate list of list_ip_cores:
//! upgrades records one by one or as a batch, reports the outcome, rewrites the settings.
#pragma once

#include <ipman/ipman_ip_info.h>

#include <tcl.h>

#include <string>
#include <utility>
#include <vector>

//! "{entity tool_name tool_version source_file generation_file}", values as they are.
std::string ipman_record_text(const IPMAN_IP_INFO& record);

//! One element of list_ip_cores per top-level variation (its entity and text), each followed
//! by the texts of its sub-cores; a sub-core whose parent is not listed is dropped.
std::vector<std::pair<std::string, std::string>>
ipman_candidate_lines(const std::vector<IPMAN_IP_INFO>& records);

//! Upgrades the records, posts one message per attempt, sets the interpreter result to one
//! "{record} Passed|Failed" element per attempt, writes and stores the IP Upgrade report,
//! removes the backups and rewrites the project's file assignments. Answers TCL_OK, or
//! TCL_ERROR when an upgrade failed or the settings could not be written (the result then
//! also says why).
int ipman_run_upgrade_driver(std::vector<IPMAN_IP_INFO>& records, Tcl_Interp* interp);

//! regenerate_ip -files: the names, separated by ";", must all be IP variations of the
//! project; when one is not, a Tcl error names each such name and nothing is upgraded.
//! Otherwise runs the driver on their records and answers its code.
int ipman_upgrade_listed_files(const std::string& file_list, Tcl_Interp* interp);
