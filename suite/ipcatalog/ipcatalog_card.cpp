//! @file ipcatalog_card.cpp
//! @brief Questions to one card and to the outdated information of one IP name.
#include <ipcatalog/ipcatalog.h>

#include <algorithm>

bool IPCATALOG_CARD::supports_family(DEV_FAMILY_ENUM family) const
{
    return family == DEV_FAMILY_DEVICE_AGNOSTIC || m_families.empty() ||
           std::find(m_families.begin(), m_families.end(), DEV_FAMILY_DEVICE_AGNOSTIC) != m_families.end() ||
           std::find(m_families.begin(), m_families.end(), family) != m_families.end();
}

namespace {

//! An entry limited to one family applies to that family only; 78 on the entry applies to all.
bool family_applies(DEV_FAMILY_ENUM entry_family, DEV_FAMILY_ENUM family)
{
    return entry_family == DEV_FAMILY_DEVICE_AGNOSTIC || entry_family == family;
}

}  // namespace

bool IPCATALOG_OUTDATED_IP_INFO::is_eol(const IPVX_VERSION& version, DEV_FAMILY_ENUM family) const
{
    if (!version.is_valid()) return false;
    return std::any_of(m_eols.begin(), m_eols.end(), [&](const VERSIONED_TEXT& eol) {
        return (eol.all_versions || version <= eol.version) && family_applies(eol.family, family);
    });
}

bool IPCATALOG_OUTDATED_IP_INFO::is_invalid(const IPVX_VERSION& version, DEV_FAMILY_ENUM ip_family,
                                            DEV_FAMILY_ENUM project_family) const
{
    return std::any_of(m_invalids.begin(), m_invalids.end(), [&](const VERSIONED_TEXT& invalid) {
        const bool version_matches =
            invalid.all_versions || (version.is_valid() && version == invalid.version);
        return version_matches && family_applies(invalid.family, ip_family) &&
               family_applies(invalid.project_family, project_family);
    });
}

std::vector<std::string> IPCATALOG_OUTDATED_IP_INFO::get_upgrade_descriptions(
    const IPVX_VERSION& version, const IPVX_VERSION& target_version, const std::string& target_name,
    DEV_FAMILY_ENUM ip_family, DEV_FAMILY_ENUM project_family) const
{
    std::vector<std::string> texts;
    // A variation already at the target of its own name is not upgraded: nothing to describe.
    if (target_name == m_ip_name && !(version < target_version)) return texts;
    for (const VERSIONED_TEXT& upgrade : m_upgrades)
        if ((upgrade.target.empty() || upgrade.target == target_name) &&
            family_applies(upgrade.family, ip_family) &&
            family_applies(upgrade.project_family, project_family) && !upgrade.text.empty())
            texts.push_back(upgrade.text);
    return texts;
}

namespace {

//! Entries with version < entry <= target_version that pass the filter, oldest first.
template <typename ENTRY, typename FILTER>
std::vector<std::string> texts_between(const std::vector<ENTRY>& entries, const IPVX_VERSION& version,
                                       const IPVX_VERSION& target_version, FILTER accepts)
{
    std::vector<const ENTRY*> selected;
    for (const ENTRY& entry : entries)
        if (version < entry.version && entry.version <= target_version && accepts(entry) &&
            !entry.text.empty())
            selected.push_back(&entry);
    std::stable_sort(selected.begin(), selected.end(),
                     [](const ENTRY* a, const ENTRY* b) { return a->version < b->version; });
    std::vector<std::string> texts;
    for (const ENTRY* entry : selected)
        texts.push_back(entry->text);
    return texts;
}

}  // namespace

std::vector<std::string>
IPCATALOG_OUTDATED_IP_INFO::get_release_descriptions(const IPVX_VERSION& version,
                                                     const IPVX_VERSION& target_version) const
{
    return texts_between(m_releases, version, target_version, [](const VERSIONED_TEXT&) { return true; });
}

std::vector<std::string> IPCATALOG_OUTDATED_IP_INFO::get_upgrade_changes(const IPVX_VERSION& version,
                                                                         const IPVX_VERSION& target_version,
                                                                         const std::string& target_name,
                                                                         DEV_FAMILY_ENUM ip_family,
                                                                         DEV_FAMILY_ENUM project_family) const
{
    return texts_between(m_changes, version, target_version, [&](const VERSIONED_TEXT& change) {
        return (change.target.empty() || change.target == target_name) &&
               family_applies(change.family, ip_family) &&
               family_applies(change.project_family, project_family);
    });
}
