//! @file atcl.h
//! @brief The suite's Tcl command framework: packages and their commands, option tables
//! with help and option errors, collections, interpreter access and small Tcl helpers.
#pragma once

#include <tcl.h>

#include <cstddef>
#include <cstdint>
#include <exception>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

// ---------------------------------------------------------------------------------------
// Command definitions
// ---------------------------------------------------------------------------------------

//! Option numbers shared by every package's option enumeration: 0 names no option, 1 to 3
//! are the help options the framework accepts on every command.
enum ATCL_HELP_OPTION : uint32_t {
    ATCL_NO_OPTION = 0,
    ATCL_HELP_SHORT = 1,   //!< -h: the usage line
    ATCL_HELP_NORMAL = 2,  //!< -help: usage and option descriptions
    ATCL_HELP_LONG = 3,    //!< -long_help: -help plus the command's details
};

//! Flags of an option-table entry.
constexpr uint32_t ATCL_OPTION_REQUIRED = 0x0;    //!< a named option that must be given
constexpr uint32_t ATCL_OPTION_POSITIONAL = 0x1;  //!< given without an option word
constexpr uint32_t ATCL_OPTION_OPTIONAL = 0x100;  //!< may be left out

//! Name of an option number (the package's option-name table).
using ATCL_OPTION_NAME_FN = const char* (*)(int option);
//! Option number of a word typed after the dash; 0 when it names no option of the command.
using ATCL_OPTION_RESOLVER_FN = int (*)(const char* word);

//! One row of a command's option table; a row whose option is 0 ends the table.
struct ATCL_OPTION_ENTRY {
    uint32_t option;       //!< the package's option number
    uint32_t takes_value;  //!< 1: followed by one value word; 0: a flag
    uint32_t flags;        //!< ATCL_OPTION_REQUIRED / _POSITIONAL / _OPTIONAL
    uint32_t reserved;
    const void* reserved_ptr1;
    const void* reserved_ptr2;
};

//! Static description of one command: ten pointer-size words.
struct ATCL_CMD_DEFINITION {
    const char* package_leaf;  //!< "ipman"
    const char* command_name;  //!< "regenerate_ip"
    ATCL_OPTION_NAME_FN option_name;
    ATCL_OPTION_RESOLVER_FN resolve_option;
    const void* reserved1;
    const void* reserved2;
    const ATCL_OPTION_ENTRY* options;
    const void* reserved3;
    const void* reserved4;
    const void* reserved5;
};
static_assert(sizeof(ATCL_CMD_DEFINITION) == 10 * sizeof(void*), "ten words");

//! Description of one option for -help / -long_help; a row whose option is 0 ends a table.
struct ATCL_OPTION_HELP {
    uint32_t option;
    const char* description;
};

//! Help texts registered beside a definition. Any pointer may be null.
struct ATCL_CMD_HELP {
    const char* summary;              //!< one line, shown by -help and -long_help
    const char* details;              //!< further paragraphs, shown by -long_help only
    const ATCL_OPTION_HELP* options;  //!< option descriptions
};

//! A command object built from its definition: option look-ups, usage and help texts.
class ATCL_CMD {
public:
    explicit ATCL_CMD(const ATCL_CMD_DEFINITION& definition, const ATCL_CMD_HELP* help = nullptr);
    virtual ~ATCL_CMD() = default;

    const char* get_name() const { return m_definition.command_name; }
    const ATCL_CMD_DEFINITION& get_definition() const { return m_definition; }

    //! The table row of an option number, null when the command has no such option.
    const ATCL_OPTION_ENTRY* find_option(uint32_t option) const;
    //! Rows of the positional options, in table order.
    const std::vector<const ATCL_OPTION_ENTRY*>& get_positional_options() const { return m_positional; }
    //! Rows of the named options, in table order.
    const std::vector<const ATCL_OPTION_ENTRY*>& get_named_options() const { return m_named; }
    //! Name of an option number through the definition's option-name function.
    std::string option_name(uint32_t option) const;

    //! "Usage: cmd [-h | -help | -long_help] -entity <entity> [-all] <path>"
    std::string usage_line() const;
    //! Usage, summary and option descriptions; with long_help also the details.
    std::string help_text(bool long_help) const;

private:
    std::string option_synopsis(const ATCL_OPTION_ENTRY& entry) const;
    const char* option_description(uint32_t option) const;

    ATCL_CMD_DEFINITION m_definition;
    const ATCL_CMD_HELP* m_help;
    std::vector<const ATCL_OPTION_ENTRY*> m_named;
    std::vector<const ATCL_OPTION_ENTRY*> m_positional;
};

//! The words of one command call, checked against its command object.
class ATCL_ARGS {
public:
    //! Parses objv[1..objc-1] for cmd on the framework's interpreter. A help option prints
    //! the help through the interpreter's puts, sets help_shown and answers TCL_OK. A bad
    //! call sets an "ERROR: " result and answers TCL_ERROR.
    int process_tcl_command_arguments(const ATCL_CMD& cmd, bool& help_shown, int objc, Tcl_Obj* const objv[]);
    //! The same on a given interpreter.
    int process_tcl_command_arguments(Tcl_Interp* interp, const ATCL_CMD& cmd, bool& help_shown, int objc,
                                      Tcl_Obj* const objv[]);
    //! The parse alone, without Tcl: words exclude the command name. Throws
    //! ATCL_USAGE_ERROR for a bad call; answers the help option asked for (0 when none).
    uint32_t parse_words(const ATCL_CMD& cmd, const std::vector<std::string>& words);

    bool is_option_specified_by_user(int option) const;
    //! True when the flag was given.
    bool get_no_arg_option(int option) const;
    //! The value word of a named or positional option; empty when not given.
    std::string get_one_arg_option(int option) const;
    //! The positional value at a position (0 for the first); empty when not given.
    std::string get_one_arg_pos_option(std::size_t position) const;
    std::size_t get_pos_option_count() const { return m_positional_values.size(); }

private:
    std::map<uint32_t, std::string> m_values;      //!< given options; flags map to ""
    std::vector<std::string> m_positional_values;  //!< in the order given
};

//! A command called the wrong way; its text begins with "ERROR: ".
class ATCL_USAGE_ERROR : public std::exception {
public:
    explicit ATCL_USAGE_ERROR(std::string text) : m_text(std::move(text)) {}
    const char* what() const noexcept override { return m_text.c_str(); }

private:
    std::string m_text;
};

//! The names of the three help options ("h", "help", "long_help"); nullptr for any other.
const char* atcl_help_option_name(int option);

//! A resolver for simple commands: the exact name of a help option or of a named option in
//! the table, or a proper prefix of exactly one of those names; 0 otherwise.
int atcl_resolve_option_by_prefix(const char* word, ATCL_OPTION_NAME_FN option_name,
                                  const ATCL_OPTION_ENTRY* options);

// ---------------------------------------------------------------------------------------
// Packages
// ---------------------------------------------------------------------------------------

//! One command of a package: handler, name, reserved; an all-null row ends a table.
struct ATCL_CALLBACK {
    Tcl_ObjCmdProc* handler;
    const char* command_name;
    const void* reserved;
};

//! Starts setting a package up (unregister false) or down (unregister true). name is the
//! namespace, "::vorlin::ipman"; module and prefix only label diagnostics and may be null.
void atcl_begin_package_setup(const char* name, const char* version, const char* module, const char* prefix,
                              bool unregister);
//! Adds commands to the package being set up.
void atcl_register_callbacks(const ATCL_CALLBACK* callbacks);
//! Creates the registered commands as NAMESPACE::command on the framework's interpreter
//! (or the given one) and exports them; finishes an unregistration. TCL_OK or TCL_ERROR.
int atcl_end_package_setup();
int atcl_end_package_setup(Tcl_Interp* interp);
//! Deletes the commands of the package being set down and forgets its provided version.
int atcl_unregister_package(Tcl_Interp* interp);

// ---------------------------------------------------------------------------------------
// Interpreter access
// ---------------------------------------------------------------------------------------

//! The interpreter of the host (shell or module loader); null when none was recorded. The
//! record is cleared when that interpreter is deleted.
Tcl_Interp* atcl_get_interpreter();
void atcl_set_interpreter(Tcl_Interp* interp);
//! True when the modules are being brought in by a Tcl `load`; false in a shell that links
//! its modules at build time. Such a shell marks itself by defining and exporting (linking
//! with ENABLE_EXPORTS) `extern "C" const int atcl_shell_links_modules = 1;`.
bool atcl_is_dynamically_loading();

//! Holds one reference to a Tcl object and drops it when it goes.
class ATCL_OBJ_PTR {
public:
    explicit ATCL_OBJ_PTR(Tcl_Obj* obj = nullptr) : m_obj(obj)
    {
        if (m_obj) Tcl_IncrRefCount(m_obj);
    }
    ~ATCL_OBJ_PTR()
    {
        if (m_obj) Tcl_DecrRefCount(m_obj);
    }
    ATCL_OBJ_PTR(const ATCL_OBJ_PTR&) = delete;
    ATCL_OBJ_PTR& operator=(const ATCL_OBJ_PTR&) = delete;
    Tcl_Obj* get() const { return m_obj; }

private:
    Tcl_Obj* m_obj;
};

//! Sets text as the interpreter's result (the caller answers TCL_ERROR where it fails).
void atcl_error_msg_impl(Tcl_Interp* interp, const char* text);
inline void atcl_error_msg_impl(Tcl_Interp* interp, const std::string& text)
{
    atcl_error_msg_impl(interp, text.c_str());
}

//! A safe interpreter for parsing untrusted Tcl text; destroy with atcl_destroy_interpreter.
Tcl_Interp* atcl_create_interpreter();
void atcl_destroy_interpreter(Tcl_Interp* interp);
struct ATCL_INTERP_DELETER {
    void operator()(Tcl_Interp* interp) const { atcl_destroy_interpreter(interp); }
};
using ATCL_INTERP_PTR = std::unique_ptr<Tcl_Interp, ATCL_INTERP_DELETER>;
inline ATCL_INTERP_PTR atcl_make_interpreter()
{
    return ATCL_INTERP_PTR(atcl_create_interpreter());
}

//! Splits a Tcl list text into its elements; false (and no elements) when it is not a list.
bool atcl_tcl_get_mult_string_from_tcl_obj(Tcl_Interp* interp, Tcl_Obj* obj,
                                           std::vector<std::string>& elements);
bool atcl_tcl_get_mult_string_from_tcl_obj(Tcl_Interp* interp, const std::string& text,
                                           std::vector<std::string>& elements);

//! Escapes the characters special inside a double-quoted Tcl word (\ " $ [ ]).
std::string atcl_transform_string(const std::string& text);
//! Evaluates a script on the interpreter; answers the completion code.
int atcl_tcl_eval(Tcl_Interp* interp, const std::string& script);

// ---------------------------------------------------------------------------------------
// Collections
// ---------------------------------------------------------------------------------------

//! Iterator behind a collection. Element texts are taken by current_string, which answers
//! the current position in decimal unless a derived iterator knows better.
class ATCL_TCL_COLLECTION_ITER {
public:
    ATCL_TCL_COLLECTION_ITER() = default;
    virtual ~ATCL_TCL_COLLECTION_ITER() = default;
    virtual std::size_t current_position() const = 0;
    virtual void reset() = 0;
    virtual void advance() = 0;
    virtual bool is_done() const = 0;
    //! False once the collection was deleted while its caller keeps the iterator.
    virtual bool is_valid() const { return m_valid; }
    virtual std::size_t size() const = 0;
    virtual std::string current_string() const;

    //! The collection's handle, null until the collection is created.
    const char* get_collection_handle() const { return m_has_handle ? m_handle.c_str() : nullptr; }
    void set_collection_handle(const std::string& handle);
    void invalidate() { m_valid = false; }

private:
    bool m_valid = true;
    bool m_has_handle = false;
    std::string m_handle;
};

//! An iterator over a list of element texts.
class ATCL_STRING_COLLECTION_ITER : public ATCL_TCL_COLLECTION_ITER {
public:
    explicit ATCL_STRING_COLLECTION_ITER(std::vector<std::string> elements);
    std::size_t current_position() const override { return m_position; }
    void reset() override { m_position = 0; }
    void advance() override;
    bool is_done() const override { return m_position >= m_elements.size(); }
    std::size_t size() const override { return m_elements.size(); }
    std::string current_string() const override;

private:
    std::vector<std::string> m_elements;
    std::size_t m_position = 0;
};

//! Makes a collection over the iterator and answers its handle (also stored in the
//! iterator). Unless caller_keeps_ownership, the framework owns and later deletes it.
std::string atcl_create_collection(ATCL_TCL_COLLECTION_ITER* iter, bool caller_keeps_ownership);
//! Makes a collection over element texts.
std::string atcl_create_collection(const std::vector<std::string>& elements);
//! A new Tcl value holding the handle of a new collection over element texts. The collection
//! lives as long as Tcl values of that kind hold it (the value a command answers, the
//! variables it is stored in, their copies) and is freed with the last of them. A value turned
//! into another type (used as a list, say) lets go of it, as does a new string with the same
//! text: scripts keep the value itself.
Tcl_Obj* atcl_new_collection_obj(std::vector<std::string> elements);
//! A new Tcl value holding the handle of an existing collection; for a collection made by
//! atcl_create_collection it does not change its lifetime. A plain string when the handle
//! names no collection.
Tcl_Obj* atcl_collection_obj(const std::string& handle);
//! Deletes the collection of a handle (and its iterator when the framework owns it);
//! false when the handle names no collection. Values still holding the handle name nothing.
bool atcl_delete_collection_iter(const char* handle);
//! Number of collections alive.
std::size_t atcl_live_collection_count();
//! The iterator of a handle, null when it names no collection.
ATCL_TCL_COLLECTION_ITER* atcl_find_collection(const char* handle);

//! Creates foreach_in_collection and get_collection_size in the global namespace.
int atcl_register_collection_commands(Tcl_Interp* interp);
