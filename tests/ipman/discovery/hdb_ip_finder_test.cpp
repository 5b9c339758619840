//! @file hdb_ip_finder_test.cpp
//! @brief The design-hierarchy IP finder on an elaborated design: which instances are IP,
//! their paths and ids, protected files read once per walk, wrappers and proxy files.
#include "discovery/ipman_acf_ip_collector.h"
#include "discovery/ipman_hdb_ip_finder.h"
#include "discovery/ipman_record_analyser.h"

#include "support/design_test_support.h"

#include <ipman/ipman_ip_info_manager.h>

#include <protect/protect.h>

#include <map>
#include <set>

namespace {

//! Leaves every record as built: the finder's own fields are what is looked at.
class NO_ANALYSIS : public IPMAN_RECORD_ANALYSER {
public:
    void analyse_ip_info(bool, bool, bool, const std::map<std::string, std::string>&, IPMAN_IP_INFO&) override
    {
    }
    void analyse_main_ip_info(bool, bool, bool, const std::map<std::string, std::string>&,
                              const IPMAN_RECORD_ROLL_UP& roll_up, IPMAN_IP_INFO& info) override
    {
        roll_up(info);
    }
    void begin_conversion() override {}
    void end_conversion() override {}
};

class COUNTING_FINDER : public IPMAN_HDB_IP_FINDER {
public:
    std::map<std::string, int> opened;

protected:
    bool open_protected_file(const std::string& path, CPT_PROTECTED_FILE_READER& reader) override
    {
        ++opened[path];
        return IPMAN_HDB_IP_FINDER::open_protected_file(path, reader);
    }
};

//! "path: entity tool_name version status [parent]" per record, in walk order.
std::vector<std::string> describe(const std::vector<IPMAN_IP_INFO>& records)
{
    std::vector<std::string> lines;
    for (const IPMAN_IP_INFO& info : records) {
        std::string paths;
        for (const std::string& path : info.instance_paths)
            paths += path + " ";
        lines.push_back(paths + ": " + info.entity() + " " + info.tool_name() + " " + info.core_version +
                        " " + std::to_string(info.regen_status()) + " " + info.parent_entity());
    }
    return lines;
}

}  // namespace

TEST(HdbIpFinder, FindsIpInstancesReadingEachProtectedFileOnce)
{
    SKIP_WITHOUT_YOSYS();
    ELABORATED_TEST_PROJECT project;
    ASSERT_TRUE(project.ok()) << project.error();
    IPMAN_ACF_IP_COLLECTOR collector;
    collector.collect_ip_files();
    NO_ANALYSIS analysis;
    COUNTING_FINDER finder;
    HDB_DESIGN& design = project.design();
    std::vector<IPMAN_IP_INFO> found;
    finder.find_ip_instances(design.get_namespace(), design.get_root(), &collector, &analysis, found);

    // Depth first, last child first. Plain glue (no IP list) and the included helper are
    // no IP, but the protected core below the helper is; the wrapper stands for its body.
    const int COMPATIBLE = IPMAN_COMPATIBLE, ENCRYPTED = IPMAN_ENCRYPTED;
    EXPECT_EQ(describe(found),
              (std::vector<std::string>{
                  "top|u_shell : shell clock_pll 24.1 " + std::to_string(ENCRYPTED) + " N/A",
                  "top|u_sec_b : sec fir_filter 24.1 " + std::to_string(ENCRYPTED) + " N/A",
                  "top|u_sec_a : sec fir_filter 24.1 " + std::to_string(ENCRYPTED) + " N/A",
                  "top|u_helper|u_sec_c : sec fir_filter 24.1 " + std::to_string(ENCRYPTED) + " N/A",
                  "top|u_core : core kv_core Unknown " + std::to_string(COMPATIBLE) + " N/A",
                  "top|u_core|u_fifo : fifo kv_fifo Unknown " + std::to_string(COMPATIBLE) + " core",
              }));
    EXPECT_EQ(finder.opened, (std::map<std::string, int>{{project.file("ip/sec/sec.v"), 1},
                                                         {project.file("ip/shell/hid.v"), 1}}));
    std::set<std::int32_t> ids;
    for (const IPMAN_IP_INFO& info : found)
        ids.insert(info.instance_name_id);
    EXPECT_EQ(ids.size(), found.size());
    EXPECT_EQ(found[0].source_file(), project.file("ip/shell/hid.v"));
    EXPECT_EQ(found[0].vendor_name(), "Brightlane Logic");
    EXPECT_EQ(found[0].library(), "work");
    EXPECT_EQ(found[0].ip_generation_file(), "");

    // The manager's single examination: no cache left from the walk, no descent past a wrapper.
    finder.set_context(design.get_namespace(), &collector, &analysis);
    IPMAN_IP_INFO shell;
    bool descend = true;
    const HDB_INSTANCE_NAME* u_shell = nullptr;
    for (const HDB_INSTANCE_NAME* child : design.get_root()->children())
        if (child->get_name() == "u_shell") u_shell = child;
    ASSERT_NE(u_shell, nullptr);
    EXPECT_TRUE(finder.examine_instance(u_shell, shell, descend));
    EXPECT_FALSE(descend);
    EXPECT_EQ(finder.opened[project.file("ip/shell/hid.v")], 2);
    finder.reset_context();
    IPMAN_IP_INFO via_manager;
    EXPECT_TRUE(IPMAN_IP_INFO_MANAGER::get_ip_info_manager()->get_ip_info(
        design.get_namespace(), const_cast<HDB_INSTANCE_NAME*>(u_shell), &via_manager));
    EXPECT_EQ(via_manager.instance_paths, shell.instance_paths);
}

TEST(HdbIpFinder, ProxyFileIsReadForAProtectedSource)
{
    const std::string wrapper = std::string(VORLIN_TEST_DATA_DIR) + "/protected/wrapped_core.v";
    HDB_DESIGN design;
    HDB_SOURCE_FILE* file = design.add_source_file(wrapper, "");
    file->set_flag(HDB_FILE_PROTECTED);
    design.get_namespace()->add_unit("wrapped_core", file);
    design.add_instance("u_core", "wrapped_core", design.add_instance("top", "top", nullptr));
    COUNTING_FINDER finder;
    std::vector<IPMAN_IP_INFO> found;
    finder.find_ip_instances(design.get_namespace(), design.get_root(), nullptr, nullptr, found);
    ASSERT_EQ(describe(found), std::vector<std::string>{"top|u_core : wrapped_core clock_pll 24.1 8 N/A"});
    EXPECT_EQ(found[0].source_file(), wrapper);
    EXPECT_EQ(finder.opened, (std::map<std::string, int>{{wrapper + ".cpt", 1}}));
}
