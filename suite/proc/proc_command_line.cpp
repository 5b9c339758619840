//! @file proc_command_line.cpp
//! @brief Splitting a command string into program and argument words: blanks separate,
//! double quotes group, a backslash inside quotes keeps a double quote or a backslash.
#include <proc/proc.h>

std::vector<std::string> thr_split_command_line(const std::string& command)
{
    std::vector<std::string> words;
    std::string word;
    bool in_word = false;  // a word has started, possibly with an empty "" group
    bool quoted = false;
    for (std::size_t i = 0; i < command.size(); ++i) {
        const char c = command[i];
        const bool escapes_next = quoted && c == '\\' && i + 1 < command.size() &&
                                  (command[i + 1] == '"' || command[i + 1] == '\\');
        if (escapes_next) {
            word += command[++i];
        } else if (c == '"') {
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

std::string thr_quote_word(const std::string& word)
{
    std::string quoted = "\"";
    for (const char c : word) {
        if (c == '"' || c == '\\') quoted += '\\';
        quoted += c;
    }
    return quoted + "\"";
}

std::string thr_command_word(const std::string& word)
{
    return word.empty() || word.find_first_of(" \t\"") != std::string::npos ? thr_quote_word(word) : word;
}
