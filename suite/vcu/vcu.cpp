//! @file vcu.cpp
//! @brief Flow-module base and progress facade.
#include <vcu/vcu.h>

#include <algorithm>
#include <cstdio>
#include <iostream>
#include <string>

#include <unistd.h>

CMP_FACADE::CMP_FACADE(std::string display_name)
    : CMP_FACADE(std::move(display_name), std::cout, isatty(fileno(stdout)) != 0)
{
}

CMP_FACADE::CMP_FACADE(std::string display_name, std::ostream& out, bool terminal)
    : m_display_name(std::move(display_name)), m_out(out), m_terminal(terminal)
{
}

CMP_FACADE::~CMP_FACADE()
{
    // A bar left unfinished would glue the next output to it.
    if (m_terminal && m_last_percent >= 0 && m_last_percent < 100) m_out << '\n' << std::flush;
}

void CMP_FACADE::progress(int percent)
{
    percent = std::clamp(percent, 0, 100);
    if (percent == m_last_percent) return;
    m_last_percent = percent;
    if (!m_terminal) {
        m_out << "Info: " << m_display_name << ": " << percent << "%\n" << std::flush;
        return;
    }
    constexpr int width = 40;
    const int filled = percent * width / 100;
    m_out << "\rInfo: " << m_display_name << ": [" << std::string(filled, '#')
          << std::string(width - filled, ' ') << "] " << percent << '%';
    if (percent == 100) m_out << '\n';
    m_out << std::flush;
}

VCU_FRAMEWORK::VCU_FRAMEWORK(int executable_id) : m_executable_id(executable_id) {}

VCU_FRAMEWORK::~VCU_FRAMEWORK() = default;

void VCU_FRAMEWORK::create_facade()
{
    m_facade = std::make_unique<CMP_FACADE>(get_display_name());
}
