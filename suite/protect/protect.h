//! @file protect.h
//! @brief Protected (encrypted) HDL sources in the `pragma protect envelope: the encryption
//! test, the identity in the header comment, vendor names and .cpt proxy files.
#pragma once

#include <string>

//! Positive when the file holds a protected envelope: the 1-based number of the line that
//! opens the first one ("`pragma protect begin_protected", or "`protect begin_protected"
//! in VHDL). 0 for a readable file without one, -1 for a file that cannot be read.
int cpt_is_encrypted_file(const std::string& path);
//! True for a line that opens a protected envelope, as cpt_is_encrypted_file looks for; for
//! callers that read the file's lines for other reasons anyway.
bool cpt_opens_protected_envelope(const std::string& line);

//! The proxy of a protected file F is F + ".cpt" when that file exists; "" otherwise.
std::string cpt_get_proxy_file_if_any(const std::string& path);

//! Vendor name of a vendor id of a protected header ("6AF7" gives "Oltran"); ids compare
//! ignoring case; "N/A" for an empty or unknown id.
std::string cpt_get_vendor_name(const std::string& vendor_id);

//! The identity written in the header of a protected file:
//!   `pragma protect comment = "core_name=\"NAME\" core_version=V vendor=ID"
//! Values are kept as written after the comment string's own escapes are undone, so a
//! quoted core name keeps its quotes ("\"fir_filter\"").
class CPT_PROTECTED_FILE_READER {
public:
    //! Reads the header of a protected file. False when the file cannot be read or holds no
    //! protected envelope; the fields are then empty.
    bool open(const std::string& path);
    //! Parses the text inside the comment's quotes (escapes already undone); true when it
    //! names a core. Fields not named are left empty.
    bool parse_comment(const std::string& comment);

    const std::string& get_core_name() const { return m_core_name; }
    const std::string& get_core_version() const { return m_core_version; }
    const std::string& get_vendor_id() const { return m_vendor_id; }
    std::string get_vendor_name() const { return cpt_get_vendor_name(m_vendor_id); }

private:
    std::string m_core_name, m_core_version, m_vendor_id;
};
