//! @file vorlin_sh_completion.cpp
//! @brief Tab completion at the prompt.
#include "vorlin_sh_completion.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <readline/readline.h>

namespace {

Tcl_Interp* g_interp = nullptr;
std::vector<std::string> g_matches;

//! The elements of a list a script answers; none when it fails. The result is put back.
std::vector<std::string> list_of(const std::vector<std::string>& words)
{
    Tcl_Obj* saved = Tcl_GetObjResult(g_interp);
    Tcl_IncrRefCount(saved);
    std::vector<Tcl_Obj*> objv;
    for (const std::string& word : words) {
        objv.push_back(Tcl_NewStringObj(word.c_str(), static_cast<int>(word.size())));
        Tcl_IncrRefCount(objv.back());
    }
    std::vector<std::string> elements;
    int count = 0;
    Tcl_Obj** items = nullptr;
    if (Tcl_EvalObjv(g_interp, static_cast<int>(objv.size()), objv.data(), TCL_EVAL_GLOBAL) == TCL_OK &&
        Tcl_ListObjGetElements(nullptr, Tcl_GetObjResult(g_interp), &count, &items) == TCL_OK) {
        for (int i = 0; i < count; ++i)
            elements.emplace_back(Tcl_GetString(items[i]));
    }
    for (Tcl_Obj* obj : objv)
        Tcl_DecrRefCount(obj);
    Tcl_SetObjResult(g_interp, saved);
    Tcl_DecrRefCount(saved);
    return elements;
}

char* next_match(const char*, int state)
{
    static std::size_t next = 0;
    if (state == 0) next = 0;
    return next < g_matches.size() ? strdup(g_matches[next++].c_str()) : nullptr;
}

char** matches_of(const std::vector<std::string>& candidates, const char* text)
{
    g_matches.clear();
    const std::size_t length = std::strlen(text);
    for (const std::string& candidate : candidates) {
        if (candidate.compare(0, length, text) == 0) g_matches.push_back(candidate);
    }
    rl_attempted_completion_over = 1;
    return rl_completion_matches(text, next_match);
}

//! The words typed before the one being completed, from the start of its command (after
//! the last "[" or ";"); the first names the command.
std::vector<std::string> words_before(int start)
{
    const std::string line(rl_line_buffer, static_cast<std::size_t>(start));
    const std::size_t command_start = line.find_last_of("[;");
    std::vector<std::string> words;
    std::size_t word = command_start == std::string::npos ? 0 : command_start + 1;
    while ((word = line.find_first_not_of(" \t", word)) != std::string::npos) {
        const std::size_t end = line.find_first_of(" \t", word);
        words.push_back(line.substr(word, end - word));
        word = end;
    }
    return words;
}

char** complete(const char* text, int start, int)
{
    const std::vector<std::string> before = words_before(start);
    if (before.empty()) {
        // Qualified names are listed per namespace; plain ones are the global commands.
        const bool qualified = std::strstr(text, "::") != nullptr;
        return matches_of(list_of({"info", "commands", qualified ? std::string(text) + "*" : "*"}), text);
    }
    if (text[0] == '-') return matches_of(list_of({"::vorlin::shell::option_words", before.front()}), text);
    return nullptr;  // readline's file-name completion
}

}  // namespace

void vorlin_sh_install_completion(Tcl_Interp* interp)
{
    g_interp = interp;
    rl_readline_name = "vorlin_sh";
    rl_attempted_completion_function = complete;
    // Tcl words break at blanks, command substitution and separators, not at "::" or "-".
    static char breaks[] = " \t\n[;{\"";
    rl_completer_word_break_characters = breaks;
}
