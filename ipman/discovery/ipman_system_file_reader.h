//! @file ipman_system_file_reader.h
//! @brief Fills a collected record from a system file: the system as main entity, each
//! enabled module as a sub-IP, the system's device family and its standalone mode.
#pragma once

#include <string>

namespace tinyxml2 {
class XMLDocument;
class XMLElement;
}  // namespace tinyxml2
class IPMAN_ACF_IP_COLLECTOR;
class IPMAN_COLLECTED_IP;

//! Parses a system file into document (entity processing on, whitespace preserved must be
//! set by the caller's document). False when the file is missing, a directory, unreadable
//! or not well-formed XML.
bool ipman_load_system_document(const std::string& path, tinyxml2::XMLDocument& document);

//! The first "module" child of the document's first "system" element; null when either
//! is absent, in which case the file describes no system to collect.
const tinyxml2::XMLElement* ipman_find_first_system_module(const tinyxml2::XMLDocument& document);

//! Reads the system whose first module is first_module into record: main file, core name,
//! entities, standalone flag and supported family. The collector's pro-version flag picks
//! the tool string of pro-edition systems. Missing attributes are not errors.
void read_system_file(const IPMAN_ACF_IP_COLLECTOR& collector, const tinyxml2::XMLDocument& document,
                      const tinyxml2::XMLElement* first_module, IPMAN_COLLECTED_IP& record);
