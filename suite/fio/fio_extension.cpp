//! @file fio_extension.cpp
//! @brief Classification of files by their extension.
#include <fio/fio.h>

#include <string_view>

namespace {

struct EXTENSION_TYPE {
    std::string_view extension;  //!< lower case
    FIO_EXTENSION_TYPE type;
};

// Every file name of a load is classified, often several times: a short table compared in
// place costs no allocation.
constexpr EXTENSION_TYPE extension_types[] = {
    {"v", FIO_EXT_VERILOG},        {"vo", FIO_EXT_VERILOG}, {"vt", FIO_EXT_VERILOG},
    {"vhd", FIO_EXT_VHDL},         {"vhdl", FIO_EXT_VHDL},  {"vho", FIO_EXT_VHDL},
    {"sv", FIO_EXT_SYSTEMVERILOG}, {"vpf", FIO_EXT_VPF},    {"vsf", FIO_EXT_VSF},
    {"tcl", FIO_EXT_TCL},          {"vip", FIO_EXT_VIP},    {"tessel", FIO_EXT_TESSEL},
    {"gwip", FIO_EXT_GWIP},
};

bool equals_ignoring_ascii_case(std::string_view text, std::string_view lower)
{
    if (text.size() != lower.size()) return false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if ((c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c) != lower[i]) return false;
    }
    return true;
}

FIO_EXTENSION_TYPE type_of_extension(std::string_view extension)
{
    for (const EXTENSION_TYPE& entry : extension_types)
        if (equals_ignoring_ascii_case(extension, entry.extension)) return entry.type;
    return FIO_EXT_UNKNOWN;
}

}  // namespace

FIO_EXTENSION_TYPE fio_get_extension_type(const FIO_PATH& path)
{
    return type_of_extension(path.extension());
}

FIO_EXTENSION_TYPE fio_get_extension_type_of_text(std::string_view path)
{
    // The extension FIO_PATH finds: after the last dot of the last name, which neither starts
    // with that dot nor is made of dots only.
    const std::size_t last_separator = path.rfind(FIO_PATH::default_path_separator());
    const std::string_view name =
        last_separator == std::string_view::npos ? path : path.substr(last_separator + 1);
    const std::size_t dot = name.rfind('.');
    if (dot == std::string_view::npos || dot == 0 || name.find_first_not_of('.') == std::string_view::npos)
        return FIO_EXT_UNKNOWN;
    return type_of_extension(name.substr(dot + 1));
}

FIO_EXTENSION_TYPE fio_get_file_type(const FIO_PATH& path)
{
    return fio_get_extension_type(path);
}

bool fio_is_hdl_extension_type(FIO_EXTENSION_TYPE type)
{
    return type == FIO_EXT_VERILOG || type == FIO_EXT_VHDL || type == FIO_EXT_SYSTEMVERILOG;
}
