//! @file vcu.h
//! @brief The suite's compile framework: the base of a flow module (its names, project and
//! revision) and the facade through which a running step shows its progress.
#pragma once

#include <iosfwd>
#include <memory>
#include <string>

//! Progress of one flow step. On a terminal one bar is redrawn in place; elsewhere each
//! change prints a line "Info: <display name>: N%".
class CMP_FACADE {
public:
    //! Writes to standard output; draws a bar when it is a terminal.
    explicit CMP_FACADE(std::string display_name);
    //! Writes to out; terminal selects the bar.
    CMP_FACADE(std::string display_name, std::ostream& out, bool terminal);
    virtual ~CMP_FACADE();
    CMP_FACADE(const CMP_FACADE&) = delete;
    CMP_FACADE& operator=(const CMP_FACADE&) = delete;

    //! Shows percent (clamped to 0..100); a repeated value shows nothing new.
    void progress(int percent);

private:
    std::string m_display_name;
    std::ostream& m_out;
    bool m_terminal;
    int m_last_percent = -1;
};

//! A flow module as the compile framework knows it. Modules answer their names; the
//! framework keeps the project and revision (the "cap") the module works on and its facade.
class VCU_FRAMEWORK {
public:
    explicit VCU_FRAMEWORK(int executable_id);
    virtual ~VCU_FRAMEWORK();
    VCU_FRAMEWORK(const VCU_FRAMEWORK&) = delete;
    VCU_FRAMEWORK& operator=(const VCU_FRAMEWORK&) = delete;

    //! The program name the step runs under ("mw-regenerate").
    virtual const char* get_executable_name() const = 0;
    //! The step's name as users see it ("IP Upgrade").
    virtual const char* get_display_name() const = 0;
    //! Prefix of the step's message identifiers.
    virtual const char* get_message_prefix() const = 0;
    //! The step's short name for settings and file names.
    virtual const char* get_short_name() const = 0;
    //! Makes a new facade for a run of the step, replacing the earlier one.
    virtual void create_facade();

    int get_executable_id() const { return m_executable_id; }
    void set_project(const std::string& project) { m_project = project; }
    const std::string& get_project() const { return m_project; }
    void set_cap(const std::string& revision) { m_cap = revision; }
    const std::string& get_cap() const { return m_cap; }
    //! The facade of the current run; null before create_facade.
    CMP_FACADE* get_facade() const { return m_facade.get(); }

private:
    int m_executable_id;
    std::string m_project;
    std::string m_cap;
    std::unique_ptr<CMP_FACADE> m_facade;
};
