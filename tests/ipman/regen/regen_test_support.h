//! @file regen_test_support.h
//! @brief Helpers of the generator-run tests: a scratch installation whose legacy wizard
//! records its arguments.
#pragma once

#include "support/test_support.h"

#include <sstream>

namespace regen_test {

//! The legacy wizard of the scratch installation: records its arguments (one a line, "--"
//! after each call).
constexpr const char* FAKE_WIZARD = R"SH(
here=$(dirname "$0")
for a in "$@"; do printf '%s\n' "$a"; done >> "$here/../calls.log"
echo -- >> "$here/../calls.log"
echo "Info: wizard ran"
)SH";

//! An installation with a recording wizard and system generator, in use (VORLIN_ROOTDIR) for the object's
//! life.
class SCRATCH_INSTALLATION {
public:
    SCRATCH_INSTALLATION() : m_env("VORLIN_ROOTDIR", m_dir.path() + "/")
    {
        write_script(m_dir.file("bin/vkelvane"), FAKE_WIZARD);
        std::string generator = FAKE_WIZARD;
        for (std::size_t at = 0; (at = generator.find("/../calls.log", at)) != std::string::npos; at += 16)
            generator.replace(at, 13, "/../../calls.log");
        write_script(m_dir.file("gantry_builder/bin/tessel-generate"), generator);
    }

    //! The argument lists of every wizard and system generator call so far, in order.
    std::vector<std::vector<std::string>> calls() const
    {
        std::vector<std::vector<std::string>> calls(1);
        std::istringstream log(read_text(m_dir.file("calls.log")));
        for (std::string line; std::getline(log, line);) {
            if (line == "--")
                calls.emplace_back();
            else
                calls.back().push_back(line);
        }
        calls.pop_back();
        return calls;
    }

private:
    TEMP_DIR m_dir;
    SCOPED_ENV m_env;
};

}  // namespace regen_test
