//! @file atcl_cmd.cpp
//! @brief Command objects: option look-ups over a definition's table, usage and help texts.
#include <atcl/atcl.h>

#include <fmt/format.h>

#include <cstring>

namespace {

bool is_positional(const ATCL_OPTION_ENTRY& entry)
{
    return (entry.flags & ATCL_OPTION_POSITIONAL) != 0;
}

bool is_optional(const ATCL_OPTION_ENTRY& entry)
{
    return (entry.flags & ATCL_OPTION_OPTIONAL) != 0;
}

//! The three help options every command has: their names and what each shows.
struct HELP_OPTION {
    uint32_t option;
    const char* name;
    const char* description;
};
constexpr HELP_OPTION HELP_OPTIONS[] = {
    {ATCL_HELP_SHORT, "h", "Shows the usage line."},
    {ATCL_HELP_NORMAL, "help", "Shows the usage and the option descriptions."},
    {ATCL_HELP_LONG, "long_help", "Shows the usage, the option descriptions and the details."},
};

const HELP_OPTION* find_help_option(uint32_t option)
{
    for (const HELP_OPTION& help : HELP_OPTIONS)
        if (help.option == option) return &help;
    return nullptr;
}

const char* default_help_description(uint32_t option)
{
    const HELP_OPTION* help = find_help_option(option);
    return help != nullptr ? help->description : "";
}

}  // namespace

ATCL_CMD::ATCL_CMD(const ATCL_CMD_DEFINITION& definition, const ATCL_CMD_HELP* help)
    : m_definition(definition), m_help(help)
{
    for (const ATCL_OPTION_ENTRY* entry = definition.options; entry && entry->option != 0; ++entry) {
        (is_positional(*entry) ? m_positional : m_named).push_back(entry);
    }
}

const ATCL_OPTION_ENTRY* ATCL_CMD::find_option(uint32_t option) const
{
    for (const ATCL_OPTION_ENTRY* entry = m_definition.options; entry && entry->option != 0; ++entry) {
        if (entry->option == option) return entry;
    }
    return nullptr;
}

std::string ATCL_CMD::option_name(uint32_t option) const
{
    const char* name =
        m_definition.option_name ? m_definition.option_name(static_cast<int>(option)) : nullptr;
    return name ? name : fmt::format("option{}", option);
}

std::string ATCL_CMD::option_synopsis(const ATCL_OPTION_ENTRY& entry) const
{
    const std::string name = option_name(entry.option);
    if (is_positional(entry)) return "<" + name + ">";
    return entry.takes_value ? fmt::format("-{} <{}>", name, name) : "-" + name;
}

std::string ATCL_CMD::usage_line() const
{
    std::string line = fmt::format("Usage: {} [-{} | -{} | -{}]", get_name(), option_name(ATCL_HELP_SHORT),
                                   option_name(ATCL_HELP_NORMAL), option_name(ATCL_HELP_LONG));
    auto append = [&](const ATCL_OPTION_ENTRY* entry) {
        const std::string synopsis = option_synopsis(*entry);
        line += is_optional(*entry) ? " [" + synopsis + "]" : " " + synopsis;
    };
    for (const ATCL_OPTION_ENTRY* entry : m_named)
        append(entry);
    for (const ATCL_OPTION_ENTRY* entry : m_positional)
        append(entry);
    return line;
}

const char* ATCL_CMD::option_description(uint32_t option) const
{
    if (m_help && m_help->options) {
        for (const ATCL_OPTION_HELP* row = m_help->options; row->option != 0; ++row) {
            if (row->option == option && row->description) return row->description;
        }
    }
    return default_help_description(option);
}

std::string ATCL_CMD::help_text(bool long_help) const
{
    std::string text = usage_line() + "\n";
    if (m_help && m_help->summary) text += fmt::format("\n{}\n", m_help->summary);

    std::vector<std::pair<std::string, std::string>> rows;
    for (uint32_t help : {ATCL_HELP_SHORT, ATCL_HELP_NORMAL, ATCL_HELP_LONG}) {
        rows.emplace_back("-" + option_name(help), option_description(help));
    }
    for (const ATCL_OPTION_ENTRY* entry : m_named) {
        rows.emplace_back(option_synopsis(*entry), option_description(entry->option));
    }
    for (const ATCL_OPTION_ENTRY* entry : m_positional) {
        rows.emplace_back(option_synopsis(*entry), option_description(entry->option));
    }
    std::size_t width = 0;
    for (const auto& row : rows)
        width = std::max(width, row.first.size());

    text += "\nOptions:\n";
    for (const auto& row : rows)
        text += fmt::format("  {:<{}}  {}\n", row.first, width, row.second);
    if (long_help && m_help && m_help->details) text += fmt::format("\n{}\n", m_help->details);
    return text;
}

const char* atcl_help_option_name(int option)
{
    const HELP_OPTION* help = option < 0 ? nullptr : find_help_option(static_cast<uint32_t>(option));
    return help != nullptr ? help->name : nullptr;
}

int atcl_resolve_option_by_prefix(const char* word, ATCL_OPTION_NAME_FN option_name,
                                  const ATCL_OPTION_ENTRY* options)
{
    if (!word || !*word || !option_name) return 0;
    std::vector<uint32_t> candidates = {ATCL_HELP_SHORT, ATCL_HELP_NORMAL, ATCL_HELP_LONG};
    for (const ATCL_OPTION_ENTRY* entry = options; entry && entry->option != 0; ++entry) {
        if (!is_positional(*entry)) candidates.push_back(entry->option);
    }
    const std::size_t length = std::strlen(word);
    int match = 0;
    int prefix_matches = 0;
    for (uint32_t option : candidates) {
        const char* name = option_name(static_cast<int>(option));
        if (!name) continue;
        if (std::strcmp(name, word) == 0) return static_cast<int>(option);
        if (std::strncmp(name, word, length) == 0) {
            match = static_cast<int>(option);
            ++prefix_matches;
        }
    }
    return prefix_matches == 1 ? match : 0;
}
