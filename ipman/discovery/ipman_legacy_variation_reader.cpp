//! @file ipman_legacy_variation_reader.cpp
//! @brief Reading and rewriting retrieval-information lines. Variation files may turn out
//! to be anything, so lines are read bounded and every failure just leaves the family unknown.
#include "discovery/ipman_legacy_variation_reader.h"

#include "discovery/ipman_legacy_cores.h"
#include "support/ipman_debug.h"
#include "support/ipman_input_file.h"
#include "support/ipman_project.h"

#include <acf/acf.h>
#include <dev/dev.h>
#include <fio/fio.h>
#include <gen/gen.h>
#include <ipcatalog/ipcatalog.h>
#include <protect/protect.h>
#include <wizman/hdl_text_reader.h>
#include <wizman/wizman.h>

#include <fmt/format.h>
#include <tinyxml2.h>

#include <cctype>
#include <cstring>
#include <filesystem>
#include <optional>
#include <system_error>

namespace {

constexpr std::size_t kPrefixLength = sizeof IPMAN_VERILOG_RETRIEVAL_PREFIX - 1;
static_assert(kPrefixLength == sizeof IPMAN_VHDL_RETRIEVAL_PREFIX - 1, "both prefixes are read alike");

constexpr char kFamilyLineStart[] = "PRIVATE: INTENDED_DEVICE_FAMILY";
constexpr char kGenericStart[] = "<generic";
constexpr char kPrivateStart[] = "<PRIVATE";
constexpr char kDevicePrefix[] = "df_";

bool starts_with(const std::string& text, const char* prefix)
{
    return text.compare(0, std::strlen(prefix), prefix) == 0;
}

std::string trimmed(const std::string& text, const char* blanks)
{
    const auto first = text.find_first_not_of(blanks);
    if (first == std::string::npos) return "";
    return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

//! The trimmed text after a retrieval prefix of prefix_length characters (the prefix with or
//! without its trailing blank); nothing when the line does not start with a prefix.
std::optional<std::string> retrieval_payload(const std::string& line, std::size_t prefix_length,
                                             const char* blanks)
{
    static const std::string verilog = std::string(IPMAN_VERILOG_RETRIEVAL_PREFIX) + " ";
    static const std::string vhdl = std::string(IPMAN_VHDL_RETRIEVAL_PREFIX) + " ";
    if (line.compare(0, prefix_length, verilog, 0, prefix_length) != 0 &&
        line.compare(0, prefix_length, vhdl, 0, prefix_length) != 0)
        return std::nullopt;
    return trimmed(line.substr(prefix_length), blanks);
}

//! The "name" and "value" attributes of a one-element XML payload such as
//! <generic name="N" value="V"/>.
struct NAMED_VALUE {
    std::optional<std::string> name;
    std::string value;  //!< empty when the attribute is absent
};

//! Nothing when the payload does not parse or holds no element of that tag.
std::optional<NAMED_VALUE> parse_named_value(const std::string& payload, const char* tag)
{
    tinyxml2::XMLDocument document;
    if (document.Parse(payload.data(), payload.size()) != tinyxml2::XML_SUCCESS) return std::nullopt;
    const tinyxml2::XMLElement* element = document.FirstChildElement(tag);
    if (!element) return std::nullopt;
    NAMED_VALUE result;
    if (const char* name = element->Attribute("name")) result.name = name;
    if (const char* value = element->Attribute("value")) result.value = value;
    return result;
}

//! The text between the first double quote and the next one; nothing without such a pair.
std::optional<std::string> first_quoted_text(const std::string& text)
{
    const auto open = text.find('"');
    if (open == std::string::npos) return std::nullopt;
    const auto close = text.find('"', open + 1);
    if (close == std::string::npos) return std::nullopt;
    return text.substr(open + 1, close - open - 1);
}

//! True when the character can continue a tag name, so a tag found after it is only the
//! tail of a longer name.
bool continues_tag_name(char c)
{
    return std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '_' || c == '.' || c == ':';
}

//! Only regular files are read: opening a named pipe would wait for a writer forever.
bool is_regular_file(const std::string& path)
{
    std::error_code error;
    return !path.empty() && std::filesystem::is_regular_file(path, error);
}

//! A relative path is taken against the open project's directory.
std::string resolve_against_project(const std::string& path)
{
    FIO_PATH resolved(path);
    const ACF_MANAGER* project = ipman_open_project();
    if (!resolved.empty() && resolved.relative() && project != nullptr)
        resolved.become_absolute(project->get_project_path());
    return resolved.fullpath();
}

//! The lower-cased legacy family parameter of the first legacy card among the core's cards
//! and their matching cards; empty without a catalog or such a card.
std::string legacy_family_parameter_of(const IPCATALOG_VORLIN_IP_CATALOG_MANAGER* catalog,
                                       const std::string& core_name)
{
    if (!catalog) return "";
    // Card pointers stay valid only while the catalog is locked.
    IPCATALOG_SCOPED_READ_WRITE_MUTEX lock(catalog);
    std::vector<const IPCATALOG_CARD*> cards;
    for (const IPCATALOG_CARD* card : catalog->get_ip_cards_by_name(core_name)) {
        cards.push_back(card);
        const auto& matching = card->get_matching_ip_cards();
        cards.insert(cards.end(), matching.begin(), matching.end());
    }
    for (const IPCATALOG_CARD* card : cards)
        if (card && card->get_ip_type() == IPCATALOG_IP_TYPE_LEGACY &&
            !card->get_legacy_iputf_family_parameter().empty())
            return gen_ascii_tolower(card->get_legacy_iputf_family_parameter());
    return "";
}

bool is_retrieval_line(const std::string& line)
{
    return line.compare(0, kPrefixLength, IPMAN_VERILOG_RETRIEVAL_PREFIX) == 0 ||
           line.compare(0, kPrefixLength, IPMAN_VHDL_RETRIEVAL_PREFIX) == 0;
}

//! The retrieval lines of the file: those of text when it is the reading of path, else
//! read now.
//! Whether text is the content of the file at path, read already.
bool is_text_of(const IPMAN_LEGACY_FILE_TEXT* text, const std::string& path)
{
    return text != nullptr && text->path == path;
}

std::vector<std::string> retrieval_lines_of(const std::string& path, const IPMAN_LEGACY_FILE_TEXT* text)
{
    if (is_text_of(text, path)) return text->retrieval_lines;
    std::vector<std::string> lines;
    HDL_TEXT_READER reader(path);
    for (std::string line; reader.next_line(line);)
        if (is_retrieval_line(line)) lines.push_back(line);
    return lines;
}

//! The family text of a variation file: the first device-family line, or the first generic
//! line naming the family parameter with a non-empty value, decides.
std::string retrieval_family_text(const std::vector<std::string>& lines, const std::string& family_parameter)
{
    std::string family_text;
    for (const std::string& line : lines) {
        const auto payload = retrieval_payload(line, kPrefixLength, " \t\r\n");
        if (!payload) continue;
        if (starts_with(*payload, kFamilyLineStart)) {
            if (auto quoted = first_quoted_text(*payload)) family_text = *quoted;
            break;
        }
        if (family_parameter.empty() || !starts_with(*payload, kGenericStart)) continue;
        const auto generic = parse_named_value(*payload, "generic");
        if (generic && generic->name && gen_ascii_tolower(*generic->name) == family_parameter) {
            family_text = generic->value;
            if (!family_text.empty()) break;
        }
    }
    return family_text;
}

//! Product values name the family as "df_" and its upper-cased internal name.
std::string product_family_text(std::string value)
{
    if (value.compare(0, sizeof kDevicePrefix - 1, kDevicePrefix) == 0)
        value = gen_ascii_tolower(value.substr(sizeof kDevicePrefix - 1));
    return value;
}

//! The value of the first PRIVATE line naming the parameter; nothing when none does.
std::optional<std::string> product_family_value(const std::vector<std::string>& lines,
                                                const std::string& parameter)
{
    for (const std::string& line : lines) {
        const auto payload = retrieval_payload(line, kPrefixLength + 1, " \t");
        if (!payload || !starts_with(*payload, kPrivateStart)) continue;
        const auto element = parse_named_value(*payload, "PRIVATE");
        if (element && element->name && *element->name == parameter) return element->value;
    }
    return std::nullopt;
}

//! The input with every device-family line naming family_text. Every line ends with a line
//! feed; a rewritten line keeps the carriage return of a CR/LF file.
std::string with_family_lines_replaced(const std::string& input, const std::string& family_text)
{
    const std::string verilog_line =
        std::string(IPMAN_VERILOG_RETRIEVAL_PREFIX) + " " + IPMAN_DEVICE_FAMILY_PAYLOAD;
    const std::string vhdl_line =
        std::string(IPMAN_VHDL_RETRIEVAL_PREFIX) + " " + IPMAN_DEVICE_FAMILY_PAYLOAD;
    std::string output;
    output.reserve(input.size() + 64);
    std::size_t start = 0;
    while (start < input.size()) {
        const auto end = input.find('\n', start);
        const auto length = (end == std::string::npos ? input.size() : end) - start;
        const std::string line = input.substr(start, length);
        start += length + 1;
        const std::string* family_line = starts_with(line, verilog_line.c_str()) ? &verilog_line
                                         : starts_with(line, vhdl_line.c_str())  ? &vhdl_line
                                                                                 : nullptr;
        if (!family_line) {
            output += line;
        } else {
            output += fmt::format("{} \"{}\"", *family_line, family_text);
            if (!line.empty() && line.back() == '\r') output += '\r';
        }
        output += '\n';
    }
    return output;
}

//! The family text the rewrite writes: the open project's real family, else nothing.
std::optional<std::string> project_family_text()
{
    const ACF_MANAGER* project = ipman_open_project();
    if (project == nullptr) return std::nullopt;
    const DEV_FAMILY_ENUM family = project->get_project_family_enum();
    if (family == DEV_FAMILY_NONE || family == DEV_FAMILY_DEVICE_AGNOSTIC) return std::nullopt;
    std::string text = dstr_get_user_string(family);
    if (text.empty()) return std::nullopt;
    return text;
}

}  // namespace

// A file the reader refuses for its size is the one the input check names as too large.
static_assert(IPMAN_MAX_HDL_FILE_SIZE == HDL_TEXT_READER::MAX_FILE_SIZE, "one bound for variation files");

IPMAN_LEGACY_FILE_TEXT ipman_read_legacy_file(const std::string& path)
{
    IPMAN_LEGACY_FILE_TEXT text;
    text.path = path;
    HDL_TEXT_READER reader(path);
    text.readable = reader.is_open();
    for (std::string line; reader.next_line(line);) {
        if (!text.encrypted && cpt_opens_protected_envelope(line)) text.encrypted = true;
        if (!text.generated_by_wizard && reader.line_number() <= WIZMAN_GENERATED_BY_LINE_LIMIT)
            text.generated_by_wizard =
                wizman_parse_generated_by_line(line, text.core_name, text.core_version);
        if (is_retrieval_line(line)) text.retrieval_lines.push_back(line);
    }
    return text;
}

void read_retrieval_info_family(const IPCATALOG_VORLIN_IP_CATALOG_MANAGER* catalog,
                                const std::string& core_name, const std::string& main_file,
                                std::vector<DEV_FAMILY_ENUM>& supported_families,
                                const IPMAN_LEGACY_FILE_TEXT* text)
{
    const std::string family_parameter = legacy_family_parameter_of(catalog, core_name);
    const std::string path = resolve_against_project(main_file);
    // A text already read came from a regular file; only an unread file is checked first.
    if (!is_text_of(text, path) && !is_regular_file(path)) return;
    const std::string family_text = retrieval_family_text(retrieval_lines_of(path, text), family_parameter);
    if (family_text.empty()) return;
    const DEV_FAMILY_ENUM family = dstr_get_dev_family_enum_by_string(family_text);
    if (family == DEV_FAMILY_NONE) {
        ipman_debug(fmt::format("Legacy variation {}: unknown device family \"{}\"", path, family_text));
        return;
    }
    supported_families.push_back(family);
}

bool read_legacy_product_family(const std::string& path, const std::string& core_name,
                                DEV_FAMILY_ENUM& family, const IPMAN_LEGACY_FILE_TEXT* text)
{
    const auto catalogue = IPMAN_LEGACY_CORE_CATALOGUE::installed();
    const IPMAN_LEGACY_PRODUCT_CORE* product = catalogue->find_product_core(core_name);
    if (!product) return false;
    const std::string full_path = resolve_against_project(path);
    const bool read_already = is_text_of(text, full_path);
    if (!read_already && (full_path.empty() || !FIO_FILE_SYSTEM::exists(full_path))) return false;
    if (product->family_parameter.empty()) {
        family = DEV_FAMILY_NONE;
        return true;
    }
    if (!read_already && !is_regular_file(full_path)) return false;
    const auto value = product_family_value(retrieval_lines_of(full_path, text), product->family_parameter);
    if (!value) return false;
    const std::string family_text = product_family_text(*value);
    const DEV_FAMILY_ENUM found = dstr_get_dev_family_enum_by_string(family_text);
    // An unknown value determines nothing: the families the project assigned stay.
    if (found == DEV_FAMILY_NONE) {
        ipman_debug(
            fmt::format("Legacy product variation {}: unknown device family \"{}\"", full_path, family_text));
        return false;
    }
    family = found;
    return true;
}

bool rewrite_device_family_lines(const std::string& core_name, const std::string& input_path,
                                 const std::string& output_path)
{
    const auto family_text = project_family_text();
    if (!family_text || !is_legacy_silent_core(core_name)) return false;
    const std::string input_file = resolve_against_project(input_path);
    const std::string output_file = resolve_against_project(output_path);
    // Read whole before writing: the output may be the input itself.
    std::string input;
    if (!FIO_FILE_SYSTEM::read_file(input_file, input, IPMAN_MAX_HDL_FILE_SIZE)) {
        ipman_debug(
            fmt::format("Device-family rewrite: cannot read {}; {} left as it was", input_file, output_file));
        return false;
    }
    if (!FIO_FILE_SYSTEM::write_file_atomically(output_file,
                                                with_family_lines_replaced(input, *family_text))) {
        ipman_debug(fmt::format("Device-family rewrite: cannot write {}; left as it was", output_file));
        return false;
    }
    return true;
}

std::string ipman_retrieval_info_tag_value(const std::string& line, const std::string& tag)
{
    const std::string opening = tag + "=\"";
    std::size_t found = line.find(opening);
    while (found != std::string::npos && found > 0 && continues_tag_name(line[found - 1]))
        found = line.find(opening, found + 1);
    if (found == std::string::npos) return "";
    const std::size_t value = found + opening.size();
    const std::size_t closing = line.find('"', value);
    return line.substr(value, closing == std::string::npos ? std::string::npos : closing - value);
}
