//! @file hdb.h
//! @brief The hierarchy database: the instance tree of an elaborated design, the design
//! units it was built from and their source files, and elaborating the open project.
#pragma once

#include <bitset>
#include <chrono>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

//! Facts about a source file (HDB_SOURCE_FILE::test_flag).
enum HDB_SOURCE_FILE_FLAG : int {
    HDB_FILE_NOT_CONSIDERED = 5,             //!< not a design file of the project
    HDB_FILE_PROTECTED = 8,                  //!< encrypted, or delivered through a proxy file
    HDB_FILE_PROTECTED_BEHIND_WRAPPER = 13,  //!< protected, and instantiated only by a wrapper
    HDB_FILE_WRAPPER = 16,                   //!< its modules only wrap one protected instance
};

//! Arguments of a source file (HDB_SOURCE_FILE::get_argument_value).
enum HDB_SOURCE_FILE_ARGUMENT : int {
    HDB_ARG_GROUP_KEY = 2,  //!< the IP list the file was added from, as written
};

//! The library every design unit is compiled into.
extern const char* const HDB_WORK_LIBRARY;

class HDB_SOURCE_FILE {
public:
    HDB_SOURCE_FILE(std::string full_path, std::string group_key);

    const std::string& get_full_path() const { return m_full_path; }
    bool test_flag(int flag) const { return flag >= 0 && flag < FLAG_COUNT && m_flags.test(flag); }
    void set_flag(int flag);
    //! The argument's text; null when the file does not have it (no group key: the file is
    //! assigned directly in the settings file).
    const char* get_argument_value(int argument) const;

private:
    static constexpr int FLAG_COUNT = 32;
    std::string m_full_path;
    std::string m_group_key;
    std::bitset<FLAG_COUNT> m_flags;
};

//! A module of the design, under the name it was written with (parameterised copies share it).
class HDB_DESIGN_UNIT {
public:
    HDB_DESIGN_UNIT(std::string name, HDB_SOURCE_FILE* file) : m_name(std::move(name)), m_file(file) {}

    const std::string& get_name() const { return m_name; }
    const char* get_library() const { return HDB_WORK_LIBRARY; }
    //! Null when the netlist names no source for the module.
    HDB_SOURCE_FILE* get_file() const { return m_file; }

private:
    std::string m_name;
    HDB_SOURCE_FILE* m_file;
};

//! One instance of the elaborated tree. The root is the top-level entity; every other
//! instance is a macrofunction: a cell whose type is a module of the design.
class HDB_INSTANCE_NAME {
public:
    HDB_INSTANCE_NAME(std::string name, std::string design_unit, HDB_INSTANCE_NAME* parent, std::int32_t id);

    //! The instance name; the top-level entity's name for the root.
    const std::string& get_name() const { return m_name; }
    //! Name of the design unit the instance was elaborated from (its source component).
    const std::string& get_source_component() const { return m_design_unit; }
    const char* get_library() const { return HDB_WORK_LIBRARY; }
    //! Unique in its design; 1 for the root.
    std::int32_t get_name_id() const { return m_id; }
    HDB_INSTANCE_NAME* get_parent() const { return m_parent; }
    bool is_macrofunction() const { return m_parent != nullptr; }

    const std::vector<HDB_INSTANCE_NAME*>& children() const { return m_children; }
    bool has_children() const { return !m_children.empty(); }
    void add_child(HDB_INSTANCE_NAME* child) { m_children.push_back(child); }

    //! Instance names from the root joined with "|": "top|u_core|u_fifo".
    std::string get_hierarchy_path() const;

private:
    std::string m_name;
    std::string m_design_unit;
    HDB_INSTANCE_NAME* m_parent;
    std::int32_t m_id;
    std::vector<HDB_INSTANCE_NAME*> m_children;
};

//! Where design units are looked up by name.
class HDB_NAMESPACE {
public:
    //! The unit of that name; an empty library matches any, another must be the unit's.
    //! Null when none.
    HDB_DESIGN_UNIT* find_entity(const std::string& name, const std::string& library) const;
    //! Adds a unit unless one of that name exists; answers the unit of that name.
    HDB_DESIGN_UNIT* add_unit(const std::string& name, HDB_SOURCE_FILE* file);

private:
    std::map<std::string, std::unique_ptr<HDB_DESIGN_UNIT>> m_units;
};

//! An elaborated design: owns its files, units and instances.
class HDB_DESIGN {
public:
    HDB_NAMESPACE* get_namespace() { return &m_namespace; }
    HDB_INSTANCE_NAME* get_root() const { return m_instances.empty() ? nullptr : m_instances.front().get(); }
    std::size_t instance_count() const { return m_instances.size(); }

    //! The source file of that full path, created with the group key when new.
    HDB_SOURCE_FILE* add_source_file(const std::string& full_path, const std::string& group_key);
    HDB_SOURCE_FILE* find_source_file(const std::string& full_path) const;
    //! A new instance; the first one made is the root. Children are linked to their parent.
    HDB_INSTANCE_NAME* add_instance(const std::string& name, const std::string& design_unit,
                                    HDB_INSTANCE_NAME* parent);

private:
    HDB_NAMESPACE m_namespace;
    std::map<std::string, std::unique_ptr<HDB_SOURCE_FILE>> m_files;
    std::vector<std::unique_ptr<HDB_INSTANCE_NAME>> m_instances;
};

//! One design file handed to elaboration.
struct HDB_INPUT_FILE {
    std::string path;       //!< absolute
    std::string group_key;  //!< empty: assigned directly
};

//! What to elaborate and how.
struct HDB_ELABORATION_INPUT {
    std::string top;                    //!< the top-level entity
    std::vector<HDB_INPUT_FILE> files;  //!< Verilog and SystemVerilog files, in project order
    std::string program = "yosys";      //!< the elaborator
    std::chrono::seconds time_limit{300};
};

//! Elaborates the files: protected files go in as black boxes of their modules, the
//! elaborator runs in a temporary folder that is removed afterwards, and its netlist
//! becomes the design. Null with error ("ERROR: ...") when anything fails.
std::unique_ptr<HDB_DESIGN> hdb_elaborate(const HDB_ELABORATION_INPUT& input, std::string& error);

//! Elaborates the open project's active revision: its Verilog and SystemVerilog files and
//! those its IP lists name; VHDL files are named in a warning. The design is kept until the
//! project closes or is elaborated again. False with error when no project is open or the
//! elaboration fails; the design kept before stays then.
bool hdb_elaborate_active_revision(std::string& error);
//! The design kept for the open project; null when there is none.
HDB_DESIGN* hdb_get_elaborated_design();
