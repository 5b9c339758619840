//! @file ipman_legacy_cores.h
//! @brief The installation's catalogue of legacy cores ($IP_ROOTDIR/legacy/legacy_cores.xml):
//! older product cores with their family parameter, legacy wizard cores, silent cores.
#pragma once

#include <memory>
#include <string>
#include <vector>

//! An older product core and the PRIVATE retrieval parameter that carries its device family.
struct IPMAN_LEGACY_PRODUCT_CORE {
    std::string core_name;         //!< as the wizard library reports it for the variation
    std::string family_parameter;  //!< empty: the product's files carry no family
};

//! The lists of one catalogue file. Every name compares exactly (case-sensitively).
class IPMAN_LEGACY_CORE_CATALOGUE {
public:
    //! File name of the catalogue inside the IP root's legacy/ directory.
    static constexpr const char* FILE_NAME = "legacy_cores.xml";

    //! Reads a catalogue file. A missing or broken file gives an empty catalogue; entries
    //! without a name are skipped. Both with a debug trace.
    static IPMAN_LEGACY_CORE_CATALOGUE read_file(const std::string& path);

    //! The catalogue of the current installation (gen_get_ip_root_path()), read once per IP
    //! root and shared; safe to call from any thread.
    static std::shared_ptr<const IPMAN_LEGACY_CORE_CATALOGUE> installed();

    const std::vector<IPMAN_LEGACY_PRODUCT_CORE>& get_product_cores() const { return m_products; }
    //! The product row of a core name; null when the core is no legacy product.
    const IPMAN_LEGACY_PRODUCT_CORE* find_product_core(const std::string& core_name) const;
    //! Lower-case names of the legacy wizard's primitive and library cores, in file order.
    const std::vector<std::string>& get_wizard_core_names() const { return m_wizard_cores; }
    //! Silent cores in their own spelling, in file order.
    const std::vector<std::string>& get_silent_core_names() const { return m_silent_cores; }
    bool is_silent_core(const std::string& name) const;

private:
    std::vector<IPMAN_LEGACY_PRODUCT_CORE> m_products;
    std::vector<std::string> m_wizard_cores;
    std::vector<std::string> m_silent_cores;
};

//! True when the installation lists the name, spelled exactly so, as a silent core: a legacy
//! wizard core that can be regenerated without the wizard's user interface.
bool is_legacy_silent_core(const std::string& name);

//! The installation's legacy wizard core names (lower case), for the regeneration
//! controller's own set.
std::vector<std::string> ipman_get_legacy_wizard_core_names();
