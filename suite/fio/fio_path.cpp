//! @file fio_path.cpp
//! @brief FIO_PATH: splitting, rebuilding, flattening and relating "/"-separated paths.
#include <fio/fio.h>

#include <algorithm>
#include <string_view>
#include <vector>

namespace {

constexpr char separator = '/';

//! The non-empty parts of a path between separators, as views into it.
std::vector<std::string_view> split_components(std::string_view path)
{
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    while (start < path.size()) {
        const std::size_t end = std::min(path.find(separator, start), path.size());
        if (end > start) parts.push_back(path.substr(start, end - start));
        start = end + 1;
    }
    return parts;
}

std::string join_components(const std::vector<std::string_view>& parts)
{
    std::string joined;
    for (const std::string_view part : parts) {
        if (!joined.empty()) joined += separator;
        joined += part;
    }
    return joined;
}

bool ends_with_separator(const std::string& path)
{
    return !path.empty() && path.back() == separator;
}

}  // namespace

FIO_PATH::FIO_PATH(const std::string& path)
{
    set(path);
}

FIO_PATH::FIO_PATH(const char* path)
{
    set(path == nullptr ? std::string() : std::string(path));
}

FIO_PATH::FIO_PATH(const std::string& directory, const std::string& filename)
{
    if (directory.empty() || ends_with_separator(directory))
        set(directory + filename);
    else
        set(directory + separator + filename);
}

void FIO_PATH::set(const std::string& path)
{
    const std::size_t last = path.rfind(separator);
    std::string_view name(path);
    if (last == std::string::npos) {
        m_directory.clear();
    } else {
        std::size_t end = last;
        while (end > 1 && path[end - 1] == separator)
            --end;
        if (end == 0)
            m_directory.assign(1, separator);
        else
            m_directory.assign(path, 0, end);
        name.remove_prefix(last + 1);
    }

    // A leading dot starts a hidden name, not an extension; "." and ".." have none either.
    const std::size_t dot = name.rfind('.');
    if (dot == std::string_view::npos || dot == 0 || name.find_first_not_of('.') == std::string_view::npos) {
        m_base.assign(name);
        m_extension.clear();
        m_has_dot = false;
    } else {
        m_base.assign(name.substr(0, dot));
        m_extension.assign(name.substr(dot + 1));
        m_has_dot = true;
    }
}

std::string FIO_PATH::fullpath() const
{
    std::string path;
    path.reserve(m_directory.size() + m_base.size() + m_extension.size() + 2);
    path += m_directory;
    if (!m_directory.empty() && !ends_with_separator(m_directory)) path += separator;
    path += m_base;
    if (m_has_dot || !m_extension.empty()) {
        path += '.';
        path += m_extension;
    }
    return path;
}

std::string FIO_PATH::directory() const
{
    return m_directory;
}

std::string FIO_PATH::full_directory() const
{
    if (m_directory.empty() || ends_with_separator(m_directory)) return m_directory;
    return m_directory + separator;
}

std::string FIO_PATH::filename() const
{
    return (m_has_dot || !m_extension.empty()) ? m_base + '.' + m_extension : m_base;
}

void FIO_PATH::filename(const std::string& name)
{
    set(full_directory() + name);
}

std::string FIO_PATH::base() const
{
    return m_base;
}

void FIO_PATH::base(const std::string& base_name)
{
    m_base = base_name;
}

std::string FIO_PATH::extension() const
{
    return m_extension;
}

void FIO_PATH::extension(const std::string& ext)
{
    m_extension = (!ext.empty() && ext.front() == '.') ? ext.substr(1) : ext;
    m_has_dot = !m_extension.empty();
}

bool FIO_PATH::relative() const
{
    // Only the directory can hold a separator, so only it can make the path absolute.
    return m_directory.empty() || m_directory.front() != separator;
}

FIO_PATH& FIO_PATH::flatten()
{
    const std::string path = fullpath();
    if (path.empty()) return *this;
    if (is_absolute_and_flat(path)) {
        set(path);  // as the general case leaves it: split afresh from its text
        return *this;
    }
    const bool absolute = path.front() == separator;

    // The kept parts joined by separators; climbing drops the last one. A relative path
    // cannot climb above its start, so its ".." parts stay, always in front.
    std::string kept;
    kept.reserve(path.size() + 1);
    std::size_t kept_parts = 0;
    std::size_t leading_climbs = 0;
    for (std::size_t start = 0; start < path.size();) {
        const std::size_t end = std::min(path.find(separator, start), path.size());
        const std::string_view part(path.data() + start, end - start);
        start = end + 1;
        if (part.empty() || part == ".") continue;
        if (part == "..") {
            if (kept_parts > leading_climbs) {
                const std::size_t last = kept.rfind(separator);
                kept.resize(last == std::string::npos ? 0 : last);
                --kept_parts;
                continue;
            }
            if (absolute) continue;  // an absolute path cannot rise above the root
            ++leading_climbs;
        }
        if (kept_parts++ > 0) kept += separator;
        kept += part;
    }

    std::string flat;
    flat.reserve(kept.size() + 2);
    if (absolute) flat += separator;
    flat += kept;
    if (!absolute && flat.empty()) flat = ".";
    if (ends_with_separator(path) && !ends_with_separator(flat)) flat += separator;
    set(flat);
    return *this;
}

bool FIO_PATH::is_absolute_and_flat(std::string_view path)
{
    if (path.empty() || path.front() != separator) return false;
    for (std::size_t start = 1; start < path.size();) {
        const std::size_t end = std::min(path.find(separator, start), path.size());
        const std::string_view part = path.substr(start, end - start);
        if (part.empty() || part == "." || part == "..") return false;
        start = end + 1;
    }
    return true;
}

FIO_PATH& FIO_PATH::become_absolute(const std::string& base_dir)
{
    if (empty()) return *this;
    if (relative()) {
        FIO_PATH anchor(base_dir.empty() ? FIO_FILE_SYSTEM::current_directory() : base_dir);
        if (anchor.relative() && !anchor.empty()) anchor.become_absolute();
        set(FIO_PATH(anchor.fullpath(), fullpath()).fullpath());
    }
    return flatten();
}

std::string FIO_PATH::get_relative_to(const std::string& dir) const
{
    FIO_PATH self(*this);
    self.become_absolute();
    const std::string target = self.fullpath();
    if (target.empty()) return {};
    FIO_PATH anchor(dir);
    anchor.become_absolute();

    const std::string anchor_path = anchor.fullpath();
    const std::vector<std::string_view> to = split_components(target);
    const std::vector<std::string_view> from = split_components(anchor_path);
    std::size_t common = 0;
    while (common < to.size() && common < from.size() && to[common] == from[common])
        ++common;

    std::vector<std::string_view> parts(from.size() - common, "..");
    parts.insert(parts.end(), to.begin() + static_cast<std::ptrdiff_t>(common), to.end());
    std::string relative_path = parts.empty() ? std::string(".") : join_components(parts);
    if (ends_with_separator(target)) relative_path += separator;
    return relative_path;
}
