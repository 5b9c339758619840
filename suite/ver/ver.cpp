//! @file ver.cpp
//! @brief Version information read from <installation>/version.txt, cached per installation.
#include <ver/ver.h>

#include <cfg/cfg.h>
#include <fio/fio.h>
#include <gen/gen.h>

#include <map>
#include <mutex>

namespace {

struct VERSION_INFO {
    std::string version = "24.1";
    std::string product = "Vorlin";
    std::string edition = "standard";
    bool beta = false;
};

//! Reads one installation's version.txt; absent or unknown values keep their defaults.
VERSION_INFO read_version_info(const std::string& installation)
{
    VERSION_INFO info;
    std::string text;
    if (!FIO_FILE_SYSTEM::read_file(FIO_PATH(installation, "version.txt"), text)) return info;
    const auto values = cfg_parse_name_value_text(text);
    const auto value_of = [&values](const char* name) {
        const auto found = values.find(name);
        return found == values.end() ? std::string() : found->second;
    };
    if (!value_of("version").empty()) info.version = value_of("version");
    if (!value_of("product").empty()) info.product = value_of("product");
    const std::string edition = gen_ascii_tolower(value_of("edition"));
    if (edition == "pro" || edition == "standard") info.edition = edition;
    const std::string beta = gen_ascii_tolower(value_of("beta"));
    info.beta = beta == "1" || beta == "on" || beta == "true" || beta == "yes";
    return info;
}

class VERSION_CACHE {
public:
    static VERSION_CACHE& instance()
    {
        static VERSION_CACHE cache;
        return cache;
    }
    //! The information of the installation the environment names now.
    VERSION_INFO current()
    {
        const std::string installation = gen_get_vorlin_path();
        std::lock_guard<std::mutex> lock(m_mutex);
        auto found = m_by_installation.find(installation);
        if (found == m_by_installation.end())
            found = m_by_installation.emplace(installation, read_version_info(installation)).first;
        return found->second;
    }
    void clear()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_by_installation.clear();
    }

private:
    std::mutex m_mutex;
    std::map<std::string, VERSION_INFO> m_by_installation;
};

}  // namespace

std::string ver_get_version()
{
    return VERSION_CACHE::instance().current().version;
}

std::string ver_get_product()
{
    return VERSION_CACHE::instance().current().product;
}

std::string ver_get_edition()
{
    return VERSION_CACHE::instance().current().edition;
}

bool ver_is_pro_edition()
{
    return ver_get_edition() == "pro";
}

bool ver_is_beta()
{
    return VERSION_CACHE::instance().current().beta;
}

std::string ver_get_oltran_product_name()
{
    return ver_get_product();
}

std::string ver_get_full_version_for_reports()
{
    const VERSION_INFO info = VERSION_CACHE::instance().current();
    return info.version + (info.edition == "pro" ? " Pro Edition" : " Standard Edition");
}

void ver_reload()
{
    VERSION_CACHE::instance().clear();
}
