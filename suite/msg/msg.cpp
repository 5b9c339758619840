//! @file msg.cpp
//! @brief Posting messages: printing, the kept record list, listeners, the suppression
//! index and the registry of numeric ids.
#include <msg/msg.h>

#include <cfg/cfg.h>

#include <fmt/format.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <mutex>
#include <sstream>

namespace {

//! The posted messages of this process and who listens to them.
class MESSAGE_LOG {
public:
    static MESSAGE_LOG& instance()
    {
        static MESSAGE_LOG log;
        return log;
    }

    void post(const MSG_RECORD& record)
    {
        std::vector<MSG_LISTENER> listeners;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            print(record);
            m_records.push_back(record);
            for (const auto& entry : m_listeners)
                listeners.push_back(entry.second);
        }
        // Called outside the lock so a listener may post or unregister itself.
        for (const auto& listener : listeners)
            listener(record);
    }

    const std::vector<MSG_RECORD>& records() const { return m_records; }

    void clear()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_records.clear();
    }

    int add_listener(MSG_LISTENER listener)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_listeners.emplace(++m_last_handle, std::move(listener));
        return m_last_handle;
    }

    void remove_listener(int handle)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_listeners.erase(handle);
    }

private:
    static void print(const MSG_RECORD& record)
    {
        if (record.id != 0)
            fmt::print(stdout, "{} ({}): {}\n", msg_severity_label(record.type), record.id, record.text);
        else
            fmt::print(stdout, "{}: {}\n", msg_severity_label(record.type), record.text);
        std::fflush(stdout);
    }

    std::mutex m_mutex;
    std::vector<MSG_RECORD> m_records;
    std::map<int, MSG_LISTENER> m_listeners;
    int m_last_handle = 0;
};

//! Errors are always shown; information and warnings may be suppressed by id.
bool is_skipped(MSG_POST_TYPE type, int id)
{
    return type != MSG_POST_ERROR && id != 0 && MSG_INDEX::get_default_index().is_suppressed(id);
}

void post_record(const MSG_RECORD& record)
{
    if (!is_skipped(record.type, record.id)) MESSAGE_LOG::instance().post(record);
}

std::map<int, MSG_POST_TYPE>& registered_ids()
{
    static std::map<int, MSG_POST_TYPE> ids;
    return ids;
}

std::mutex& registry_mutex()
{
    static std::mutex mutex;
    return mutex;
}

}  // namespace

MSG_BASE::MSG_BASE(MSG_POST_TYPE type) : m_type(type) {}

MSG_BASE::~MSG_BASE() = default;

void MSG_BASE::post()
{
    post_record(MSG_RECORD{m_type, m_id, m_identifier, m_text});
}

void msg_post_text(MSG_POST_TYPE type, const std::string& text, int id)
{
    post_record(MSG_RECORD{type, id, std::string(), text});
}

const std::vector<MSG_RECORD>& msg_posted_messages()
{
    return MESSAGE_LOG::instance().records();
}

void msg_clear_posted_messages()
{
    MESSAGE_LOG::instance().clear();
}

int msg_add_listener(MSG_LISTENER listener)
{
    return MESSAGE_LOG::instance().add_listener(std::move(listener));
}

void msg_remove_listener(int handle)
{
    MESSAGE_LOG::instance().remove_listener(handle);
}

std::vector<int> msg_parse_id_list(const std::string& text)
{
    std::string separated(text);
    std::replace(separated.begin(), separated.end(), ',', ' ');
    std::istringstream words(separated);
    std::vector<int> ids;
    std::string word;
    while (words >> word) {
        char* end = nullptr;
        const long id = std::strtol(word.c_str(), &end, 10);
        if (end != word.c_str() && *end == '\0' && id > 0 && id <= 0x7fffffff)
            ids.push_back(static_cast<int>(id));
    }
    return ids;
}

MSG_INDEX::MSG_INDEX() = default;

MSG_INDEX& MSG_INDEX::get_default_index()
{
    static MSG_INDEX index;
    return index;
}

bool MSG_INDEX::is_suppressed(int id) const
{
    if (std::find(m_suppressed.begin(), m_suppressed.end(), id) != m_suppressed.end()) return true;
    const std::vector<int> configured = msg_parse_id_list(cfg_get_value("suppress_message_ids"));
    return std::find(configured.begin(), configured.end(), id) != configured.end();
}

void MSG_INDEX::suppress(int id)
{
    if (std::find(m_suppressed.begin(), m_suppressed.end(), id) == m_suppressed.end())
        m_suppressed.push_back(id);
}

void MSG_INDEX::unsuppress(int id)
{
    m_suppressed.erase(std::remove(m_suppressed.begin(), m_suppressed.end(), id), m_suppressed.end());
}

void MSG_INDEX::reload_from_user_settings()
{
    m_suppressed.clear();
    cfg_reload();
}

MSG_ID_REGISTRAR::MSG_ID_REGISTRAR(const int* ids, const MSG_POST_TYPE* types, std::size_t count)
{
    std::lock_guard<std::mutex> lock(registry_mutex());
    for (std::size_t i = 0; i < count; ++i)
        registered_ids()[ids[i]] = types[i];
}

bool MSG_ID_REGISTRAR::lookup(int id, MSG_POST_TYPE& type)
{
    std::lock_guard<std::mutex> lock(registry_mutex());
    const auto found = registered_ids().find(id);
    if (found == registered_ids().end()) return false;
    type = found->second;
    return true;
}

const char* msg_severity_label(MSG_POST_TYPE type)
{
    switch (type) {
    case MSG_POST_ERROR:
        return "Error";
    case MSG_POST_WARNING:
        return "Warning";
    default:
        return "Info";
    }
}
