//! @file ipdgen_pairs.cpp
//! @brief The process-wide list of file pairs to compare.
#include <ipdgen/ipdgen.h>

namespace {

std::vector<IPDGEN_HDL_PAIR>& pairs()
{
    static std::vector<IPDGEN_HDL_PAIR> list;
    return list;
}

}  // namespace

void IPDGEN_PORTS_INFO::reset_data()
{
    pairs().clear();
}

void IPDGEN_PORTS_INFO::add_hdl_pair(const std::string& new_file, FIO_EXTENSION_TYPE new_type,
                                     const std::string& old_file, FIO_EXTENSION_TYPE old_type)
{
    pairs().push_back({new_file, "", new_type, old_file, "", old_type});
}

void IPDGEN_PORTS_INFO::add_hdl_pair(const std::string& new_file, const std::string& new_version,
                                     FIO_EXTENSION_TYPE new_type, const std::string& old_file,
                                     const std::string& old_version, FIO_EXTENSION_TYPE old_type)
{
    pairs().push_back({new_file, new_version, new_type, old_file, old_version, old_type});
}

const std::vector<IPDGEN_HDL_PAIR>& IPDGEN_PORTS_INFO::get_pairs()
{
    return pairs();
}
