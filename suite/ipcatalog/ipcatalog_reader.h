//! @file ipcatalog_reader.h
//! @brief Reading one catalog file (<ip_catalog> with <card> and <outdated> elements).
#pragma once

#include <ipcatalog/ipcatalog.h>

#include <memory>
#include <string>
#include <vector>

namespace tinyxml2 {
class XMLElement;
}

//! What one catalog file contributes, in document order.
struct IPCATALOG_FILE_CONTENT {
    std::vector<std::unique_ptr<IPCATALOG_CARD>> cards;
    std::vector<std::unique_ptr<IPCATALOG_OUTDATED_IP_INFO>> outdated;
};

//! Turns the text of one catalog file into cards and outdated information. Elements it cannot
//! use (a card without a name, an unknown type, an unknown family, a version that is not one)
//! are skipped one by one with a debug trace; a card whose listed families are all unknown is
//! skipped whole. A text that is not a catalog gives nothing.
class IPCATALOG_FILE_READER {
public:
    //! False when the text is not XML or has no <ip_catalog> root; content is then empty.
    static bool read(const std::string& path, const std::string& text, IPCATALOG_FILE_CONTENT& content);

private:
    explicit IPCATALOG_FILE_READER(const std::string& path) : m_path(path) {}
    std::unique_ptr<IPCATALOG_CARD> read_card(const tinyxml2::XMLElement& element);
    std::unique_ptr<IPCATALOG_OUTDATED_IP_INFO> read_outdated(const tinyxml2::XMLElement& element);
    void read_card_child(const tinyxml2::XMLElement& child, IPCATALOG_CARD& card);
    bool read_outdated_child(const tinyxml2::XMLElement& child, IPCATALOG_OUTDATED_IP_INFO& info);
    //! Family of an optional attribute: 78 when absent; false when it names no known family.
    bool read_family(const tinyxml2::XMLElement& element, const char* attribute, DEV_FAMILY_ENUM& family);
    void skip(const tinyxml2::XMLElement& element, const std::string& why) const;

    const std::string& m_path;
};

//! The family named by a catalog text ("Crest V", "crest5", "Device Agnostic"); 0 if unknown.
DEV_FAMILY_ENUM ipcatalog_family_of(const std::string& text);
