//! @file ipman_acf_ip_collector.cpp
//! @brief Collecting the project's IP variations: assignment grouping and list folding,
//! classification by variation file, the entity pass, and the system and gwip file passes.
#include "discovery/ipman_acf_ip_collector.h"

#include "discovery/ipman_ip_file_reader.h"
#include "discovery/ipman_legacy_variation_reader.h"
#include "discovery/ipman_system_file_reader.h"
#include "support/ipman_debug.h"
#include "support/ipman_input_file.h"
#include "support/ipman_project.h"

#include <acf/acf.h>
#include <atcl/atcl.h>
#include <dev/dev.h>
#include <fio/fio.h>
#include <gen/gen.h>
#include <ipcatalog/ipcatalog.h>
#include <ipman/ipman_constants.h>
#include <ipman/ipman_utils.h>
#include <msg/msg.h>

#include <fmt/format.h>

#include <array>
#include <set>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <utility>

namespace {

std::string flattened(const std::string& path)
{
    // Project paths are mostly absolute and flat already.
    if (FIO_PATH::is_absolute_and_flat(path)) return path;
    return FIO_PATH(path).flatten().fullpath();
}

std::string text_or_empty(const char* text)
{
    return text ? std::string(text) : std::string();
}

//! The assignment variable types that describe IP variations and take part in grouping.
bool is_ip_variable_type(ACF_VARIABLE_TYPE_ENUM type)
{
    switch (type) {
    case ACF_VAR_VHDL_FILE:
    case ACF_VAR_VERILOG_FILE:
    case ACF_VAR_VIP_FILE:
    case ACF_VAR_IP_VARIATION_FILE:
    case ACF_VAR_IP_TARGET_FAMILIES:
    case ACF_VAR_IP_PARAMETER:
    case ACF_VAR_IP_DEVICE_REQUIREMENT:
    case ACF_VAR_IP_GENERATION_MODE:
    case ACF_VAR_IP_CORE_NAME:
    case ACF_VAR_IP_CORE_VERSION:
    case ACF_VAR_IP_VENDOR:
    case ACF_VAR_IP_TOP_LEVEL_COMPONENT:
    case ACF_VAR_IP_GENERATED_BY:
        return true;
    default:
        return false;
    }
}

//! Types that describe one entity of a variation.
bool is_entity_type(ACF_VARIABLE_TYPE_ENUM type)
{
    return type == ACF_VAR_IP_CORE_NAME || type == ACF_VAR_IP_CORE_VERSION || type == ACF_VAR_IP_VENDOR ||
           type == ACF_VAR_IP_TOP_LEVEL_COMPONENT || type == ACF_VAR_IP_GENERATED_BY;
}

//! The entity field an entity assignment fills.
std::string* entity_field_of(IPMAN_COLLECTED_ENTITY& entity, ACF_VARIABLE_TYPE_ENUM type)
{
    switch (type) {
    case ACF_VAR_IP_CORE_NAME:
        return &entity.tool_name;
    case ACF_VAR_IP_CORE_VERSION:
        return &entity.tool_version;
    case ACF_VAR_IP_VENDOR:
        return &entity.vendor;
    case ACF_VAR_IP_TOP_LEVEL_COMPONENT:
        return &entity.top_level_comp_name;
    case ACF_VAR_IP_GENERATED_BY:
        return &entity.generated_by;
    default:
        MSG_INTERNAL_ERROR::report("is_entity_type(type)", IPMAN_MODULE_TAG, __FILE__, __LINE__);
    }
}

//! Groups IP assignments by the IP list they were read from and folds nested lists into
//! the list that includes them when that list names a complete core (tool name and version).
//! Keys and links are views into the assignments, which outlive the grouper.
class ASSIGNMENT_GROUPER {
public:
    using ASSIGNMENTS = std::vector<const ACF_ASSIGNMENT*>;

    void add(const ACF_ASSIGNMENT& assignment)
    {
        const ACF_MGR_INPUT_PARAMETERS& params = assignment.get_input_parameters();
        if (params.get_origin().empty() || !is_ip_variable_type(assignment.get_type())) return;
        const std::string_view key = params.get_origin();
        GROUP& group = group_of_origin(key);
        switch (assignment.get_type()) {
        case ACF_VAR_VIP_FILE:
            add_link(key, params.get_value_string());
            break;
        case ACF_VAR_IP_CORE_NAME:
            group.has_tool_name = true;
            break;
        case ACF_VAR_IP_CORE_VERSION:
            group.has_tool_version = true;
            break;
        default:
            break;
        }
        group.assignments.push_back(&assignment);
    }

    //! Folds from every root in byte-wise key order. Lists that only sit in cycles have no
    //! root and stay unfolded.
    void fold_nested_lists()
    {
        for (const std::string_view root : m_roots)
            fold(root, false);
    }

    const std::vector<std::string_view>& keys_in_order() const { return m_keys_in_order; }

    //! The lists whose groups went into key's group, directly or through another list.
    const std::vector<std::string_view>& lists_folded_into(std::string_view key) const
    {
        static const std::vector<std::string_view> none;
        const auto found = m_folded_into.find(key);
        return found == m_folded_into.end() ? none : found->second;
    }

    //! The group of a key; null when the key was folded into another group.
    const ASSIGNMENTS* group_of(std::string_view key) const
    {
        const auto found = m_groups.find(key);
        return found == m_groups.end() ? nullptr : &found->second.assignments;
    }

private:
    struct GROUP {
        ASSIGNMENTS assignments;
        bool has_tool_name = false;
        bool has_tool_version = false;
    };

    //! The assignments of one list come one after the other: the group of the last origin is
    //! kept at hand, so the map is searched once per list rather than once per assignment.
    GROUP& group_of_origin(std::string_view key)
    {
        if (m_last_group != nullptr && key == m_last_key) return *m_last_group;
        auto [group, is_new] = m_groups.try_emplace(key);
        if (is_new) m_keys_in_order.push_back(key);
        m_last_key = key;
        m_last_group = &group->second;
        return group->second;
    }

    //! child's group went into key's: so did every list folded into child before.
    void note_folded(std::string_view child, std::string_view key)
    {
        std::vector<std::string_view>& folded = m_folded_into[key];
        folded.push_back(child);
        const auto grandchildren = m_folded_into.find(child);
        if (grandchildren == m_folded_into.end()) return;
        folded.insert(folded.end(), grandchildren->second.begin(), grandchildren->second.end());
        m_folded_into.erase(grandchildren);
    }

    void add_link(std::string_view key, std::string_view target)
    {
        m_links[key].insert(target);
        m_link_targets.insert(target);
        if (m_link_targets.count(key) == 0) m_roots.insert(key);
        m_roots.erase(target);
    }

    //! A list naming its core and version stands for one variation with its nested lists.
    static bool folds_its_lists(const GROUP& group) { return group.has_tool_name && group.has_tool_version; }

    //! Folds bottom-up: grandchildren join their parent before the parent joins key.
    //! A list that is still being folded higher up (a cycle below a root) is neither
    //! descended into again nor absorbed by its own descendant.
    void fold(std::string_view key, bool inherited)
    {
        if (m_on_fold_path.count(key) != 0 || !m_folded[inherited].insert(key).second) return;
        const auto links = m_links.find(key);
        const auto own = m_groups.find(key);
        if (links == m_links.end() || own == m_groups.end()) return;
        const bool absorb = folds_its_lists(own->second) || inherited;
        m_on_fold_path.insert(key);
        for (const std::string_view target : links->second)
            fold(target, absorb);
        if (absorb) {
            ASSIGNMENTS& group = own->second.assignments;
            for (const std::string_view target : links->second) {
                const auto child = m_groups.find(target);
                if (child == m_groups.end() || m_on_fold_path.count(target) != 0) continue;
                const ASSIGNMENTS& absorbed = child->second.assignments;
                group.insert(group.end(), absorbed.begin(), absorbed.end());
                m_groups.erase(child);
                note_folded(target, key);
            }
        }
        m_on_fold_path.erase(key);
    }

    using KEY_SET = std::unordered_set<std::string_view>;

    std::unordered_map<std::string_view, GROUP> m_groups;
    std::string_view m_last_key;
    GROUP* m_last_group = nullptr;  // elements of m_groups stay where they are until folding
    std::vector<std::string_view> m_keys_in_order;
    std::unordered_map<std::string_view, std::vector<std::string_view>> m_folded_into;
    std::unordered_map<std::string_view, std::set<std::string_view>> m_links;  // targets in byte-wise order
    KEY_SET m_link_targets;
    std::set<std::string_view> m_roots;  // byte-wise order
    KEY_SET m_on_fold_path;
    std::array<KEY_SET, 2> m_folded;  // keys folded without and with an inherited absorb
};

//! The families of a Tcl list of family names; unknown names are dropped.
//! The list is split without an interpreter: a project has one such list per variation.
std::vector<DEV_FAMILY_ENUM> target_families(const std::string& list_text)
{
    std::vector<DEV_FAMILY_ENUM> families;
    std::vector<std::string> names;
    if (!atcl_tcl_get_mult_string_from_tcl_obj(nullptr, list_text, names)) {
        ipman_debug(fmt::format("Target families are not a Tcl list: {}", list_text));
        return families;
    }
    for (const std::string& name : names) {
        const DEV_FAMILY_ENUM family =
            name == "Device Agnostic" ? DEV_FAMILY_DEVICE_AGNOSTIC : dstr_get_dev_family_enum_by_string(name);
        if (family != DEV_FAMILY_NONE) families.push_back(family);
    }
    return families;
}

//! "name::value"; any other shape, or a blank name or value, is ignored.
void add_device_requirement(const std::string& text, std::map<std::string, std::string>& requirements)
{
    std::vector<std::string> parts;
    IPMAN_UTILS::split_string(text, "::", parts, true);
    if (parts.size() == 2 && !gen_is_empty_string(parts[0]) && !gen_is_empty_string(parts[1]))
        requirements[parts[0]] = parts[1];
}

void classify_variation_file(IPMAN_COLLECTED_IP& record, const std::string& variation_file)
{
    // A list keyed by the file itself was written by that file's generation.
    if (IPMAN_UTILS::is_tessel_file(variation_file)) {
        record.main_file = flattened(IPMAN_UTILS::is_tessel_file(record.key) ? record.key : variation_file);
        record.kind = IPMAN_UTILS::is_tessel_file(record.key) ? IPMAN_COLLECTED_IP_KIND::TESSEL_SYSTEM
                                                              : IPMAN_COLLECTED_IP_KIND::TESSEL_LIST;
    } else if (IPMAN_UTILS::is_gwip_file(variation_file)) {
        record.main_file = flattened(IPMAN_UTILS::is_gwip_file(record.key) ? record.key : variation_file);
        record.kind = IPMAN_UTILS::is_gwip_file(record.key) ? IPMAN_COLLECTED_IP_KIND::GWIP_FILE
                                                            : IPMAN_COLLECTED_IP_KIND::GWIP_LIST;
    }
}

//! An empty entity field takes the record's value; a filled one gives the record its value.
void share_identity(std::string& entity_field, std::string& record_field)
{
    if (entity_field.empty())
        entity_field = record_field;
    else
        record_field = entity_field;
}

//! Settles the main entity and gives the record its identity.
void settle_main_entity(IPMAN_COLLECTED_IP& record, std::size_t main_index)
{
    IPMAN_COLLECTED_ENTITY& main = record.entities[main_index];
    // A standalone system's list names the system tool first; the component it wraps
    // follows and gives the variation its identity.
    if (record.standalone && main_index == 0 && IPMAN_UTILS::is_tessel_tool_string(main.tool_name) &&
        record.entities.size() >= 2) {
        main.tool_name = record.entities[1].tool_name;
        main.tool_version = record.entities[1].tool_version;
    }
    share_identity(main.tool_name, record.core_name);
    share_identity(main.tool_version, record.core_version);
    record.base_name = main.entity;
}

}  // namespace

bool ipman_is_system_kind(IPMAN_COLLECTED_IP_KIND kind)
{
    return kind == IPMAN_COLLECTED_IP_KIND::TESSEL_SYSTEM || kind == IPMAN_COLLECTED_IP_KIND::TESSEL_LIST ||
           kind == IPMAN_COLLECTED_IP_KIND::GWIP_FILE || kind == IPMAN_COLLECTED_IP_KIND::GWIP_LIST;
}

// ---- IPMAN_COLLECTED_IP -----------------------------------------------------------------

IPMAN_COLLECTED_IP::IPMAN_COLLECTED_IP(const std::string& record_key)
    : key(record_key), base_name(FIO_PATH(record_key).base())
{
}

std::string IPMAN_COLLECTED_IP::entity_index_key(const std::string& entity, const std::string& library)
{
    return library.empty() ? entity : entity + "##" + library;
}

std::size_t IPMAN_COLLECTED_IP::find_entity(const std::string& entity, const std::string& library) const
{
    if (entity_index.empty() && !entities.empty()) {
        // A collected record no longer has its index: it is looked up rarely after building.
        for (std::size_t at = 0; at < entities.size(); ++at)
            if (entities[at].entity == entity && entities[at].library == library) return at;
        return npos;
    }
    const auto found = entity_index.find(entity_index_key(entity, library));
    return found == entity_index.end() ? npos : found->second;
}

IPMAN_COLLECTED_ENTITY& IPMAN_COLLECTED_IP::find_or_add_entity(const std::string& entity,
                                                               const std::string& library)
{
    const auto [position, added] =
        entity_index.try_emplace(entity_index_key(entity, library), entities.size());
    if (added) {
        IPMAN_COLLECTED_ENTITY fresh;
        fresh.entity = entity;
        fresh.library = library;
        entities.push_back(std::move(fresh));
    }
    return entities[position->second];
}

// ---- IPMAN_ACF_IP_COLLECTOR -------------------------------------------------------------

IPMAN_ACF_IP_COLLECTOR::IPMAN_ACF_IP_COLLECTOR() = default;

IPMAN_ACF_IP_COLLECTOR::~IPMAN_ACF_IP_COLLECTOR() = default;

void IPMAN_ACF_IP_COLLECTOR::set_ip_catalog_manager(IPCATALOG_VORLIN_IP_CATALOG_MANAGER* catalog)
{
    m_catalog = catalog;
}

bool IPMAN_ACF_IP_COLLECTOR::get_always_regen() const
{
    return m_always_regen;
}

void IPMAN_ACF_IP_COLLECTOR::set_always_regen(bool always_regen)
{
    m_always_regen = always_regen;
}

std::string IPMAN_ACF_IP_COLLECTOR::get_tool_string() const
{
    return m_pro_version ? IPMAN_TESSEL_CP_STR : IPMAN_TESSEL_STR;
}

void IPMAN_ACF_IP_COLLECTOR::collect_ip_files()
{
    if (m_catalog == nullptr) m_catalog = IPCATALOG_VORLIN_IP_CATALOG_MANAGER::instance(false);

    m_legacy_texts.begin();
    m_system_files.begin();
    m_gwip_files.begin();
    m_records.clear();
    m_record_positions.clear();
    m_target_families.clear();
    ASSIGNMENTS system_files, gwip_files;
    build_group_records(system_files, gwip_files);
    for (const ACF_ASSIGNMENT* assignment : system_files)
        collect_system_file(*assignment);
    for (const ACF_ASSIGNMENT* assignment : gwip_files)
        collect_gwip_file(*assignment);
    // The records keep their spare capacity: never written, it takes next to no memory, and
    // the next collection, which reserves as much, builds its records in the same storage
    // instead of in a new block of tens of megabytes.
    ipman_debug(fmt::format("Collected {} IP variations", m_records.size()));
}

bool IPMAN_ACF_IP_COLLECTOR::has_read_file(const std::string& path) const
{
    return m_legacy_texts.has_value(path) || m_system_files.has_value(path) || m_gwip_files.has_value(path);
}

void IPMAN_ACF_IP_COLLECTOR::build_group_records(ASSIGNMENTS& system_files, ASSIGNMENTS& gwip_files)
{
    ACF_MANAGER* acf_mgr = ACF_MANAGER::get_acf_manager();
    if (acf_mgr == nullptr)
        MSG_INTERNAL_ERROR::report("acf_mgr != NULL", IPMAN_MODULE_TAG, __FILE__, __LINE__);
    // One pass over the project's design assignments, far more than the processor's caches hold.
    ASSIGNMENT_GROUPER grouper;
    const auto note = [&](const ACF_ASSIGNMENT& assignment) {
        grouper.add(assignment);
        if (!assignment.test_trait_of(ACF_TRAIT_FILE)) return;
        const std::string& resolved = assignment.resolved_value();
        if (IPMAN_UTILS::is_tessel_file(resolved))
            system_files.push_back(&assignment);
        else if (IPMAN_UTILS::is_gwip_file(resolved))
            gwip_files.push_back(&assignment);
    };
    ipman_for_each_assignment_of_category(*acf_mgr, ACF_FILE_CATEGORY_DESIGN, note);
    grouper.fold_nested_lists();
    // At most one record per group and per system or gwip file: with room for all of them
    // from the start, tens of thousands of records are not moved each time the vector grows.
    // The storage of the last collection is reused unless far too large for this one.
    const std::size_t most_records = grouper.keys_in_order().size() + system_files.size() + gwip_files.size();
    if (most_records < m_records.capacity() / 2) m_records = std::vector<IPMAN_COLLECTED_IP>();
    m_records.reserve(most_records);
    m_record_positions.reserve(m_records.capacity());

    m_folded_list_keys.clear();
    for (const std::string_view key : grouper.keys_in_order()) {
        const ASSIGNMENTS* group = grouper.group_of(key);
        if (group == nullptr) continue;
        const std::string group_key(key);
        for (const std::string_view folded : grouper.lists_folded_into(key))
            m_folded_list_keys.try_emplace(std::string(folded), group_key);
        // Regenerated anyway: the system and gwip passes read such files themselves.
        if (m_always_regen && IPMAN_UTILS::is_tessel_editable_file(group_key)) continue;
        build_record(group_key, *group);
    }
}

std::string IPMAN_ACF_IP_COLLECTOR::record_key_of_list(const std::string& list_key) const
{
    const auto folded = m_folded_list_keys.find(list_key);
    return FIO_PATH(folded == m_folded_list_keys.end() ? list_key : folded->second).to_string();
}

void IPMAN_ACF_IP_COLLECTOR::build_record(const std::string& group_key, const ASSIGNMENTS& group)
{
    IPMAN_COLLECTED_IP record(FIO_PATH(group_key).to_string());
    MAIN_FILE_TEXT main_file_text = nullptr;
    classify_from_files(record, group, main_file_text);
    read_entities(record, group, main_file_text);
    if (record.entities.empty()) {
        ipman_debug(fmt::format("IP list {} names no entity", record.key));
        return;
    }
    if (IPMAN_UTILS::is_tessel_editable_file(record.key)) record.main_file = flattened(record.key);
    add_record(std::move(record));
}

//! An HDL file of the variation (its base name is the list's): its language, and whether it
//! is a wizard variation or a protected file the variation is regenerated from.
void IPMAN_ACF_IP_COLLECTOR::classify_hdl_file(IPMAN_COLLECTED_IP& record, const ACF_ASSIGNMENT& assignment,
                                               const std::string& base, MAIN_FILE_TEXT& main_file_text)
{
    const std::string written = flattened(assignment.get_unmodified_value());
    if (FIO_PATH(written).base() != base) return;
    record.language = assignment.get_type() == ACF_VAR_VHDL_FILE ? IPMAN_RTL_VHDL : IPMAN_RTL_VERILOG;
    if (ipman_is_system_kind(record.kind)) {
        record.top_level_file = written;
        return;
    }
    const std::string& resolved = assignment.resolved_value();
    // Only readable texts are kept: an unreadable file is tried again next time.
    const std::optional<IPMAN_LEGACY_FILE_TEXT>& kept =
        m_legacy_texts.get(resolved, [](const std::string& path) -> std::optional<IPMAN_LEGACY_FILE_TEXT> {
            IPMAN_LEGACY_FILE_TEXT read = ipman_read_legacy_file(path);
            if (read.readable) return read;
            // The reader opens regular files of bounded size only; an existing file it could
            // not open is named in a warning.
            ipman_check_input_file(path, IPMAN_MAX_HDL_FILE_SIZE, "HDL variation file");
            return std::nullopt;
        });
    if (!kept) return;  // says nothing: neither wizard-generated nor protected
    const IPMAN_LEGACY_FILE_TEXT& text = *kept;
    const bool encrypted = text.encrypted;
    if (text.generated_by_wizard && !text.core_version.empty()) {
        record.core_name = text.core_name;
        record.core_version = text.core_version;
    } else if (!text.generated_by_wizard) {
        if (encrypted) {
            record.main_file = written;
            main_file_text = &text;
            record.encrypted = true;
        }
        return;
    }
    record.main_file = written;
    main_file_text = &text;
    record.top_level_file = written;
    record.kind = IPMAN_COLLECTED_IP_KIND::LEGACY_VARIATION;
    record.encrypted = encrypted;
}

void IPMAN_ACF_IP_COLLECTOR::classify_from_files(IPMAN_COLLECTED_IP& record, const ASSIGNMENTS& group,
                                                 MAIN_FILE_TEXT& text)
{
    const std::string base = FIO_PATH(record.key).base();
    for (const ACF_ASSIGNMENT* assignment : group) {
        switch (assignment->get_type()) {
        case ACF_VAR_IP_VARIATION_FILE:
            classify_variation_file(record, assignment->get_unmodified_value());
            break;
        case ACF_VAR_VHDL_FILE:
        case ACF_VAR_VERILOG_FILE:
            classify_hdl_file(record, *assignment, base, text);
            break;
        case ACF_VAR_IP_GENERATION_MODE:
            record.standalone = assignment->get_unmodified_value() == "STANDALONE";
            break;
        default:
            break;
        }
    }
}

const std::vector<DEV_FAMILY_ENUM>&
IPMAN_ACF_IP_COLLECTOR::target_families_of(const std::string& list_text) const
{
    const auto [known, fresh] = m_target_families.try_emplace(list_text);
    if (fresh) known->second = target_families(list_text);
    return known->second;
}

void IPMAN_ACF_IP_COLLECTOR::read_entities(IPMAN_COLLECTED_IP& record, const ASSIGNMENTS& group,
                                           const MAIN_FILE_TEXT& text) const
{
    const std::string base = FIO_PATH(record.key).base();
    std::size_t main_index = IPMAN_COLLECTED_IP::npos;
    for (const ACF_ASSIGNMENT* assignment : group) {
        const ACF_VARIABLE_TYPE_ENUM type = assignment->get_type();
        if (type == ACF_VAR_IP_TARGET_FAMILIES) {
            const std::vector<DEV_FAMILY_ENUM>& families =
                target_families_of(assignment->get_unmodified_value());
            record.supported_families.insert(record.supported_families.end(), families.begin(),
                                             families.end());
            continue;
        }
        if (type == ACF_VAR_IP_DEVICE_REQUIREMENT) {
            add_device_requirement(assignment->get_unmodified_value(), record.device_requirements);
            continue;
        }
        if (!is_entity_type(type)) continue;
        std::string name = assignment->get_entity_name();
        // Without -entity the assignment describes the list it was read from; folded lists
        // keep their own origin, so their entities stay apart from the including list's.
        if (name.empty()) {
            const char* origin = assignment->get_argument_value(ACF_ARG_ORIGIN);
            name = origin ? FIO_PATH(origin).base() : base;
        }
        const std::string library = text_or_empty(assignment->get_argument_value(ACF_ARG_LIBRARY));
        IPMAN_COLLECTED_ENTITY& entity = record.find_or_add_entity(name, library);
        if (name == base) main_index = record.find_entity(name, library);
        *entity_field_of(entity, type) = assignment->get_unmodified_value();
    }
    if (record.entities.empty()) return;
    settle_main_entity(record, main_index == IPMAN_COLLECTED_IP::npos ? 0 : main_index);
    if (record.kind == IPMAN_COLLECTED_IP_KIND::LEGACY_VARIATION) read_legacy_family(record, text);
}

void IPMAN_ACF_IP_COLLECTOR::read_legacy_family(IPMAN_COLLECTED_IP& record,
                                                const MAIN_FILE_TEXT& main_file_text) const
{
    const std::string main_file = FIO_PATH(record.main_file).fullpath();
    DEV_FAMILY_ENUM family = DEV_FAMILY_NONE;
    // A product core's own family line outranks any family its list names.
    if (read_legacy_product_family(main_file, record.core_name, family, main_file_text)) {
        record.supported_families.clear();
        if (family != DEV_FAMILY_NONE) record.supported_families.push_back(family);
    } else if (record.supported_families.empty()) {
        read_retrieval_info_family(m_catalog, record.core_name, main_file, record.supported_families,
                                   main_file_text);
    }
}

bool IPMAN_ACF_IP_COLLECTOR::has_record(const std::string& key) const
{
    return m_record_positions.count(key) != 0;
}

void IPMAN_ACF_IP_COLLECTOR::add_record(IPMAN_COLLECTED_IP&& record)
{
    // The records are kept until the next collection: spare capacity would be kept as long,
    // and so would the entity index, which only building needs.
    record.entities.shrink_to_fit();
    record.entity_index.clear();
    m_record_positions.try_emplace(record.key, m_records.size());
    m_records.push_back(std::move(record));
}

void IPMAN_ACF_IP_COLLECTOR::collect_system_file(const ACF_ASSIGNMENT& assignment)
{
    const std::string key = assignment.get_unmodified_value();
    if (has_record(key)) return;
    const std::optional<IPMAN_SYSTEM_FILE>& system =
        m_system_files.get(assignment.resolved_value(), ipman_read_system_file);
    if (!system) {
        ipman_debug(fmt::format("No system module in system file {}", key));
        return;
    }
    add_record(record_of_system(key, *system));
}

std::optional<IPMAN_COLLECTED_IP> IPMAN_ACF_IP_COLLECTOR::system_file_record(const std::string& key,
                                                                             const std::string& path) const
{
    const std::optional<IPMAN_SYSTEM_FILE> system = ipman_read_system_file(path);
    if (!system) return std::nullopt;
    return record_of_system(key, *system);
}

IPMAN_COLLECTED_IP IPMAN_ACF_IP_COLLECTOR::record_of_system(const std::string& key,
                                                            const IPMAN_SYSTEM_FILE& system) const
{
    IPMAN_COLLECTED_IP record(key);
    record.from_system_file = true;
    record.standalone = system.standalone;
    const std::string tool = system.saved_by_pro_edition ? get_tool_string() : std::string(IPMAN_TESSEL_STR);
    record.main_file = flattened(key);
    record.core_name = tool;

    const std::string base = FIO_PATH(key).base();
    {
        IPMAN_COLLECTED_ENTITY& own = record.find_or_add_entity(base, base);
        own.tool_name = tool;
        own.generated_by = tool;
    }
    for (const IPMAN_SYSTEM_MODULE& module : system.modules) {
        // The component type names the entity; the instance name serves as its library.
        IPMAN_COLLECTED_ENTITY& entity = record.find_or_add_entity(module.kind, module.instance);
        if (module.version) entity.tool_version = *module.version;
        entity.tool_name = module.kind;
        entity.generated_by = tool;
    }

    // A standalone system is reported under the identity of the first component it holds.
    if (record.standalone && record.entities.size() >= 2) {
        const IPMAN_COLLECTED_ENTITY wrapped = record.entities[1];
        IPMAN_COLLECTED_ENTITY& own = record.entities[record.find_entity(base, base)];
        own.tool_name = wrapped.tool_name;
        own.tool_version = wrapped.tool_version;
        record.core_name = wrapped.tool_name;
        record.core_version = wrapped.tool_version;
    }

    if (system.device_family) record.supported_families.push_back(*system.device_family);
    return record;
}

void IPMAN_ACF_IP_COLLECTOR::collect_gwip_file(const ACF_ASSIGNMENT& assignment)
{
    const std::string key = assignment.get_unmodified_value();
    if (has_record(key)) return;
    // The file is read at its resolved path: a path written relative to the project must
    // not depend on the current directory of the process. A missing file or a directory
    // reads as nothing, silently.
    const std::string& path = assignment.resolved_value();
    const std::optional<GWIP_IDENTITY>& gwip =
        m_gwip_files.get(path, [](const std::string& file) -> std::optional<GWIP_IDENTITY> {
            IPMAN_IPXACT_READER reader(file);
            if (!reader.read()) return std::nullopt;
            return GWIP_IDENTITY{reader.get_name(),          reader.get_version(),  reader.get_vendor(),
                                 reader.get_device_family(), reader.has_warnings(), reader.has_errors()};
        });
    if (!gwip) {
        ipman_debug(fmt::format("Gwip file {} does not read", key));
        return;
    }
    IPMAN_COLLECTED_IP record(key);
    record.main_file = flattened(key);
    record.core_name = gwip->name;
    record.core_version = gwip->version;
    record.standalone = true;
    record.from_system_file = true;
    record.kind = IPMAN_COLLECTED_IP_KIND::GWIP_COMPONENT;
    record.has_warnings = gwip->has_warnings;
    record.has_errors = gwip->has_errors;
    for (const std::string& entity_name : {record.base_name, gwip->name}) {
        IPMAN_COLLECTED_ENTITY& entity = record.find_or_add_entity(entity_name, entity_name);
        entity.tool_name = gwip->name;
        entity.tool_version = gwip->version;
        entity.generated_by = get_tool_string();
        entity.vendor = gwip->vendor;
    }
    const DEV_FAMILY_ENUM family = dstr_get_dev_family_enum_by_string(gwip->device_family);
    if (dstr_is_valid_dev_family_enum(family)) record.supported_families.push_back(family);
    add_record(std::move(record));
}
