//! @file ipman_hdb_ip_finder.h
//! @brief The design-hierarchy IP finder: which instances of the elaborated design are IP
//! variations, with the hierarchy paths where each is instantiated.
#pragma once

#include <ipman/ipman_ip_info.h>

#include <map>
#include <string>
#include <vector>

class CPT_PROTECTED_FILE_READER;
class HDB_INSTANCE_NAME;
class HDB_NAMESPACE;
class HDB_SOURCE_FILE;
class IPMAN_ACF_IP_COLLECTOR;
class IPMAN_RECORD_ANALYSER;

//! Walks the instance tree and makes one record per recognised instance: from the project
//! collector for an instance of an ordinary file, from the file itself for a protected one.
//! The manager owns one; its namespace, collector and analyser are set for one walk only.
class IPMAN_HDB_IP_FINDER {
public:
    IPMAN_HDB_IP_FINDER() = default;
    virtual ~IPMAN_HDB_IP_FINDER() = default;
    IPMAN_HDB_IP_FINDER(const IPMAN_HDB_IP_FINDER&) = delete;
    IPMAN_HDB_IP_FINDER& operator=(const IPMAN_HDB_IP_FINDER&) = delete;

    //! Appends one record per recognised instance of the tree under root, depth first.
    //! Namespace and root must not be null; the collector may be.
    void find_ip_instances(HDB_NAMESPACE* name_space, HDB_INSTANCE_NAME* root,
                           const IPMAN_ACF_IP_COLLECTOR* collector, IPMAN_RECORD_ANALYSER* analyser,
                           std::vector<IPMAN_IP_INFO>& out);
    //! Whether the instance is an IP variation, its record in out; descend tells whether the
    //! instances below it are still to be examined. Needs set_context first.
    bool examine_instance(const HDB_INSTANCE_NAME* instance, IPMAN_IP_INFO& out, bool& descend);

    //! Points the finder at a design and a project; clears the protected-file cache.
    void set_context(HDB_NAMESPACE* name_space, const IPMAN_ACF_IP_COLLECTOR* collector,
                     IPMAN_RECORD_ANALYSER* analyser);
    //! Forgets the design and the project; clears the cache.
    void reset_context();
    //! Empties the protected-file cache.
    void clear() { m_protected_records.clear(); }

protected:
    //! Reads the header of a protected file; one call per protected file and walk.
    virtual bool open_protected_file(const std::string& path, CPT_PROTECTED_FILE_READER& reader);

private:
    const HDB_SOURCE_FILE* file_of(const HDB_INSTANCE_NAME& instance) const;
    bool read_protected_file(const HDB_SOURCE_FILE& file, const HDB_INSTANCE_NAME& instance,
                             IPMAN_IP_INFO& out);
    bool read_normal_file(const HDB_SOURCE_FILE& file, const HDB_INSTANCE_NAME& instance, IPMAN_IP_INFO& out);

    HDB_NAMESPACE* m_namespace = nullptr;
    const IPMAN_ACF_IP_COLLECTOR* m_collector = nullptr;
    IPMAN_RECORD_ANALYSER* m_analyser = nullptr;
    //! Full path of a protected file -> its record, shared by every instance of it.
    std::map<std::string, IPMAN_IP_INFO> m_protected_records;
};
