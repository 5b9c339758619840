//! @file ipman_ip_record_builder.cpp
//! @brief The collector's conversion of collected variations into IPMAN_IP_INFO records: main
//! and sub-IP records, roll-up of sub-IP results, the required/optional split, look-ups.
#include "discovery/ipman_acf_ip_collector.h"

#include "discovery/ipman_record_analyser.h"
#include "support/ipman_debug.h"
#include "support/ipman_project.h"

#include <acf/acf.h>
#include <fio/fio.h>
#include <ipcatalog/ipcatalog.h>
#include <ipman/ipman_constants.h>

#include <fmt/format.h>

#include <algorithm>
#include <iterator>
#include <map>
#include <optional>
#include <set>
#include <unordered_map>
#include <utility>

namespace {

using INFOS = std::vector<IPMAN_IP_INFO>;
using FILESETS = std::set<IPMAN_REGEN_FILESET>;

//! The open project's directory (ending in a separator); empty without an open project.
std::string open_project_directory()
{
    const ACF_MANAGER* acf = ipman_open_project();
    return acf != nullptr ? acf->get_project_path() : std::string();
}

std::string text_or_na(const std::string& text)
{
    return text.empty() ? std::string(IPMAN_NA_STR) : text;
}

IPMAN_TERNARY_BOOLEAN to_ternary(bool value)
{
    return value ? IPMAN_TERNARY_TRUE : IPMAN_TERNARY_FALSE;
}

//! Empty, or only the block symbol: says nothing about the HDL a variation generates.
bool is_unspecific(const FILESETS& filesets)
{
    return filesets.empty() || (filesets.size() == 1 && *filesets.begin() == IPMAN_FILESET_BLOCK_SYMBOL);
}

//! What the analysed records of one variation say about its main record.
struct SUB_IP_VERDICTS {
    bool has_incompatible_sub_ip = false;
    bool has_sub_ip_with_warning = false;
    std::set<std::string> end_of_life_tool_names;  //!< ascending
    FILESETS fileset_union;

    void add(const IPMAN_IP_INFO& info, bool is_main)
    {
        if (info.status_incompatible() && !is_main)
            has_incompatible_sub_ip = true;
        else if (!info.is_eol() && info.status_compatible_with_warning())
            has_sub_ip_with_warning = true;
        else if (info.is_eol())
            end_of_life_tool_names.insert(info.tool_name());
        fileset_union.insert(info.const_supported_filesets().begin(), info.const_supported_filesets().end());
    }
};

//! Turns collected variations into analysed IPMAN_IP_INFO records. Lives for one conversion
//! operation: the project directory, the layout test and catalog vendors are read once.
class IP_INFO_CONVERTER {
public:
    IP_INFO_CONVERTER(IPMAN_RECORD_ANALYSER& analyser, const IPCATALOG_VORLIN_IP_CATALOG_MANAGER* catalog)
        : m_analyser(analyser), m_conversion(analyser), m_catalog(catalog),
          m_project_dir(open_project_directory())
    {
    }

    //! Appends the records of one variation to out; the position of its main record, if any.
    std::optional<std::size_t> convert(const IPMAN_COLLECTED_IP& variation, INFOS& out);

    //! path absolute against the project directory and flattened: the form in which records
    //! name their files, so that files compare as text.
    std::string full_path(const std::string& path) const
    {
        if (path.empty() || FIO_PATH::is_absolute_and_flat(path)) return path;
        // Most files are plain names under the project folder: joined, they are already flat.
        const char separator = FIO_PATH::default_path_separator();
        if (!m_project_dir.empty() && path.back() != separator) {
            std::string joined =
                m_project_dir.back() == separator ? m_project_dir + path : m_project_dir + separator + path;
            if (FIO_PATH::is_absolute_and_flat(joined)) return joined;
        }
        FIO_PATH full(path);
        if (full.relative() && !m_project_dir.empty()) full.become_absolute(m_project_dir);
        return full.flatten().fullpath();
    }

private:
    //! The variation's files in the records' form, one copy shared by all its records.
    struct VARIATION_FILES {
        IPMAN_SHARED_TEXT source;      //!< the key: the file through which it entered the project
        IPMAN_SHARED_TEXT generation;  //!< the main file
    };

    IPMAN_IP_INFO make_record(const IPMAN_COLLECTED_IP& variation, const VARIATION_FILES& files,
                              const IPMAN_COLLECTED_ENTITY& entity, bool is_main, bool sub_flag);
    std::string vendor_of(const IPMAN_COLLECTED_ENTITY& entity, const IPMAN_IP_INFO& info, bool sub_flag);
    std::string catalog_author(const std::string& tool_name, const std::string& tool_version);
    IPMAN_TERNARY_BOOLEAN vip_in_default_directory(IPMAN_COLLECTED_IP_KIND kind,
                                                   const VARIATION_FILES& files);
    bool new_layout();
    static bool roll_up_status(const SUB_IP_VERDICTS& verdicts, IPMAN_IP_INFO& record);
    void roll_up_filesets(std::size_t main, const SUB_IP_VERDICTS& verdicts, INFOS& out, std::size_t first);

    IPMAN_RECORD_ANALYSER& m_analyser;
    IPMAN_SCOPED_CONVERSION m_conversion;
    const IPCATALOG_VORLIN_IP_CATALOG_MANAGER* m_catalog;  //!< may be null
    std::string m_project_dir;
    std::optional<bool> m_new_layout;
    std::map<std::pair<std::string, std::string>, std::string> m_authors;  //!< (name, version) -> author
};

//! Every entity that names the core under the variation's own name is a main record; the
//! last one is the variation's, the one the sub-IPs roll up into. It is analysed after the
//! sub-IPs, so that its pending attempt and notification see the rolled-up status.
std::optional<std::size_t> IP_INFO_CONVERTER::convert(const IPMAN_COLLECTED_IP& variation, INFOS& out)
{
    const bool legacy = variation.kind == IPMAN_COLLECTED_IP_KIND::LEGACY_VARIATION && !variation.encrypted;
    const bool system = ipman_is_system_kind(variation.kind);
    const bool legacy_kind = variation.kind == IPMAN_COLLECTED_IP_KIND::LEGACY_VARIATION;
    const std::size_t first = out.size();
    const VARIATION_FILES files{ipman_shared_text(full_path(variation.key)),
                                ipman_shared_text(full_path(variation.main_file))};
    std::optional<std::size_t> main;
    std::vector<bool> is_main_record;
    for (const IPMAN_COLLECTED_ENTITY& entity : variation.entities) {
        if (entity.tool_name.empty()) continue;
        const bool names_core = entity.tool_name == variation.core_name;
        const bool is_main = names_core && entity.entity == variation.base_name;
        // Another entity of the core itself is no sub-IP.
        if (names_core && !is_main) continue;
        if (is_main) main = out.size();
        out.push_back(make_record(variation, files, entity, is_main, (system && !is_main) || legacy));
        if (is_main) out.back().vip_in_default_directory(vip_in_default_directory(variation.kind, files));
        is_main_record.push_back(is_main);
    }

    SUB_IP_VERDICTS verdicts;
    for (std::size_t i = first; i < out.size(); ++i) {
        if (i == main) continue;
        const bool is_main = is_main_record[i - first];
        m_analyser.analyse_ip_info(variation.encrypted, legacy_kind && is_main, variation.from_system_file,
                                   variation.device_requirements, out[i]);
        verdicts.add(out[i], is_main);
    }
    if (!main) return main;
    IPMAN_IP_INFO& record = out[*main];
    m_analyser.analyse_main_ip_info(
        variation.encrypted, legacy_kind, variation.from_system_file, variation.device_requirements,
        [&verdicts](IPMAN_IP_INFO& analysed) { return roll_up_status(verdicts, analysed); }, record);
    verdicts.add(record, true);
    roll_up_filesets(*main, verdicts, out, first);
    return main;
}

IPMAN_IP_INFO IP_INFO_CONVERTER::make_record(const IPMAN_COLLECTED_IP& variation,
                                             const VARIATION_FILES& files,
                                             const IPMAN_COLLECTED_ENTITY& entity, bool is_main,
                                             bool sub_flag)
{
    IPMAN_IP_INFO info;
    info.tool_name(entity.tool_name);
    info.entity(entity.entity);
    info.top_level_comp_name(entity.top_level_comp_name);
    info.library(entity.library);
    info.tool_version(text_or_na(entity.tool_version));
    info.generated_by(text_or_na(entity.generated_by));
    info.vendor_name(vendor_of(entity, info, sub_flag));
    // Every record of the variation names the file through which it entered the project.
    info.source_file(files.source);
    info.ip_generation_file(files.generation);
    info.set_ip_warnings_status(variation.has_warnings);
    info.set_ip_errors_status(variation.has_errors);
    info.supported_families() = variation.supported_families;
    info.regen_language(variation.language);
    info.parent_entity(is_main ? std::string(IPMAN_NA_STR) : variation.base_name);
    if (is_main) info.ip_top_level_file(full_path(variation.top_level_file));
    return info;
}

std::string IP_INFO_CONVERTER::vendor_of(const IPMAN_COLLECTED_ENTITY& entity, const IPMAN_IP_INFO& info,
                                         bool sub_flag)
{
    std::string vendor = entity.vendor;
    if (vendor.empty()) vendor = sub_flag ? IPMAN_OLTRAN_STR : IPMAN_NA_STR;
    if (vendor == IPMAN_NA_STR) vendor = catalog_author(info.tool_name(), info.tool_version());
    return vendor;
}

//! The author of the first catalog card of the name with exactly this version; "N/A" when
//! there is none. Answers are kept for the operation: many records share a core.
std::string IP_INFO_CONVERTER::catalog_author(const std::string& tool_name, const std::string& tool_version)
{
    if (m_catalog == nullptr) return IPMAN_NA_STR;
    const auto [author, fresh] = m_authors.try_emplace({tool_name, tool_version}, IPMAN_NA_STR);
    if (fresh) {
        IPCATALOG_SCOPED_READ_WRITE_MUTEX lock(m_catalog);
        for (const IPCATALOG_CARD* card : m_catalog->get_ip_cards_by_name(tool_name)) {
            if (card->get_version() == tool_version) {
                author->second = card->get_author();
                break;
            }
        }
    }
    return author->second;
}

bool IP_INFO_CONVERTER::new_layout()
{
    if (!m_new_layout) m_new_layout = ipman_family_test_holds();
    return *m_new_layout;
}

//! Whether the variation's IP list lies where generation puts it: beside a legacy
//! variation file, or in the generated directory of a system or gwip file.
IPMAN_TERNARY_BOOLEAN IP_INFO_CONVERTER::vip_in_default_directory(IPMAN_COLLECTED_IP_KIND kind,
                                                                  const VARIATION_FILES& files)
{
    const FIO_PATH key(files.source ? *files.source : std::string());
    const FIO_PATH main_file(files.generation ? *files.generation : std::string());
    switch (kind) {
    case IPMAN_COLLECTED_IP_KIND::LEGACY_VARIATION:
        // Both absolute: a list named relative to the project still lies beside its file.
        return to_ternary(key.full_directory() == main_file.full_directory());
    case IPMAN_COLLECTED_IP_KIND::TESSEL_LIST:
    case IPMAN_COLLECTED_IP_KIND::GWIP_LIST: {
        const std::string separator(1, FIO_PATH::default_path_separator());
        std::string expected = main_file.base() + separator;
        if (new_layout()) expected += "synthesis" + separator;
        const std::string list_directory = key.full_directory();
        const std::string main_directory = main_file.full_directory();
        // Flat absolute folders (as loading makes them) are related as text.
        if (FIO_PATH::is_absolute_and_flat(list_directory) && FIO_PATH::is_absolute_and_flat(main_directory))
            return to_ternary(list_directory == main_directory + expected);
        return to_ternary(FIO_PATH(list_directory).get_relative_to(main_file.directory()) == expected);
    }
    default:
        return IPMAN_TERNARY_UNKNOWN;
    }
}

//! A variation is as incompatible as its worst sub-IP, and end of life with a sub-IP its
//! current core does not carry on.
bool IP_INFO_CONVERTER::roll_up_status(const SUB_IP_VERDICTS& verdicts, IPMAN_IP_INFO& record)
{
    bool changed = false;
    if (verdicts.has_incompatible_sub_ip && !record.status_incompatible()) {
        record.regen_status(IPMAN_SUBCORE_NEEDS_REGEN);
        changed = true;
    } else if (verdicts.has_sub_ip_with_warning && record.regen_status() == IPMAN_COMPATIBLE) {
        record.regen_status(IPMAN_VERSION_OLD);
        changed = true;
    }
    for (const std::string& tool_name : verdicts.end_of_life_tool_names) {
        if (!record.is_eol() && record.const_supported_eol_sub_ips().count(tool_name) == 0) {
            record.is_eol(true);
            changed = true;
        }
    }
    return changed;
}

//! A main record without specific filesets generates what all its records can.
void IP_INFO_CONVERTER::roll_up_filesets(std::size_t main, const SUB_IP_VERDICTS& verdicts, INFOS& out,
                                         std::size_t first)
{
    IPMAN_IP_INFO& record = out[main];
    if (!is_unspecific(record.const_supported_filesets())) return;
    FILESETS common = verdicts.fileset_union;
    for (std::size_t i = first; i < out.size(); ++i) {
        const FILESETS& filesets = out[i].const_supported_filesets();
        if (is_unspecific(filesets)) continue;
        FILESETS kept;
        std::set_intersection(common.begin(), common.end(), filesets.begin(), filesets.end(),
                              std::inserter(kept, kept.end()));
        common.swap(kept);
    }
    record.supported_filesets() = std::move(common);
}

//! The list a record of the variation belongs to. A variation whose main record needs an
//! upgrade takes all its records along into the required list; so does one whose main
//! record is merely out of date, into the optional list.
IPMAN_UPGRADE_LIST upgrade_list_of(const IPMAN_IP_INFO* main, const IPMAN_IP_INFO& info)
{
    if ((main && main->status_incompatible()) || info.status_incompatible())
        return IPMAN_UPGRADE_LIST::REQUIRED;
    if ((main && main->status_compatible_with_warning() && !main->is_eol()) ||
        (info.status_compatible_with_warning() && !info.is_eol()))
        return IPMAN_UPGRADE_LIST::OPTIONAL;
    return IPMAN_UPGRADE_LIST::NONE;
}

}  // namespace

std::size_t IPMAN_ACF_IP_COLLECTOR::count_entities() const
{
    std::size_t entities = 0;
    for (const IPMAN_COLLECTED_IP& variation : m_records)
        entities += variation.entities.size();
    return entities;
}

void IPMAN_ACF_IP_COLLECTOR::convert_variations(IPMAN_RECORD_ANALYSER& analyser,
                                                const IPMAN_RECORD_SINK& sink) const
{
    IP_INFO_CONVERTER converter(analyser, m_catalog);
    INFOS records;
    for (const IPMAN_COLLECTED_IP& variation : m_records) {
        records.clear();
        const std::optional<std::size_t> main = converter.convert(variation, records);
        const IPMAN_IP_INFO* main_record = main ? &records[*main] : nullptr;
        // The lists are decided before any record is handed on: the main record decides for all.
        std::vector<IPMAN_UPGRADE_LIST> lists;
        lists.reserve(records.size());
        for (const IPMAN_IP_INFO& info : records)
            lists.push_back(upgrade_list_of(main_record, info));
        for (std::size_t i = 0; i < records.size(); ++i)
            sink(std::move(records[i]), lists[i]);
    }
}

void IPMAN_ACF_IP_COLLECTOR::build_ip_info_lists(IPMAN_RECORD_ANALYSER& analyser, INFOS& all, INFOS& required,
                                                 INFOS& optional) const
{
    const std::size_t required_before = required.size();
    const std::size_t optional_before = optional.size();
    // At most one record per entity: growing the list once spares moving every record again.
    all.reserve(all.size() + count_entities());
    convert_variations(analyser, [&](IPMAN_IP_INFO&& info, IPMAN_UPGRADE_LIST list) {
        if (list == IPMAN_UPGRADE_LIST::REQUIRED) required.push_back(info);
        if (list == IPMAN_UPGRADE_LIST::OPTIONAL) optional.push_back(info);
        all.push_back(std::move(info));
    });
    ipman_debug(fmt::format("Built IP records of {} variations: {} required, {} optional", m_records.size(),
                            required.size() - required_before, optional.size() - optional_before));
}

bool IPMAN_ACF_IP_COLLECTOR::find_ip_info_by_name(IPMAN_RECORD_ANALYSER& analyser, const std::string& key,
                                                  const std::string& entity, const std::string& library,
                                                  IPMAN_IP_INFO& out) const
{
    const auto position = m_record_positions.find(key);
    if (position == m_record_positions.end()) return false;
    INFOS produced;
    const std::optional<std::size_t> main =
        IP_INFO_CONVERTER(analyser, m_catalog).convert(m_records[position->second], produced);
    if (main && produced[*main].entity() == entity && produced[*main].library() == library) {
        out = produced[*main];
        return true;
    }
    bool found = false;
    for (const IPMAN_IP_INFO& info : produced) {
        if (info.entity() != entity) continue;
        out = info;
        found = true;
        if (info.library() == library) break;
    }
    return found;
}

bool IPMAN_ACF_IP_COLLECTOR::load_ip_info_for_file(IPMAN_RECORD_ANALYSER& analyser, const std::string& path,
                                                   INFOS& all) const
{
    IP_INFO_CONVERTER converter(analyser, m_catalog);
    const std::string wanted = converter.full_path(path);
    if (wanted.empty()) return false;
    for (const IPMAN_COLLECTED_IP& variation : m_records) {
        if (converter.full_path(variation.main_file) == wanted)
            return converter.convert(variation, all).has_value();
    }
    return false;
}

void IPMAN_ACF_IP_COLLECTOR::load_ip_info_for_files(IPMAN_RECORD_ANALYSER& analyser,
                                                    const std::vector<std::string>& paths, INFOS& all,
                                                    std::vector<std::string>& not_loaded) const
{
    IP_INFO_CONVERTER converter(analyser, m_catalog);
    std::unordered_map<std::string, const IPMAN_COLLECTED_IP*> by_main_file;
    for (const IPMAN_COLLECTED_IP& variation : m_records) {
        const std::string main_file = converter.full_path(variation.main_file);
        if (!main_file.empty()) by_main_file.try_emplace(main_file, &variation);  // the first variation wins
    }
    for (const std::string& path : paths) {
        const auto variation = by_main_file.find(converter.full_path(path));
        if (variation == by_main_file.end() || !converter.convert(*variation->second, all))
            not_loaded.push_back(path);
    }
}
