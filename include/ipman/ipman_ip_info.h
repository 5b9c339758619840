//! @file ipman_ip_info.h
//! @brief IPMAN_IP_INFO, the value record of one IP variation, with its enumerations and text forms.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include <dev/dev_types.h>
#include <ipcatalog/ipcatalog_types.h>

//! Compatibility status of a variation against the IP catalog and the project device.
enum IPMAN_IP_REGEN_STATUS_ENUM : std::int32_t {
    IPMAN_INCOMPATIBLE = 0,
    IPMAN_INCOMPATIBLE_FAMILY = 1,
    IPMAN_INCOMPATIBLE_DEV_TRAIT = 2,
    IPMAN_INCOMPATIBLE_TOOL_ENV = 3,
    IPMAN_SUBCORE_NEEDS_REGEN = 4,
    IPMAN_FAMILY_MISMATCH = 5,
    IPMAN_VERSION_OLD = 6,
    IPMAN_OLD_AND_FAMILY_MISMATCH = 7,
    IPMAN_ENCRYPTED = 8,
    IPMAN_COMPATIBLE = 9,
};

//! How a variation is upgraded.
enum IPMAN_IP_UPGRADE_FLOW_ENUM : std::int32_t {
    IPMAN_NO_UPGRADE = 0,
    IPMAN_NOT_SUPPORTED = 1,                       //!< end of life: cannot be upgraded
    IPMAN_KELVANE_NOT_INSTALLED = 2,               //!< the legacy wizard it needs is missing
    IPMAN_TESSEL_UPGRADE_IP_CORES = 3,             //!< upgrade a system file's cores in place
    IPMAN_TESSEL_UPGRADE_IP_CORES_TO_VIP = 4,      //!< ... and produce a new IP list file
    IPMAN_VARIATION_TO_TESSEL_SA_WITH_TESSEL = 5,  //!< legacy variation to standalone system IP
    IPMAN_VKELVANE_SILENT = 6,
    IPMAN_VKELVANE_UI_ONLY = 7,
    IPMAN_VKELVANE_LEGACY_SILENT = 8,
    IPMAN_VKELVANE_LEGACY_UI_ONLY = 9,
};

//! Outcome of the last upgrade attempt.
enum IPMAN_UPGRADE_STATUS_ENUM : std::int32_t {
    IPMAN_UPGRADE_NOT_ATTEMPTED = 0,
    IPMAN_UPGRADE_ATTEMPTED = 1,  //!< recorded without outcome
    IPMAN_UPGRADE_SUCCESS = 2,
    IPMAN_UPGRADE_CONVERTED_BUT_FAILED_REGEN = 3,
    IPMAN_UPGRADE_FAILED = 4,
};

//! HDL language used when regenerating.
enum IPMAN_RTL_LANGUAGE_ENUM : std::int32_t {
    IPMAN_RTL_USE_PROJECT_SETTING = 0,
    IPMAN_RTL_VERILOG = 1,
    IPMAN_RTL_VHDL = 2,
};

enum IPMAN_TERNARY_BOOLEAN : std::int32_t {
    IPMAN_TERNARY_FALSE = 0,
    IPMAN_TERNARY_TRUE = 1,
    IPMAN_TERNARY_UNKNOWN = 2,
};

//! Filesets a variation can generate; numbered as the IP catalog's fileset kinds.
enum IPMAN_REGEN_FILESET : std::int32_t {
    IPMAN_FILESET_SYNTHESIS = IPCATALOG_FILESET_SYNTHESIS,
    IPMAN_FILESET_SIM_VERILOG = IPCATALOG_FILESET_SIM_VERILOG,
    IPMAN_FILESET_SIM_VHDL = IPCATALOG_FILESET_SIM_VHDL,
    IPMAN_FILESET_BLOCK_SYMBOL = IPCATALOG_FILESET_BLOCK_SYMBOL,
};

//! Why an upgrade failed; selects the error message (get_msg_from_type).
enum IPMAN_FAIL_REGEN_TYPE : std::int32_t {
    IPMAN_FAIL_NONE = 0,
    IPMAN_FAIL_INVALID_FILE = 1,
    IPMAN_FAIL_READ_ONLY_FILE = 2,
    IPMAN_FAIL_NOT_VARIATION_FILE = 3,
    IPMAN_FAIL_VKELVANE_SILENT_FAILED = 4,
    IPMAN_FAIL_TESSEL_UPGRADE_VARIATION_FAILED = 5,
    IPMAN_FAIL_TESSEL_UPGRADE_IP_CORES_FAILED = 6,
    IPMAN_FAIL_NO_CMD_SUPPORT = 7,
};

//! Immutable text held by many records; null is the empty text.
using IPMAN_SHARED_TEXT = std::shared_ptr<const std::string>;
//! Null for the empty text.
IPMAN_SHARED_TEXT ipman_shared_text(const std::string& text);
//! The text of a shared text: the empty text for null.
const std::string& ipman_text_of(const IPMAN_SHARED_TEXT& text);

//! Orders shared texts by their texts, also against plain texts (for look-ups by text).
struct IPMAN_SHARED_TEXT_ORDER {
    using is_transparent = void;
    static const std::string& text(const IPMAN_SHARED_TEXT& shared) { return ipman_text_of(shared); }
    static const std::string& text(const std::string& plain) { return plain; }
    template <typename LEFT, typename RIGHT>
    bool operator()(const LEFT& left, const RIGHT& right) const
    {
        return text(left) < text(right);
    }
};

//! One IP variation of the project: identity, files, the upgrade analysis' verdict and the
//! outcome of its last upgrade attempt. A plain value type, copied freely.
class IPMAN_IP_INFO {
public:
    // Set directly by discovery and the manager.
    std::int32_t instance_name_id = 0;     //!< hierarchy-database name id of the design instance
    std::string core_version;              //!< read from a protected source; "Unknown" if unread
    std::set<std::string> instance_paths;  //!< full hierarchy paths of the design instances

    IPMAN_IP_INFO();

    const std::string& tool_name() const { return m_tool_name; }
    void tool_name(const std::string& value) { assign(m_tool_name, value); }
    const std::string& tool_version() const { return m_tool_version; }
    void tool_version(const std::string& value) { assign(m_tool_version, value); }
    const std::string& generated_by() const { return m_generated_by; }
    void generated_by(const std::string& value) { assign(m_generated_by, value); }
    //! The stored override when set, else a name derived from the tool name.
    std::string display_name() const;
    void display_name(const std::string& value) { assign(m_display_name, value); }
    const std::string& entity() const { return m_entity; }
    void entity(const std::string& value) { assign(m_entity, value); }
    const std::string& parent_entity() const { return m_parent_entity; }
    void parent_entity(const std::string& value) { assign(m_parent_entity, value); }
    const std::string& top_level_comp_name() const { return m_top_level_comp_name; }
    void top_level_comp_name(const std::string& value) { assign(m_top_level_comp_name, value); }
    const std::string& library() const { return m_library; }
    void library(const std::string& value) { assign(m_library, value); }
    const std::string& vendor_name() const { return m_vendor_name; }
    void vendor_name(const std::string& value) { assign(m_vendor_name, value); }

    // The longer texts are shared: copies of a record, and the records of one variation,
    // hold one copy of each. The overloads taking IPMAN_SHARED_TEXT share a given text.
    std::string source_file() const { return text_of(m_source_file); }
    void source_file(const std::string& value) { m_source_file = ipman_shared_text(value); }
    void source_file(IPMAN_SHARED_TEXT value) { m_source_file = std::move(value); }
    std::string ip_generation_file() const { return text_of(m_ip_generation_file); }
    void ip_generation_file(const std::string& value) { m_ip_generation_file = ipman_shared_text(value); }
    void ip_generation_file(IPMAN_SHARED_TEXT value) { m_ip_generation_file = std::move(value); }
    std::string ip_top_level_file() const { return text_of(m_ip_top_level_file); }
    void ip_top_level_file(const std::string& value) { m_ip_top_level_file = ipman_shared_text(value); }
    std::string upgrade_note() const { return text_of(m_upgrade_note); }
    void upgrade_note(const std::string& value) { m_upgrade_note = ipman_shared_text(value); }
    std::string upgrade_message() const { return text_of(m_upgrade_message); }
    void upgrade_message(const std::string& value) { m_upgrade_message = ipman_shared_text(value); }
    //! The shared texts themselves, for holders that keep them apart from the record.
    const IPMAN_SHARED_TEXT& shared_source_file() const { return m_source_file; }
    const IPMAN_SHARED_TEXT& shared_ip_generation_file() const { return m_ip_generation_file; }
    const IPMAN_SHARED_TEXT& shared_upgrade_note() const { return m_upgrade_note; }
    std::vector<std::string> upgrade_changelog() const { return m_upgrade_changelog; }
    void upgrade_changelog(const std::vector<std::string>& value) { m_upgrade_changelog = value; }
    std::string status_notification() const { return text_of(m_status_notification); }
    void status_notification(const std::string& value) { m_status_notification = ipman_shared_text(value); }

    IPMAN_IP_REGEN_STATUS_ENUM regen_status() const { return m_regen_status; }
    void regen_status(const IPMAN_IP_REGEN_STATUS_ENUM& value) { m_regen_status = value; }
    IPMAN_UPGRADE_STATUS_ENUM upgrade_status() const { return m_upgrade_status; }
    void upgrade_status(const IPMAN_UPGRADE_STATUS_ENUM& value) { m_upgrade_status = value; }
    bool upgrade_will_migrate() const { return m_upgrade_will_migrate; }
    void upgrade_will_migrate(bool value) { m_upgrade_will_migrate = value; }
    bool is_eol() const { return m_is_eol; }
    void is_eol(bool value) { m_is_eol = value; }

    std::set<std::string>& supported_eol_sub_ips() { return m_supported_eol_sub_ips; }
    const std::set<std::string>& const_supported_eol_sub_ips() const { return m_supported_eol_sub_ips; }

    bool no_generation_file() const { return m_no_generation_file; }
    void no_generation_file(const bool& value) { m_no_generation_file = value; }
    const std::string& new_tool_name() const { return m_new_tool_name; }
    void new_tool_name(const std::string& value) { assign(m_new_tool_name, value); }
    const std::string& new_tool_version() const { return m_new_tool_version; }
    void new_tool_version(const std::string& value) { assign(m_new_tool_version, value); }

    bool get_ip_warnings_status() const { return m_ip_warnings_status; }
    void set_ip_warnings_status(bool value) { m_ip_warnings_status = value; }
    bool get_ip_errors_status() const { return m_ip_errors_status; }
    void set_ip_errors_status(bool value) { m_ip_errors_status = value; }

    IPMAN_TERNARY_BOOLEAN vip_in_default_directory() const { return m_vip_in_default_directory; }
    void vip_in_default_directory(IPMAN_TERNARY_BOOLEAN value) { m_vip_in_default_directory = value; }

    std::vector<DEV_FAMILY_ENUM>& supported_families() { return m_supported_families; }
    const std::vector<DEV_FAMILY_ENUM>& const_supported_families() const { return m_supported_families; }
    std::set<IPMAN_REGEN_FILESET>& supported_filesets() { return m_supported_filesets; }
    const std::set<IPMAN_REGEN_FILESET>& const_supported_filesets() const { return m_supported_filesets; }

    IPMAN_RTL_LANGUAGE_ENUM regen_language() const { return m_regen_language; }
    void regen_language(const IPMAN_RTL_LANGUAGE_ENUM& value) { m_regen_language = value; }
    IPMAN_IP_UPGRADE_FLOW_ENUM upgrade_flow() const { return m_upgrade_flow; }
    void upgrade_flow(const IPMAN_IP_UPGRADE_FLOW_ENUM& value) { m_upgrade_flow = value; }

    bool is_compatible() const;
    bool status_incompatible() const;             //!< statuses 0 to 4
    bool status_compatible_with_warning() const;  //!< statuses 5 to 7
    bool silently_upgradable() const;
    bool vkelvane_migration_flow() const;  //!< flows 6 to 9
    bool not_ui_editable() const;
    //! False only for a record that names nothing: tool name, version and generation file
    //! all "N/A" and no design instance.
    bool is_valid() const;

    //! Identity: tool name, version, entity, library and generation file.
    bool operator==(const IPMAN_IP_INFO& other) const;
    bool operator!=(const IPMAN_IP_INFO& other) const { return !(*this == other); }

private:
    static void assign(std::string& field, const std::string& value)
    {
        if (&field != &value) field = value;
    }

    std::string m_tool_name;
    std::string m_tool_version;
    std::string m_generated_by;
    std::string m_display_name;
    std::string m_entity;
    std::string m_parent_entity;
    std::string m_top_level_comp_name;
    std::string m_library;
    std::string m_vendor_name;
    static const std::string& text_of(const IPMAN_SHARED_TEXT& text);

    IPMAN_SHARED_TEXT m_source_file;
    IPMAN_SHARED_TEXT m_ip_generation_file;
    IPMAN_SHARED_TEXT m_ip_top_level_file;
    IPMAN_SHARED_TEXT m_upgrade_note;
    IPMAN_SHARED_TEXT m_upgrade_message;
    std::vector<std::string> m_upgrade_changelog;
    IPMAN_SHARED_TEXT m_status_notification;
    IPMAN_IP_REGEN_STATUS_ENUM m_regen_status = IPMAN_COMPATIBLE;
    IPMAN_UPGRADE_STATUS_ENUM m_upgrade_status = IPMAN_UPGRADE_NOT_ATTEMPTED;
    bool m_upgrade_will_migrate = false;
    bool m_is_eol = false;
    std::set<std::string> m_supported_eol_sub_ips;
    bool m_no_generation_file = false;
    std::string m_new_tool_name;
    std::string m_new_tool_version;
    bool m_ip_warnings_status = false;
    bool m_ip_errors_status = false;
    IPMAN_TERNARY_BOOLEAN m_vip_in_default_directory = IPMAN_TERNARY_UNKNOWN;
    std::vector<DEV_FAMILY_ENUM> m_supported_families;
    std::set<IPMAN_REGEN_FILESET> m_supported_filesets;
    IPMAN_RTL_LANGUAGE_ENUM m_regen_language = IPMAN_RTL_USE_PROJECT_SETTING;
    IPMAN_IP_UPGRADE_FLOW_ENUM m_upgrade_flow = IPMAN_NO_UPGRADE;
};

//! Debug dump: thirteen lines, values between single quotes.
std::ostream& operator<<(std::ostream& out, const IPMAN_IP_INFO& info);

//! Upper-case name without prefix ("VERSION_OLD"); empty for a value without a name.
std::string regen_status_to_string(IPMAN_IP_REGEN_STATUS_ENUM status);
//! Upper-case name without prefix ("VKELVANE_SILENT"); empty for a value without a name.
std::string upgrade_flow_to_string(IPMAN_IP_UPGRADE_FLOW_ENUM flow);
//! The word of the Tcl field "compatibility" ("version_old"; "compatible" for the rest).
std::string regen_status_to_compatibility_text(IPMAN_IP_REGEN_STATUS_ENUM status);
//! The word of the Tcl field "upgrade_status" ("success"; "not_attempted" for the rest).
std::string upgrade_status_to_string(IPMAN_UPGRADE_STATUS_ENUM status);
//! The word of the Tcl field "regen_language" ("vhdl"; "use_project_setting" for the rest).
std::string rtl_language_to_string(IPMAN_RTL_LANGUAGE_ENUM language);
//! The variation fileset of a catalog fileset kind; none for kinds without a counterpart.
std::optional<IPMAN_REGEN_FILESET> regen_fileset_from_catalog(int catalog_fileset);
