//! @file hdb_netlist.cpp
//! @brief Reading the elaborator's JSON netlist and building the instance tree from it.
#include "hdb_netlist.h"

#include <fio/fio.h>

#include <boost/property_tree/json_parser.hpp>
#include <boost/property_tree/ptree.hpp>
#include <fmt/format.h>

#include <cctype>
#include <sstream>
#include <stdexcept>
#include <utility>

namespace {

using PTREE = boost::property_tree::ptree;

//! The child under a key; keys are compared whole (netlist names may hold dots).
const PTREE* child(const PTREE& tree, const char* key)
{
    const auto found = tree.find(key);
    return found == tree.not_found() ? nullptr : &found->second;
}

std::string text_of(const PTREE& tree, const char* key)
{
    const PTREE* value = child(tree, key);
    return value ? value->data() : std::string();
}

//! Names written as escaped identifiers carry their backslash in attributes.
std::string unescaped(const std::string& name)
{
    return !name.empty() && name.front() == '\\' ? name.substr(1) : name;
}

HDB_NETLIST_MODULE read_module(const std::string& name, const PTREE& module)
{
    HDB_NETLIST_MODULE result;
    const PTREE* attributes = child(module, "attributes");
    const std::string written_name = attributes ? unescaped(text_of(*attributes, "hdlname")) : std::string();
    result.unit_name = written_name.empty() ? unescaped(name) : written_name;
    if (attributes) result.src_file = hdb_src_file(text_of(*attributes, "src"));
    if (const PTREE* cells = child(module, "cells"))
        for (const auto& [cell_name, cell] : *cells)
            result.cells.push_back({cell_name, text_of(cell, "type")});
    return result;
}

//! Whether objects and arrays nest at most max_depth deep: the JSON reader descends
//! recursively, so a deeper text could exhaust the stack.
bool nesting_within(const std::string& text, std::size_t max_depth)
{
    std::size_t depth = 0;
    bool in_string = false;
    for (std::size_t at = 0; at < text.size(); ++at) {
        const char c = text[at];
        if (in_string) {
            if (c == '\\')
                ++at;
            else if (c == '"')
                in_string = false;
        } else if (c == '"') {
            in_string = true;
        } else if (c == '{' || c == '[') {
            if (++depth > max_depth) return false;
        } else if ((c == '}' || c == ']') && depth > 0) {
            --depth;
        }
    }
    return true;
}

//! Each module's file, units registered under their written names.
class DESIGN_BUILDER {
public:
    DESIGN_BUILDER(const HDB_NETLIST& netlist, const HDB_DESIGN_SOURCES& sources)
        : m_netlist(netlist), m_sources(sources), m_design(std::make_unique<HDB_DESIGN>())
    {
    }

    std::unique_ptr<HDB_DESIGN> build(const std::string& top, std::string& error)
    {
        add_project_files();
        for (const auto& [name, module] : m_netlist)
            m_module_files[name] = source_file_of(module);
        for (const auto& [name, module] : m_netlist)
            m_design->get_namespace()->add_unit(module.unit_name, m_module_files[name]);
        flag_wrappers();
        if (!build_tree(top, error)) return nullptr;
        return std::move(m_design);
    }

private:
    void add_project_files()
    {
        for (const HDB_INPUT_FILE& file : m_sources.files) {
            HDB_SOURCE_FILE* added = m_design->add_source_file(file.path, file.group_key);
            if (m_sources.protected_files.count(file.path)) added->set_flag(HDB_FILE_PROTECTED);
        }
    }

    HDB_SOURCE_FILE* source_file_of(const HDB_NETLIST_MODULE& module)
    {
        if (module.src_file.empty()) return nullptr;
        std::string path =
            FIO_PATH(module.src_file).become_absolute(m_sources.elaboration_directory).fullpath();
        const auto stand_in = m_sources.black_box_files.find(path);
        if (stand_in != m_sources.black_box_files.end()) path = stand_in->second;
        if (HDB_SOURCE_FILE* file = m_design->find_source_file(path)) return file;
        // Declared in a file the project does not assign, such as an included one.
        HDB_SOURCE_FILE* file = m_design->add_source_file(path, std::string());
        file->set_flag(HDB_FILE_NOT_CONSIDERED);
        return file;
    }

    bool is_protected(const std::string& module) const
    {
        const auto file = m_module_files.find(module);
        return file != m_module_files.end() && file->second && file->second->test_flag(HDB_FILE_PROTECTED);
    }

    //! The protected module the module does nothing but instantiate once; empty otherwise.
    std::string wrapped_module(const std::string& name, const HDB_NETLIST_MODULE& module) const
    {
        if (is_protected(name) || module.cells.size() != 1) return {};
        const std::string& type = module.cells.front().type;
        return m_netlist.count(type) && is_protected(type) ? type : std::string();
    }

    //! A project file is a wrapper when each of its modules wraps one protected instance.
    void flag_wrappers()
    {
        std::map<HDB_SOURCE_FILE*, std::vector<std::string>> wrapped_by_file;
        std::set<HDB_SOURCE_FILE*> not_wrappers;
        for (const auto& [name, module] : m_netlist) {
            HDB_SOURCE_FILE* file = m_module_files[name];
            if (file == nullptr || file->test_flag(HDB_FILE_NOT_CONSIDERED)) continue;
            const std::string wrapped = wrapped_module(name, module);
            if (wrapped.empty())
                not_wrappers.insert(file);
            else
                wrapped_by_file[file].push_back(wrapped);
        }
        for (const auto& [file, wrapped] : wrapped_by_file) {
            if (not_wrappers.count(file)) continue;
            file->set_flag(HDB_FILE_WRAPPER);
            for (const std::string& module : wrapped)
                m_module_files[module]->set_flag(HDB_FILE_PROTECTED_BEHIND_WRAPPER);
        }
    }

    bool build_tree(const std::string& top, std::string& error)
    {
        const auto root_module = m_netlist.find(top);
        if (root_module == m_netlist.end()) {
            error = fmt::format("ERROR: The elaborated design has no top-level module {}", top);
            return false;
        }
        if (const std::string looped = module_within_itself(top); !looped.empty()) {
            error = fmt::format("ERROR: The elaborated design instantiates module {} within itself",
                                m_netlist.at(looped).unit_name);
            return false;
        }
        // Depth first with an explicit stack: a deep hierarchy must not exhaust the call stack.
        std::vector<std::pair<HDB_INSTANCE_NAME*, const HDB_NETLIST_MODULE*>> pending;
        pending.emplace_back(m_design->add_instance(top, root_module->second.unit_name, nullptr),
                             &root_module->second);
        while (!pending.empty()) {
            const auto [instance, module] = pending.back();
            pending.pop_back();
            for (const HDB_NETLIST_CELL& cell : module->cells) {
                const auto type = m_netlist.find(cell.type);
                if (type == m_netlist.end()) continue;  // a primitive, or a module the design lacks
                if (m_design->instance_count() >= HDB_MAX_INSTANCES) {
                    error = fmt::format("ERROR: The design has more than {} instances; it is not kept",
                                        HDB_MAX_INSTANCES);
                    return false;
                }
                pending.emplace_back(m_design->add_instance(cell.name, type->second.unit_name, instance),
                                     &type->second);
            }
        }
        return true;
    }

    //! A module below top that instantiates itself, directly or further down; empty if none.
    //! Found over the modules, not the instances, so a looping netlist is refused at once
    //! instead of being expanded up to the instance limit.
    std::string module_within_itself(const std::string& top) const
    {
        enum class STATE { ON_PATH, DONE };
        std::map<std::string, STATE> state;
        // Each frame is a module and the index of its next cell to visit.
        std::vector<std::pair<const std::string*, std::size_t>> path;
        const auto enter = [&](const std::string& name) {
            state[name] = STATE::ON_PATH;
            path.emplace_back(&name, 0);
        };
        enter(m_netlist.find(top)->first);
        while (!path.empty()) {
            auto& [name, next_cell] = path.back();
            const std::vector<HDB_NETLIST_CELL>& cells = m_netlist.at(*name).cells;
            if (next_cell == cells.size()) {
                state[*name] = STATE::DONE;
                path.pop_back();
                continue;
            }
            const auto type = m_netlist.find(cells[next_cell++].type);
            if (type == m_netlist.end()) continue;
            const auto seen = state.find(type->first);
            if (seen == state.end())
                enter(type->first);
            else if (seen->second == STATE::ON_PATH)
                return type->first;
        }
        return {};
    }

    const HDB_NETLIST& m_netlist;
    const HDB_DESIGN_SOURCES& m_sources;
    std::unique_ptr<HDB_DESIGN> m_design;
    std::map<std::string, HDB_SOURCE_FILE*> m_module_files;
};

}  // namespace

HDB_NETLIST hdb_read_netlist(const std::string& json_text)
{
    if (!nesting_within(json_text, HDB_MAX_NETLIST_NESTING))
        throw std::runtime_error(
            fmt::format("the netlist nests deeper than {} levels", HDB_MAX_NETLIST_NESTING));
    PTREE tree;
    std::istringstream in(json_text);
    try {
        boost::property_tree::read_json(in, tree);
    } catch (const boost::property_tree::json_parser_error& e) {
        throw std::runtime_error(
            fmt::format("the netlist is not valid JSON (line {}: {})", e.line(), e.message()));
    }
    const PTREE* modules = child(tree, "modules");
    if (modules == nullptr) throw std::runtime_error("the netlist has no modules");
    HDB_NETLIST netlist;
    for (const auto& [name, module] : *modules)
        netlist.emplace(name, read_module(name, module));
    return netlist;
}

std::string hdb_src_file(const std::string& src)
{
    std::string file = src.substr(0, src.find('|'));
    const std::size_t colon = file.rfind(':');
    if (colon != std::string::npos && colon + 1 < file.size() &&
        std::isdigit(static_cast<unsigned char>(file[colon + 1])))
        file.erase(colon);
    return file;
}

std::unique_ptr<HDB_DESIGN> hdb_build_design(const HDB_NETLIST& netlist, const std::string& top,
                                             const HDB_DESIGN_SOURCES& sources, std::string& error)
{
    return DESIGN_BUILDER(netlist, sources).build(top, error);
}
