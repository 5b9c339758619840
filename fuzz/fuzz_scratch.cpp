//! @file fuzz_scratch.cpp
//! @brief The scratch directory of one fuzzing process.
#include "fuzz_scratch.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <system_error>
#include <vector>

namespace {

class SCRATCH_DIR {
public:
    SCRATCH_DIR()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "vorlin_fuzz_XXXXXX").string();
        std::vector<char> buffer(pattern.begin(), pattern.end());
        buffer.push_back('\0');
        if (mkdtemp(buffer.data()) == nullptr) throw std::runtime_error("cannot make a scratch directory");
        m_path = std::string(buffer.data()) + "/";
    }
    ~SCRATCH_DIR()
    {
        std::error_code ignored;
        std::filesystem::remove_all(m_path, ignored);
    }
    const std::string& path() const { return m_path; }

private:
    std::string m_path;
};

}  // namespace

const std::string& fuzz_scratch_dir()
{
    static const SCRATCH_DIR dir;
    return dir.path();
}

std::string fuzz_write_scratch(const std::string& name, const std::uint8_t* data, std::size_t size)
{
    const std::string path = fuzz_scratch_dir() + name;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    if (!out.flush()) throw std::runtime_error("cannot write scratch file " + path);
    return path;
}

void fuzz_use_bundled_installation()
{
    setenv("VORLIN_ROOTDIR", VORLIN_BUNDLED_ROOTDIR, 0);
}

void fuzz_check_failed(const char* condition, const char* file, int line)
{
    std::fprintf(stderr, "%s:%d: broken promise: %s\n", file, line, condition);
    std::abort();
}
