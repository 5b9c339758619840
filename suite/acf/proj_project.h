//! @file proj_project.h
//! @brief The current project object: identity of the project the assignment manager has open.
#pragma once

#include <string>
#include <utility>

//! Identity of an open project. The assignment manager creates it on open and sets
//! m_current; closing the project resets m_current to null.
class PROJ_PROJECT {
public:
    PROJ_PROJECT(std::string name, std::string directory, std::string revision)
        : m_name(std::move(name)), m_directory(std::move(directory)), m_revision(std::move(revision))
    {
    }

    //! The project currently open, null when none is.
    static PROJ_PROJECT* m_current;

    const std::string& get_project_name() const { return m_name; }
    //! Absolute project directory ending with "/".
    const std::string& get_project_directory() const { return m_directory; }
    const std::string& get_current_revision_name() const { return m_revision; }
    //! The project file, DIR/NAME.vpf.
    std::string get_project_file() const { return m_directory + m_name + ".vpf"; }

private:
    std::string m_name;
    std::string m_directory;
    std::string m_revision;
};
