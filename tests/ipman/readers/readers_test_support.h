//! @file readers_test_support.h
//! @brief Scratch directories and file helpers shared by the reader tests.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

//! A fresh directory under the system temporary directory, removed with its content.
class SCRATCH_DIR {
public:
    SCRATCH_DIR() {
        std::string pattern = (std::filesystem::temp_directory_path() / "ipman_readers_XXXXXX").string();
        m_path = ::mkdtemp(pattern.data()) ? pattern : std::string();
    }
    ~SCRATCH_DIR() {
        std::error_code ignored;
        std::filesystem::remove_all(m_path, ignored);
    }
    SCRATCH_DIR(const SCRATCH_DIR&) = delete;
    SCRATCH_DIR& operator=(const SCRATCH_DIR&) = delete;

    //! Writes content as a file of this directory and answers its path.
    std::string write(const std::string& name, const std::string& content) const {
        const std::string file = m_path + "/" + name;
        std::ofstream(file, std::ios::binary) << content;
        return file;
    }
    const std::string& path() const { return m_path; }

private:
    std::string m_path;
};

inline std::string read_text_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline std::string ipxact_data_file(const std::string& name) {
    return std::string(VORLIN_TEST_DATA_DIR) + "/ipxact/" + name;
}

//! Replaces the first occurrence of from; an absent pattern fails loudly in the caller.
inline bool replace_once(std::string& text, const std::string& from, const std::string& to) {
    const auto at = text.find(from);
    if (at == std::string::npos)
        return false;
    text.replace(at, from.size(), to);
    return true;
}
