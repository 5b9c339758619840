//! @file fio_extension.cpp
//! @brief Classification of files by their extension.
#include <fio/fio.h>

#include <gen/gen.h>

#include <map>

namespace {

const std::map<std::string, FIO_EXTENSION_TYPE>& extension_table()
{
    static const std::map<std::string, FIO_EXTENSION_TYPE> table = {
        {"v", FIO_EXT_VERILOG},        {"vo", FIO_EXT_VERILOG}, {"vt", FIO_EXT_VERILOG},
        {"vhd", FIO_EXT_VHDL},         {"vhdl", FIO_EXT_VHDL},  {"vho", FIO_EXT_VHDL},
        {"sv", FIO_EXT_SYSTEMVERILOG}, {"vpf", FIO_EXT_VPF},    {"vsf", FIO_EXT_VSF},
        {"tcl", FIO_EXT_TCL},          {"vip", FIO_EXT_VIP},    {"tessel", FIO_EXT_TESSEL},
        {"gwip", FIO_EXT_GWIP},
    };
    return table;
}

}  // namespace

FIO_EXTENSION_TYPE fio_get_extension_type(const FIO_PATH& path)
{
    const auto& table = extension_table();
    const auto found = table.find(gen_ascii_tolower(path.extension()));
    return found == table.end() ? FIO_EXT_UNKNOWN : found->second;
}

FIO_EXTENSION_TYPE fio_get_file_type(const FIO_PATH& path)
{
    return fio_get_extension_type(path);
}

bool fio_is_hdl_extension_type(FIO_EXTENSION_TYPE type)
{
    return type == FIO_EXT_VERILOG || type == FIO_EXT_VHDL || type == FIO_EXT_SYSTEMVERILOG;
}
