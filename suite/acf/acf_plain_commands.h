//! @file acf_plain_commands.h
//! @brief Parsing helpers for project files, and the commands of a file that can be applied
//! from the parse alone, without evaluating them in an interpreter.
#pragma once

#include <tcl.h>

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

//! Frees what Tcl_ParseCommand allocated.
class ACF_SCOPED_PARSE {
public:
    ACF_SCOPED_PARSE() = default;
    ~ACF_SCOPED_PARSE()
    {
        if (m_parsed) Tcl_FreeParse(&m_parse);
    }
    ACF_SCOPED_PARSE(const ACF_SCOPED_PARSE&) = delete;
    ACF_SCOPED_PARSE& operator=(const ACF_SCOPED_PARSE&) = delete;

    bool parse(const char* start, const char* end)
    {
        m_parsed = Tcl_ParseCommand(nullptr, start, static_cast<int>(end - start), 0, &m_parse) == TCL_OK;
        return m_parsed;
    }
    const Tcl_Parse& get() const { return m_parse; }

private:
    Tcl_Parse m_parse;
    bool m_parsed = false;
};

//! Hands each command of the script [start, end) to accept, in order; false as soon as one
//! does not parse or is not accepted.
template <typename ACCEPT>
bool acf_accept_each_command(const char* start, const char* end, ACCEPT accept)
{
    while (start < end) {
        ACF_SCOPED_PARSE command;
        if (!command.parse(start, end)) return false;
        const Tcl_Parse& parsed = command.get();
        if (parsed.numWords > 0 && !accept(parsed)) return false;
        const char* next = parsed.commandStart + parsed.commandSize;
        if (next <= start) return false;
        start = next;
    }
    return true;
}

//! The command's name when it is written literally; empty when it is computed.
std::string_view acf_literal_command_name(const Tcl_Parse& command);

//! Whether "file SUBCOMMAND" only computes with path text; the only ones project files get.
bool acf_is_pure_path_subcommand(std::string_view subcommand);

//! Takes the commands of a settings or IP list file one by one from its start, as long as
//! each is set_global_assignment or file with words that are literal text, $vip_dir, or
//! [file ...] substitutions of such words. Such commands need no interpreter: their words
//! are known from the parse, and the file substitutions are answered by a trusted one.
class ACF_PLAIN_COMMANDS {
public:
    //! vip_dir: its value, null when the file has none. path_helper answers "file".
    ACF_PLAIN_COMMANDS(const std::string& script, const std::string* vip_dir, Tcl_Interp* path_helper);

    struct COMMAND {
        bool is_assignment = false;      //!< else a file command, already run
        std::vector<std::string> words;  //!< an assignment's, after substitution, the name first
        int line = 0;                    //!< where the command starts
        int commands_run = 0;            //!< the command and its substitutions, as counted by Tcl
    };
    //! The next command; false at the end of the script and at the first command that is not
    //! plain, or that a trusted "file" refuses. The script's rest starts at offset(), on line().
    bool next(COMMAND& command);
    //! Passes the command last taken by next() back: the rest starts with it again.
    void put_back();
    std::size_t offset() const { return m_offset; }
    int line() const { return m_line; }

private:
    bool word_value(const Tcl_Token* word, std::string& value, int& commands_run) const;
    bool substitution_value(const Tcl_Token& substitution, std::string& value, int& commands_run) const;
    //! Runs a "file" command; commands_run counts the substitutions in its words.
    bool file_command_value(const Tcl_Parse& command, std::string& value, int& commands_run) const;
    //! Words of the command (its name included); false when one is not plain.
    bool command_words(const Tcl_Parse& command, std::vector<std::string>& words, int& commands_run) const;

    const std::string& m_script;
    const std::string* m_vip_dir;
    Tcl_Interp* m_path_helper;
    std::size_t m_offset = 0;  //!< where the commands not yet taken start
    int m_line = 1;            //!< the line at m_offset
    std::size_t m_taken_offset = 0;
    int m_taken_line = 1;
};
