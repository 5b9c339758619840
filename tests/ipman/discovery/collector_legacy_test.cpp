//! @file collector_legacy_test.cpp
//! @brief Collecting legacy wizard variations, protected cores, target families and device
//! requirements; the collector's reading discipline on the assignment library.
#include "ipman/discovery/collector_test_support.h"

#include <ipcatalog/ipcatalog.h>

using namespace collector_test;

namespace {

using LINES = std::vector<std::string>;

class COLLECTOR_LEGACY_TEST : public COLLECTOR_TEST {
protected:
    void SetUp() override
    {
        COLLECTOR_TEST::SetUp();
        open_project("disc_legacy");
        collect();
    }
};

}  // namespace

TEST_F(COLLECTOR_LEGACY_TEST, RecordsOfLegacyProtectedAndPlainVariations)
{
    EXPECT_EQ(
        summaries(),
        (LINES{
            // No core in the list: the wizard line gives it; counter8_bb.v is named after
            // another entity; the family comes from the retrieval information.
            "ip/counter8/counter8.vip | legacy counter8 | $P/ip/counter8/counter8.v | "
            "$P/ip/counter8/counter8.v"
            " | kv_counter 23.1 | verilog | ----- | Crest II | ",
            // The list's core, version and families outrank the wizard file's.
            "ip/ram_vhd/ram_vhd.vip | legacy ram_vhd | $P/ip/ram_vhd/ram_vhd.vhd | $P/ip/ram_vhd/ram_vhd.vhd"
            " | kv_ram_1port 22.1 | vhdl | ----- | Ember II,Crest V | ",
            // A wizard line without version; the catalog names the core's family parameter.
            "ip/mult_nover/mult_nover.vip | legacy mult_nover | $P/ip/mult_nover/mult_nover.v"
            " | $P/ip/mult_nover/mult_nover.v | kv_mult  | verilog | ----- | Cinder | ",
            // A protected core is regenerated from its file; a protected wizard file stays legacy.
            "ip/secure_fir/secure_fir.vip | unclassified secure_fir | $P/ip/secure_fir/secure_fir.v |  | "
            "fir_filter 23.1"
            " | verilog | E---- |  | ",
            "ip/secure_counter/secure_counter.vip | legacy secure_counter | "
            "$P/ip/secure_counter/secure_counter.v"
            " | $P/ip/secure_counter/secure_counter.v | kv_counter 22.1 | verilog | E---- | Ember II | ",
            // Device Agnostic is kept, an unknown family name dropped.
            "ip/agnostic/agnostic.vip | unclassified agnostic |  |  | fifo_buffer 23.1 | verilog | ----- | "
            "Device Agnostic | ",
            // A family value that is no Tcl list adds nothing; duplicates are kept. Requirements
            // need exactly a name and a value; the last value wins.
            "ip/requirements/requirements.vip | unclassified requirements |  |  | ddr_controller 24.1 | - | "
            "-----"
            " | Crest VII,Crest II,Crest VII | HAS_HBM=1,SPEED=I3",
            // empty.vip names no entity and gives no record.
        }));
}

TEST_F(COLLECTOR_LEGACY_TEST, LeavesLocksAndFiltersAsItFoundThem)
{
    ACF_REVISION_MANAGER* revision = acf()->get_revision_manager();
    ACF_ASSIGNMENT_LIST unfiltered;
    acf()->get_all_assignments(unfiltered, false);

    // A filter set before is no excuse to miss assignments, and none is left behind.
    acf()->set_variable_trait_filter(ACF_TRAIT_FILE);
    collect();
    EXPECT_EQ(records().size(), 7u);
    EXPECT_FALSE(revision->is_read_locked());
    ACF_ASSIGNMENT_LIST after;
    acf()->get_all_assignments(after, false);
    EXPECT_EQ(after.size(), unfiltered.size());

    // A lock the caller holds is used, not released.
    ASSERT_TRUE(revision->read_lock(true));
    collect();
    EXPECT_TRUE(revision->is_read_locked());
    EXPECT_EQ(records().size(), 7u);
    revision->read_unlock();
}
