//! @file atcl_collection.cpp
//! @brief Collections: opaque handles naming iterators, owned by the framework or the caller.
#include <atcl/atcl.h>

#include <msg/msg.h>

#include <fmt/format.h>

#include <map>

namespace {

struct COLLECTION {
    ATCL_TCL_COLLECTION_ITER* iter = nullptr;
    std::unique_ptr<ATCL_TCL_COLLECTION_ITER> owned;  //!< null when the caller keeps the iterator
};

std::map<std::string, COLLECTION>& collections()
{
    static std::map<std::string, COLLECTION> by_handle;
    return by_handle;
}

std::string next_handle()
{
    static unsigned long long counter = 0;
    return fmt::format("_vorlin_collection_{}", ++counter);
}

}  // namespace

std::string ATCL_TCL_COLLECTION_ITER::current_string() const
{
    return std::to_string(current_position());
}

void ATCL_TCL_COLLECTION_ITER::set_collection_handle(const std::string& handle)
{
    m_handle = handle;
    m_has_handle = true;
}

ATCL_STRING_COLLECTION_ITER::ATCL_STRING_COLLECTION_ITER(std::vector<std::string> elements)
    : m_elements(std::move(elements))
{
}

void ATCL_STRING_COLLECTION_ITER::advance()
{
    MSG_INTERNAL_ERROR_IF(is_done(), "ATCL");
    ++m_position;
}

std::string ATCL_STRING_COLLECTION_ITER::current_string() const
{
    return is_done() ? std::string() : m_elements[m_position];
}

std::string atcl_create_collection(ATCL_TCL_COLLECTION_ITER* iter, bool caller_keeps_ownership)
{
    MSG_INTERNAL_ERROR_IF(iter == nullptr, "ATCL");
    const std::string handle = next_handle();
    COLLECTION& collection = collections()[handle];
    collection.iter = iter;
    if (!caller_keeps_ownership) collection.owned.reset(iter);
    iter->set_collection_handle(handle);
    return handle;
}

std::string atcl_create_collection(const std::vector<std::string>& elements)
{
    return atcl_create_collection(new ATCL_STRING_COLLECTION_ITER(elements), false);
}

bool atcl_delete_collection_iter(const char* handle)
{
    if (!handle) return false;
    auto found = collections().find(handle);
    if (found == collections().end()) return false;
    if (!found->second.owned) found->second.iter->invalidate();
    collections().erase(found);
    return true;
}

ATCL_TCL_COLLECTION_ITER* atcl_find_collection(const char* handle)
{
    if (!handle) return nullptr;
    auto found = collections().find(handle);
    return found == collections().end() ? nullptr : found->second.iter;
}
