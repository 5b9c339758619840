//! @file ipdgen_port_diff.cpp
//! @brief Compares the ports of an old and a new file by name.
#include <ipdgen/ipdgen.h>
#include <ipdgen/ipdgen_lexer.h>

#include <map>

namespace {

//! The type a width belongs to: the text before the first range.
std::string type_part(const std::string& width)
{
    const std::size_t range = width.find_first_of("[(");
    std::string type = width.substr(0, range);
    while (!type.empty() && type.back() == ' ')
        type.pop_back();
    return type;
}

std::string describe(const IPDGEN_PORT& port)
{
    if (port.width.empty()) return port.direction;
    return port.direction.empty() ? port.width : port.direction + " " + port.width;
}

}  // namespace

std::vector<IPDGEN_PORT_CHANGE> ipdgen_compare_ports(const std::vector<IPDGEN_PORT>& old_ports,
                                                     const std::vector<IPDGEN_PORT>& new_ports,
                                                     bool ignore_case)
{
    const auto key = [ignore_case](const std::string& text) {
        return ignore_case ? ipdgen_lower(text) : text;
    };
    std::map<std::string, const IPDGEN_PORT*> old_by_name;
    for (const IPDGEN_PORT& port : old_ports)
        old_by_name.emplace(key(port.name), &port);
    std::map<std::string, bool> in_new;

    std::vector<IPDGEN_PORT_CHANGE> changes;
    for (const IPDGEN_PORT& port : new_ports) {
        in_new.emplace(key(port.name), true);
        const auto found = old_by_name.find(key(port.name));
        if (found == old_by_name.end()) {
            changes.push_back({port.name, "added", "", describe(port)});
            continue;
        }
        const IPDGEN_PORT& old_port = *found->second;
        if (old_port.direction != port.direction) {
            changes.push_back({port.name, "direction", old_port.direction, port.direction});
        }
        if (key(old_port.width) != key(port.width)) {
            const bool same_type = key(type_part(old_port.width)) == key(type_part(port.width));
            changes.push_back({port.name, same_type ? "width" : "type", old_port.width, port.width});
        }
    }
    for (const IPDGEN_PORT& port : old_ports) {
        if (in_new.count(key(port.name)) == 0) changes.push_back({port.name, "removed", describe(port), ""});
    }
    return changes;
}
