//! @file acf_plain_commands.cpp
//! @brief Parsing helpers for project files and the commands applied from the parse alone.
#include "acf_plain_commands.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace {

//! "file" subcommands that only compute with path text and never touch the file system.
constexpr std::array<std::string_view, 7> pure_path_subcommands{"join",      "dirname", "tail",    "rootname",
                                                                "extension", "split",   "pathtype"};

std::string_view text_of(const Tcl_Token& token)
{
    return std::string_view(token.start, static_cast<std::size_t>(token.size));
}

int lines_in(const char* start, const char* end)
{
    // memchr skips the text between line ends faster than a loop over every character.
    int lines = 0;
    const void* line_end = nullptr;
    while ((line_end = std::memchr(start, '\n', static_cast<std::size_t>(end - start))) != nullptr) {
        ++lines;
        start = static_cast<const char*>(line_end) + 1;
    }
    return lines;
}

//! Drops the references the objects were created with.
class SCOPED_OBJECTS {
public:
    explicit SCOPED_OBJECTS(const std::vector<std::string>& texts)
    {
        m_objects.reserve(texts.size());
        for (const std::string& text : texts) {
            Tcl_Obj* object = Tcl_NewStringObj(text.data(), static_cast<int>(text.size()));
            Tcl_IncrRefCount(object);
            m_objects.push_back(object);
        }
    }
    ~SCOPED_OBJECTS()
    {
        for (Tcl_Obj* object : m_objects)
            Tcl_DecrRefCount(object);
    }
    SCOPED_OBJECTS(const SCOPED_OBJECTS&) = delete;
    SCOPED_OBJECTS& operator=(const SCOPED_OBJECTS&) = delete;

    int count() const { return static_cast<int>(m_objects.size()); }
    Tcl_Obj* const* get() const { return m_objects.data(); }

private:
    std::vector<Tcl_Obj*> m_objects;
};

}  // namespace

std::string_view acf_literal_command_name(const Tcl_Parse& command)
{
    if (command.tokenPtr[0].type != TCL_TOKEN_SIMPLE_WORD) return {};
    return text_of(command.tokenPtr[1]);
}

bool acf_is_pure_path_subcommand(std::string_view subcommand)
{
    return std::find(pure_path_subcommands.begin(), pure_path_subcommands.end(), subcommand) !=
           pure_path_subcommands.end();
}

ACF_PLAIN_COMMANDS::ACF_PLAIN_COMMANDS(const std::string& script, const std::string* vip_dir,
                                       Tcl_Interp* path_helper)
    : m_script(script), m_vip_dir(vip_dir), m_path_helper(path_helper)
{
}

bool ACF_PLAIN_COMMANDS::next(COMMAND& command)
{
    const char* const end = m_script.data() + m_script.size();
    const char* start = m_script.data() + m_offset;
    int line = m_line;
    while (start < end) {
        ACF_SCOPED_PARSE parse;
        if (!parse.parse(start, end)) return false;
        const Tcl_Parse& parsed = parse.get();
        const char* const next = parsed.commandStart + parsed.commandSize;
        if (next <= start) return false;
        if (parsed.numWords == 0) {  // only blanks or a comment
            line += lines_in(start, next);
            start = next;
            continue;
        }
        const std::string_view name = acf_literal_command_name(parsed);
        command.commands_run = 1;
        command.is_assignment = name == "set_global_assignment";
        std::string ignored;  // a file command's result is dropped; it runs for its errors
        const bool plain = command.is_assignment ? command_words(parsed, command.words, command.commands_run)
                           : name == "file"      ? file_command_value(parsed, ignored, command.commands_run)
                                                 : false;
        if (!plain) return false;  // blanks and comments before it go with it
        command.line = line + lines_in(start, parsed.commandStart);
        m_taken_offset = static_cast<std::size_t>(start - m_script.data());
        m_taken_line = line;
        m_offset = static_cast<std::size_t>(next - m_script.data());
        m_line = command.line + lines_in(parsed.commandStart, next);
        return true;
    }
    // Only blanks and comments were left: nothing remains to evaluate.
    m_offset = m_script.size();
    m_line = line;
    return false;
}

void ACF_PLAIN_COMMANDS::put_back()
{
    m_offset = m_taken_offset;
    m_line = m_taken_line;
}

bool ACF_PLAIN_COMMANDS::command_words(const Tcl_Parse& command, std::vector<std::string>& words,
                                       int& commands_run) const
{
    words.resize(static_cast<std::size_t>(command.numWords));
    const Tcl_Token* word = command.tokenPtr;
    for (std::string& value : words) {
        if (!word_value(word, value, commands_run)) return false;
        word += 1 + word->numComponents;
    }
    return true;
}

bool ACF_PLAIN_COMMANDS::word_value(const Tcl_Token* word, std::string& value, int& commands_run) const
{
    if (word->type == TCL_TOKEN_SIMPLE_WORD) {
        value.assign(text_of(word[1]));
        return true;
    }
    if (word->type != TCL_TOKEN_WORD) return false;  // {*} expansion
    value.clear();
    const Tcl_Token* part = word + 1;
    const Tcl_Token* const end = part + word->numComponents;
    for (; part < end; part += 1 + part->numComponents) {
        switch (part->type) {
        case TCL_TOKEN_TEXT:
            value.append(text_of(*part));
            break;
        case TCL_TOKEN_VARIABLE:
            // $vip_dir or ${vip_dir}: a plain file sets no variables, so it is the list's directory.
            if (m_vip_dir == nullptr || part->numComponents != 1 || text_of(part[1]) != "vip_dir")
                return false;
            value.append(*m_vip_dir);
            break;
        case TCL_TOKEN_COMMAND: {
            std::string result;
            if (!substitution_value(*part, result, commands_run)) return false;
            value.append(result);
            break;
        }
        default:  // backslash sequences are left to the interpreter
            return false;
        }
    }
    return true;
}

bool ACF_PLAIN_COMMANDS::substitution_value(const Tcl_Token& substitution, std::string& value,
                                            int& commands_run) const
{
    // "[...]" is a script of its own, without the brackets; its value is its last command's.
    value.clear();
    return acf_accept_each_command(substitution.start + 1, substitution.start + substitution.size - 1,
                                   [&](const Tcl_Parse& inner) {
                                       ++commands_run;
                                       return acf_literal_command_name(inner) == "file" &&
                                              file_command_value(inner, value, commands_run);
                                   });
}

bool ACF_PLAIN_COMMANDS::file_command_value(const Tcl_Parse& command, std::string& value,
                                            int& commands_run) const
{
    std::vector<std::string> words;
    if (!command_words(command, words, commands_run) || words.size() < 2 ||
        !acf_is_pure_path_subcommand(words[1]))
        return false;
    // The same trusted interpreter answers the safe ones' "file", so the answers are the same.
    const SCOPED_OBJECTS objects(words);
    const int code = Tcl_EvalObjv(m_path_helper, objects.count(), objects.get(), TCL_EVAL_GLOBAL);
    if (code == TCL_OK) value = Tcl_GetString(Tcl_GetObjResult(m_path_helper));
    Tcl_ResetResult(m_path_helper);
    return code == TCL_OK;
}
