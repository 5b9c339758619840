//! @file ipman_status_notification.h
//! @brief The short HTML text shown next to a variation: why it is flagged and what an
//! upgrade will do.
#pragma once

#include <string>

#include <dev/dev.h>
#include <ipman/ipman_ip_info.h>

//! Composes the notification from the record's settled status, flow, end-of-life flag,
//! attempt outcome and IP list placement. family_trait_test is the project's output-layout
//! family test; project_part the project's device part. Empty when no note applies.
std::string ipman_compose_status_notification(const IPMAN_IP_INFO& record, bool family_trait_test,
                                              DEV_PART_ENUM project_part);
