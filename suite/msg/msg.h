//! @file msg.h
//! @brief The suite's message library: posted messages, the message index, debug output
//! and the internal-error report.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

//! Severity a numeric id is registered with.
enum MSG_POST_TYPE { MSG_POST_ERROR = 0, MSG_POST_INFO = 1, MSG_POST_WARNING = 2 };

//! One posted message, as kept for the report's message section.
struct MSG_RECORD {
    MSG_POST_TYPE type = MSG_POST_INFO;
    int id = 0;              //!< numeric id, 0 when none was set
    std::string identifier;  //!< textual identifier ("IIPMAN_IPRGEN_NO_IP"), may be empty
    std::string text;        //!< formatted text
};

//! A message under construction. Format strings are "text/IDENTIFIER"; placeholders
//! "%1!s!" .. "%9!s!" are numbered string arguments inserted verbatim.
class MSG_BASE {
public:
    explicit MSG_BASE(MSG_POST_TYPE type);
    virtual ~MSG_BASE();

    //! Splits the format at its last "/" into text and identifier and fills the placeholders.
    //! A format without "/", or whose last "/" is not followed by an identifier (letters,
    //! digits, "_"), is all text.
    void fill_args(const char* format, const std::vector<std::string>& args = {});
    template <typename... Args>
    void fill_args(const char* format, const char* first, Args... rest)
    {
        fill_args(format, std::vector<std::string>{first, rest...});
    }
    void set_id(int id) { m_id = id; }

    //! Prints the message and keeps it for the report; null messages do nothing.
    virtual void post();

    std::string get_msg_text() const { return m_text; }
    const std::string& get_identifier() const { return m_identifier; }
    int get_id() const { return m_id; }
    MSG_POST_TYPE get_type() const { return m_type; }

private:
    MSG_POST_TYPE m_type;
    int m_id = 0;
    std::string m_identifier;
    std::string m_text;
};

class MSG_POST : public MSG_BASE {
    using MSG_BASE::MSG_BASE;
};
class MSG_E : public MSG_POST {
public:
    MSG_E() : MSG_POST(MSG_POST_ERROR) {}
};
class MSG_I : public MSG_POST {
public:
    MSG_I() : MSG_POST(MSG_POST_INFO) {}
};
class MSG_W : public MSG_POST {
public:
    MSG_W() : MSG_POST(MSG_POST_WARNING) {}
};
//! Stand-ins for suppressed messages: posting them does nothing.
class MSG_I_NULL : public MSG_I {
public:
    void post() override {}
};
class MSG_W_NULL : public MSG_W {
public:
    void post() override {}
};

//! Which numeric ids are skipped: the user setting "suppress_message_ids".
class MSG_INDEX {
public:
    static MSG_INDEX& get_default_index();
    //! True when information and warning messages with this id are to be skipped.
    //! The user setting is consulted on each query, so a changed setting (cfg_reload,
    //! cfg_set_value) takes effect at once.
    bool is_suppressed(int id) const;
    void suppress(int id);    //!< adds an id (tests, scripts)
    void unsuppress(int id);  //!< withdraws an id added by suppress
    //! Drops the ids added by suppress and re-reads the user settings file.
    void reload_from_user_settings();

private:
    MSG_INDEX();
    std::vector<int> m_suppressed;
};

//! The ids listed in a "suppress_message_ids" value (blank- or comma-separated).
std::vector<int> msg_parse_id_list(const std::string& text);

//! Fills "%1!s!" .. "%9!s!" of a message text with the arguments, verbatim: inserted text
//! is never scanned again, and a placeholder without an argument becomes empty.
std::string msg_fill_placeholders(const std::string& text, const std::vector<std::string>& args);

//! Registers a module's numeric ids and severities with the message service.
class MSG_ID_REGISTRAR {
public:
    MSG_ID_REGISTRAR(const int* ids, const MSG_POST_TYPE* types, std::size_t count);
    //! Severity a registered id was registered with; false when unknown.
    static bool lookup(int id, MSG_POST_TYPE& type);
};

//! "Error", "Warning" or "Info": how messages of a severity are labelled.
const char* msg_severity_label(MSG_POST_TYPE type);

//! Posting an unformatted text (the suite's own modules and plain progress lines).
void msg_post_text(MSG_POST_TYPE type, const std::string& text, int id = 0);

//! Every message posted since start or the last clear, in order.
const std::vector<MSG_RECORD>& msg_posted_messages();
void msg_clear_posted_messages();
//! Called for every posted message after it was printed (the report keeps them this way).
using MSG_LISTENER = std::function<void(const MSG_RECORD&)>;
int msg_add_listener(MSG_LISTENER listener);  //!< returns a handle for removal
void msg_remove_listener(int handle);

//! Debug output: written to standard error when VORLIN_DEBUG contains the module tag.
bool msg_debug_enabled(const char* module, int level);
void msg_local_debug(const char* module, int level, const std::string& text);

//! Broken invariants: prints "Internal Error: Sub-system: MODULE, File: F, Line: N" and
//! the condition to standard error and ends the process with exit code 3.
class MSG_INTERNAL_ERROR {
public:
    [[noreturn]] static void report(const char* condition, const char* module, const char* file, int line);
};

#define MSG_INTERNAL_ERROR_IF(cond, module)                                                                  \
    do {                                                                                                     \
        if (cond) MSG_INTERNAL_ERROR::report(#cond, module, __FILE__, __LINE__);                             \
    } while (0)
