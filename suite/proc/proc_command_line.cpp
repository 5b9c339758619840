//! @file proc_command_line.cpp
//! @brief Splitting a command string into program and argument words: blanks separate,
//! double quotes group, nothing else is special.
#include <proc/proc.h>

std::vector<std::string> thr_split_command_line(const std::string& command)
{
    std::vector<std::string> words;
    std::string word;
    bool in_word = false;  // a word has started, possibly with an empty "" group
    bool quoted = false;
    for (const char c : command) {
        if (c == '"') {
            quoted = !quoted;
            in_word = true;
        } else if (!quoted && (c == ' ' || c == '\t')) {
            if (in_word) words.push_back(std::move(word));
            word.clear();
            in_word = false;
        } else {
            word += c;
            in_word = true;
        }
    }
    // An unterminated quote simply runs to the end of the command.
    if (in_word) words.push_back(std::move(word));
    return words;
}
