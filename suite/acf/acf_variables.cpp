//! @file acf_variables.cpp
//! @brief The table of assignment variables (names, traits, file categories) and the
//! input parameters that describe one assignment.
#include <acf/acf.h>

#include <gen/gen.h>

#include <algorithm>
#include <array>
#include <string_view>
#include <unordered_map>

namespace {

struct VARIABLE_INFO {
    ACF_VARIABLE_TYPE_ENUM type;
    const char* name;
    bool names_file;  //!< trait ACF_TRAIT_FILE
    bool on_off;      //!< trait ACF_TRAIT_ON_OFF
};

constexpr std::array<VARIABLE_INFO, 22> variable_table{{
    {ACF_VAR_VHDL_FILE, "VHDL_FILE", true, false},
    {ACF_VAR_VERILOG_FILE, "VERILOG_FILE", true, false},
    {ACF_VAR_SYSTEMVERILOG_FILE, "SYSTEMVERILOG_FILE", true, false},
    {ACF_VAR_VIP_FILE, "VIP_FILE", true, false},
    {ACF_VAR_TESSEL_FILE, "TESSEL_FILE", true, false},
    {ACF_VAR_GWIP_FILE, "GWIP_FILE", true, false},
    {ACF_VAR_IP_VARIATION_FILE, "IP_VARIATION_FILE", false, false},
    {ACF_VAR_IP_TARGET_FAMILIES, "IP_TARGET_FAMILIES", false, false},
    {ACF_VAR_IP_PARAMETER, "IP_PARAMETER", false, false},
    {ACF_VAR_IP_DEVICE_REQUIREMENT, "IP_DEVICE_REQUIREMENT", false, false},
    {ACF_VAR_IP_GENERATION_MODE, "IP_GENERATION_MODE", false, false},
    {ACF_VAR_IP_CORE_NAME, "IP_CORE_NAME", false, false},
    {ACF_VAR_IP_CORE_VERSION, "IP_CORE_VERSION", false, false},
    {ACF_VAR_IP_VENDOR, "IP_VENDOR", false, false},
    {ACF_VAR_IP_TOP_LEVEL_COMPONENT, "IP_TOP_LEVEL_COMPONENT", false, false},
    {ACF_VAR_IP_GENERATED_BY, "IP_GENERATED_BY", false, false},
    {ACF_VAR_NUM_PARALLEL_PROCESSORS, "NUM_PARALLEL_PROCESSORS", false, false},
    {ACF_VAR_PARALLEL_IP_GENERATION, "PARALLEL_IP_GENERATION", false, true},
    {ACF_VAR_ALWAYS_REGENERATE_IP, "ALWAYS_REGENERATE_IP", false, true},
    {ACF_VAR_FAMILY, "FAMILY", false, false},
    {ACF_VAR_DEVICE, "DEVICE", false, false},
    {ACF_VAR_TOP_LEVEL_ENTITY, "TOP_LEVEL_ENTITY", false, false},
}};

const VARIABLE_INFO* find_variable(ACF_VARIABLE_TYPE_ENUM type)
{
    const auto it = std::find_if(variable_table.begin(), variable_table.end(),
                                 [type](const VARIABLE_INFO& info) { return info.type == type; });
    return it == variable_table.end() ? nullptr : &*it;
}

}  // namespace

ACF_VARIABLE_TYPE_ENUM acf_variable_type_by_name(const std::string& name)
{
    // Every assignment read asks; nearly all write the name as the table does.
    static const std::unordered_map<std::string_view, ACF_VARIABLE_TYPE_ENUM> exact_names = [] {
        std::unordered_map<std::string_view, ACF_VARIABLE_TYPE_ENUM> names;
        for (const VARIABLE_INFO& info : variable_table)
            names.emplace(info.name, info.type);
        return names;
    }();
    const auto exact = exact_names.find(name);
    if (exact != exact_names.end()) return exact->second;
    const auto it = std::find_if(variable_table.begin(), variable_table.end(),
                                 [&name](const VARIABLE_INFO& info) { return gen_iequals(info.name, name); });
    return it == variable_table.end() ? ACF_VAR_UNKNOWN : it->type;
}

std::string acf_variable_name(ACF_VARIABLE_TYPE_ENUM type)
{
    const VARIABLE_INFO* info = find_variable(type);
    return info == nullptr ? std::string() : std::string(info->name);
}

bool acf_variable_has_trait(ACF_VARIABLE_TYPE_ENUM type, int trait)
{
    const VARIABLE_INFO* info = find_variable(type);
    if (info == nullptr) return false;
    switch (trait) {
    case ACF_TRAIT_FILE:
        return info->names_file;
    case ACF_TRAIT_ON_OFF:
        return info->on_off;
    default:
        return false;
    }
}

ACF_FILE_CATEGORY_ENUM acf_variable_file_category(ACF_VARIABLE_TYPE_ENUM type)
{
    // Files and the IP_ variables describing them belong to the design.
    const VARIABLE_INFO* info = find_variable(type);
    const bool design =
        info != nullptr && (info->names_file || std::string_view(info->name).substr(0, 3) == "IP_");
    return design ? ACF_FILE_CATEGORY_DESIGN : ACF_FILE_CATEGORY_PROJECT;
}

ACF_VARIABLE_TYPE_ENUM acf_fio_file_type_to_var_type(FIO_EXTENSION_TYPE type, bool systemverilog_as_verilog)
{
    switch (type) {
    case FIO_EXT_VERILOG:
        return ACF_VAR_VERILOG_FILE;
    case FIO_EXT_VHDL:
        return ACF_VAR_VHDL_FILE;
    case FIO_EXT_SYSTEMVERILOG:
        return systemverilog_as_verilog ? ACF_VAR_VERILOG_FILE : ACF_VAR_SYSTEMVERILOG_FILE;
    case FIO_EXT_VIP:
        return ACF_VAR_VIP_FILE;
    case FIO_EXT_TESSEL:
        return ACF_VAR_TESSEL_FILE;
    case FIO_EXT_GWIP:
        return ACF_VAR_GWIP_FILE;
    default:
        return ACF_VAR_UNKNOWN;
    }
}

ACF_SHARED_TEXT acf_shared_text(const std::string& text)
{
    return text.empty() ? nullptr : std::make_shared<const std::string>(text);
}

const std::string& acf_text_of(const ACF_SHARED_TEXT& text)
{
    static const std::string empty;
    return text ? *text : empty;
}

ACF_SHARED_SOURCE acf_shared_source(const std::string& home_file, const std::string& origin)
{
    if (home_file.empty() && origin.empty()) return nullptr;
    return std::make_shared<const ACF_ASSIGNMENT_SOURCE>(ACF_ASSIGNMENT_SOURCE{home_file, origin});
}

ACF_SHARED_TEXT ACF_TEXT_POOL::share(ACF_SHARED_TEXT text)
{
    if (!text) return text;
    const auto pooled = m_texts.try_emplace(*text, text).first;
    return pooled->second;
}

void ACF_MGR_INPUT_PARAMETERS::share_texts(ACF_TEXT_POOL& pool)
{
    m_entity = pool.share(std::move(m_entity));
    m_library = pool.share(std::move(m_library));
    m_name = pool.share(std::move(m_name));
}

const std::string& ACF_MGR_INPUT_PARAMETERS::get_home_file() const
{
    static const std::string none;
    return m_source ? m_source->home_file : none;
}

const std::string& ACF_MGR_INPUT_PARAMETERS::get_origin() const
{
    static const std::string none;
    return m_source ? m_source->origin : none;
}

std::string ACF_MGR_INPUT_PARAMETERS::get_variable_name() const
{
    const std::string known = acf_variable_name(get_variable_type());
    return known.empty() ? acf_text_of(m_name) : known;
}

void ACF_MGR_INPUT_PARAMETERS::set_value_enum(int value)
{
    if (value == ACF_VALUE_ON)
        m_value = "ON";
    else if (value == ACF_VALUE_OFF)
        m_value = "OFF";
    else
        m_value.clear();
}

int ACF_MGR_INPUT_PARAMETERS::get_value_enum() const
{
    if (gen_iequals(m_value, "ON")) return ACF_VALUE_ON;
    if (gen_iequals(m_value, "OFF")) return ACF_VALUE_OFF;
    return ACF_VALUE_NONE;
}
