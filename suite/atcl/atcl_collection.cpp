//! @file atcl_collection.cpp
//! @brief Collections: opaque handles naming iterators, owned by the framework or the caller,
//! and the Tcl values that hold the handles of collections freed with them.
#include <atcl/atcl.h>

#include <msg/msg.h>

#include <fmt/format.h>

#include <cstring>
#include <map>

namespace {

//! One collection. It leaves the registry when deleted or, when it lives with its Tcl values,
//! when the last of them goes; the record itself stays while values still point at it.
struct COLLECTION {
    std::string handle;
    ATCL_TCL_COLLECTION_ITER* iter = nullptr;
    std::unique_ptr<ATCL_TCL_COLLECTION_ITER> owned;  //!< null when the caller keeps the iterator
    bool freed_with_values = false;
    bool registered = true;
    std::size_t values = 0;  //!< Tcl values whose internal representation points here
};

std::map<std::string, COLLECTION*>& collections()
{
    // Never destroyed: Tcl may free the last values holding handles while the process exits,
    // after static objects are gone.
    static auto* by_handle = new std::map<std::string, COLLECTION*>;
    return *by_handle;
}

std::string next_handle()
{
    static unsigned long long counter = 0;
    return fmt::format("_vorlin_collection_{}", ++counter);
}

COLLECTION* find(const char* handle)
{
    if (!handle) return nullptr;
    auto found = collections().find(handle);
    return found == collections().end() ? nullptr : found->second;
}

void unregister(COLLECTION* collection)
{
    collections().erase(collection->handle);
    collection->registered = false;
    if (!collection->owned && collection->iter) collection->iter->invalidate();
    collection->owned.reset();
    collection->iter = nullptr;
}

void release_value(COLLECTION* collection)
{
    if (--collection->values > 0) return;
    if (collection->registered && collection->freed_with_values) unregister(collection);
    if (!collection->registered) delete collection;
}

COLLECTION* collection_of(const Tcl_Obj* value)
{
    return static_cast<COLLECTION*>(value->internalRep.twoPtrValue.ptr1);
}

// The Tcl value type of a handle. Tcl frees the internal representation when the value's
// reference count drops to zero, and also when the value is turned into another type.
void free_internal(Tcl_Obj* value)
{
    release_value(collection_of(value));
}

void duplicate_internal(Tcl_Obj* source, Tcl_Obj* copy);

void update_string(Tcl_Obj* value)
{
    const std::string& handle = collection_of(value)->handle;
    value->bytes = Tcl_Alloc(static_cast<unsigned>(handle.size() + 1));
    std::memcpy(value->bytes, handle.c_str(), handle.size() + 1);
    value->length = static_cast<int>(handle.size());
}

const Tcl_ObjType collection_type = {"vorlin_collection", free_internal, duplicate_internal, update_string,
                                     nullptr};

void set_internal(Tcl_Obj* value, COLLECTION* collection)
{
    value->internalRep.twoPtrValue.ptr1 = collection;
    value->internalRep.twoPtrValue.ptr2 = nullptr;
    value->typePtr = &collection_type;
    ++collection->values;
}

void duplicate_internal(Tcl_Obj* source, Tcl_Obj* copy)
{
    set_internal(copy, collection_of(source));
}

Tcl_Obj* new_handle_value(COLLECTION* collection)
{
    Tcl_Obj* value = Tcl_NewStringObj(collection->handle.data(), static_cast<int>(collection->handle.size()));
    set_internal(value, collection);
    return value;
}

COLLECTION* create(ATCL_TCL_COLLECTION_ITER* iter, bool caller_keeps_ownership, bool freed_with_values)
{
    MSG_INTERNAL_ERROR_IF(iter == nullptr, "ATCL");
    auto* collection = new COLLECTION;
    collection->handle = next_handle();
    collection->iter = iter;
    if (!caller_keeps_ownership) collection->owned.reset(iter);
    collection->freed_with_values = freed_with_values;
    collections()[collection->handle] = collection;
    iter->set_collection_handle(collection->handle);
    return collection;
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
    return create(iter, caller_keeps_ownership, false)->handle;
}

std::string atcl_create_collection(const std::vector<std::string>& elements)
{
    return atcl_create_collection(new ATCL_STRING_COLLECTION_ITER(elements), false);
}

Tcl_Obj* atcl_new_collection_obj(std::vector<std::string> elements)
{
    return new_handle_value(create(new ATCL_STRING_COLLECTION_ITER(std::move(elements)), false, true));
}

Tcl_Obj* atcl_collection_obj(const std::string& handle)
{
    COLLECTION* collection = find(handle.c_str());
    return collection ? new_handle_value(collection)
                      : Tcl_NewStringObj(handle.data(), static_cast<int>(handle.size()));
}

bool atcl_delete_collection_iter(const char* handle)
{
    COLLECTION* collection = find(handle);
    if (!collection) return false;
    unregister(collection);
    if (collection->values == 0) delete collection;
    return true;
}

ATCL_TCL_COLLECTION_ITER* atcl_find_collection(const char* handle)
{
    COLLECTION* collection = find(handle);
    return collection ? collection->iter : nullptr;
}

std::size_t atcl_live_collection_count()
{
    return collections().size();
}
