//! @file cfg.h
//! @brief User settings: $VORLIN_USER_INI, else $HOME/.vorlin/vorlin.ini ("name = value").
#pragma once

#include <map>
#include <string>

//! Numbered user values.
enum CFG_USER_INI_VALUE {
    CFG_NUM_PARALLEL_PROCESSORS = 79,
    CFG_PREFERRED_HDL_LANGUAGE = 108,
    CFG_PARALLEL_IP_GENERATION = 119,
};

//! True when the setting is on, true, 1 or yes (any case); the default when it is unset.
bool cfg_is_on(const std::string& name, bool default_value = false);
//! Text of a named setting, empty when unset.
std::string cfg_get_value(const std::string& name);
//! Text of a numbered user value, empty when unset or unknown.
std::string cfg_get_user_ini_value(int value_id);
//! Forgets the cached file so the next query reads it again (tests, changed environment).
void cfg_reload();
//! Sets a value for this process only (tests and scripts); not written to the file and
//! kept across cfg_reload. An empty value removes the override again.
void cfg_set_value(const std::string& name, const std::string& value);

//! Parses "name = value" lines: names lower-cased, both sides trimmed; "#" starts a
//! comment at the start of a line or after a blank; lines without "=" are ignored and a
//! later line wins. Shared with the installation's version.txt.
std::map<std::string, std::string> cfg_parse_name_value_text(const std::string& text);
