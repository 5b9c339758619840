//! @file acf_project_model.h
//! @brief The open project as read from its files: identity and the active revision's
//! assignments in settings-file order.
#pragma once

#include <acf/acf.h>
#include <acf/proj_project.h>

#include <list>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <unordered_map>

class ACF_PROJECT_MODEL {
public:
    //! Each assignment lives in its list node: a walk over millions of them finds each one
    //! where its node is, and removal only moves the node.
    using ASSIGNMENT_SEQUENCE = std::list<ACF_ASSIGNMENT>;

    ACF_PROJECT_MODEL(const std::string& name, const std::string& directory, const std::string& revision);

    const PROJ_PROJECT& project() const { return m_project; }
    PROJ_PROJECT& project() { return m_project; }
    const std::string& directory() const { return m_project.get_project_directory(); }
    const std::string& revision() const { return m_project.get_current_revision_name(); }
    //! DIR/REV.vsf
    const std::string& settings_file() const { return m_settings_file; }

    const ASSIGNMENT_SEQUENCE& assignments() const { return m_assignments; }
    ASSIGNMENT_SEQUENCE& assignments() { return m_assignments; }
    ACF_ASSIGNMENT* append(const ACF_MGR_INPUT_PARAMETERS& params);
    ACF_ASSIGNMENT* append(ACF_MGR_INPUT_PARAMETERS&& params);
    //! Takes the assignment out of the sequence; it stays alive until the model goes.
    bool remove(ACF_ASSIGNMENT* assignment);
    //! A new assignment in the place of old_assignment, which is taken out; null when
    //! old_assignment is not in the sequence.
    ACF_ASSIGNMENT* replace(ACF_ASSIGNMENT* old_assignment, const ACF_MGR_INPUT_PARAMETERS& params);
    //! The last assignment of the type in sequence order (of the name, for ACF_VAR_UNKNOWN);
    //! null when there is none. Settings are asked for far more often than assignments
    //! change, so the answers come from an index rebuilt on the first question after a change.
    const ACF_ASSIGNMENT* last_assignment_of(ACF_VARIABLE_TYPE_ENUM type, const std::string& name) const;
    //! True for an assignment read from one of the IP list files.
    bool is_from_list_file(const ACF_ASSIGNMENT& assignment) const
    {
        return m_list_files.count(assignment.get_acf_file_name()) != 0;
    }

    //! IP list files are never written; their assignments stay out of the settings file.
    void set_list_files(std::set<std::string> files) { m_list_files = std::move(files); }
    void add_list_files(const std::set<std::string>& files)
    {
        m_list_files.insert(files.begin(), files.end());
    }
    //! The settings file's text rendered from the current assignments.
    std::string render_settings_file() const;
    //! What the settings file held as last read or written, rendered the same way.
    const std::string& committed_text() const { return m_committed_text; }
    void set_committed_text(std::string text) { m_committed_text = std::move(text); }

private:
    void forget_last_assignments();
    using POSITIONS = std::unordered_map<const ACF_ASSIGNMENT*, ASSIGNMENT_SEQUENCE::iterator>;
    POSITIONS& positions();

    PROJ_PROJECT m_project;
    std::string m_settings_file;
    //! Entities and names repeat across many assignments: one copy of each serves them all.
    ACF_TEXT_POOL m_texts;
    ASSIGNMENT_SEQUENCE m_assignments;
    ASSIGNMENT_SEQUENCE m_removed;
    //! Where each assignment sits; built on the first removal or replacement, since most
    //! projects are only read and the index would cost as much memory as a fifth of them.
    std::optional<POSITIONS> m_positions;
    std::set<std::string> m_list_files;
    std::string m_committed_text;

    struct LAST_ASSIGNMENTS {
        std::unordered_map<int, const ACF_ASSIGNMENT*> by_type;
        std::unordered_map<std::string, const ACF_ASSIGNMENT*> by_unknown_name;
        void note(const ACF_ASSIGNMENT& assignment);
    };
    // Readers share the revision's lock, so the index has a lock of its own.
    mutable std::mutex m_last_mutex;
    mutable std::optional<LAST_ASSIGNMENTS> m_last;  //!< none after a removal until asked again
};
