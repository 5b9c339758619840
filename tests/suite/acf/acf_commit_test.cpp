//! @file acf_commit_test.cpp
//! @brief Changing assignments and committing: order kept, IP lists untouched, values that
//! read back the same, and commits that survive SIGKILL.
#include "suite/acf/acf_test_support.h"

#include <chrono>
#include <csignal>
#include <random>
#include <sys/wait.h>
#include <unistd.h>

using namespace acf_test;

namespace {

class ACF_COMMIT_TEST : public ACF_TEST {
protected:
    //! Removes every assignment and adds it back in order, as an upgrade does; the
    //! assignment whose written value is rename_from gets a fresh type and value.
    static void remove_all_and_add_back(const std::string& rename_from = "",
                                        const std::string& rename_to = "")
    {
        ACF_REVISION_MANAGER* revision = manager()->get_revision_manager();
        ASSERT_TRUE(revision->write_lock(true));
        ACF_ASSIGNMENT_LIST list;
        manager()->get_all_assignments(list, false);
        std::vector<ACF_MGR_INPUT_PARAMETERS> saved(list.size());
        for (std::size_t i = 0; i < list.size(); ++i)
            list[i]->fill_in_input_parameter(saved[i]);
        for (ACF_ASSIGNMENT* a : list)
            ASSERT_TRUE(manager()->remove_assignment(a));
        for (ACF_MGR_INPUT_PARAMETERS& params : saved) {
            if (!rename_from.empty() && params.get_value_string() == rename_from) {
                params.reset();
                params.set_variable_type(acf_fio_file_type_to_var_type(fio_get_extension_type(rename_to)));
                params.set_value_string(rename_to);
            }
            ASSERT_NE(manager()->add_assignment(params), nullptr);
        }
        EXPECT_TRUE(revision->write_unlock(true)) << manager()->get_last_error();
    }
};

//! Rows without line numbers: rewriting the settings file may move lines.
std::vector<std::string> placed_values(const std::vector<ROW>& rows)
{
    std::vector<std::string> out;
    for (const ROW& r : rows)
        out.push_back(r.name + "=" + r.written + " origin=" + r.origin + " in " + r.file);
    return out;
}

}  // namespace

TEST_F(ACF_COMMIT_TEST, RenamedFileKeepsItsPlaceAndListAssignmentsStayInTheirLists)
{
    const std::string vsf_before = read_text(dir() + "main.vsf");
    const std::string outer_before = read_text(dir() + "ip/outer.vip");
    const std::string inner_before = read_text(dir() + "ip/inner/inner.vip");
    open(dir() + "nested.vpf");
    const std::vector<ROW> before = all_rows();
    remove_all_and_add_back();
    EXPECT_EQ(all_rows(), before);
    // Nothing changed, so the settings file keeps its own layout and comment.
    EXPECT_EQ(read_text(dir() + "main.vsf"), vsf_before);

    remove_all_and_add_back("sys/soc.tessel", "sys/soc.vip");
    const std::vector<ROW> after = all_rows();

    EXPECT_EQ(read_text(dir() + "main.vsf"), "set_global_assignment -name FAMILY {Crest V}\n"
                                             "set_global_assignment -name DEVICE CV5A-F1152-I2\n"
                                             "set_global_assignment -name TOP_LEVEL_ENTITY top\n"
                                             "set_global_assignment -name VERILOG_FILE src/top.v\n"
                                             "set_global_assignment -name VIP_FILE ip/outer.vip\n"
                                             "set_global_assignment -name VHDL_FILE ./src/../src/util.vhd\n"
                                             "set_global_assignment -name VIP_FILE sys/soc.vip\n"
                                             "set_global_assignment -name ALWAYS_REGENERATE_IP ON\n"
                                             "set_global_assignment -name NUM_PARALLEL_PROCESSORS 4\n");
    EXPECT_EQ(read_text(dir() + "ip/outer.vip"), outer_before);
    EXPECT_EQ(read_text(dir() + "ip/inner/inner.vip"), inner_before);

    // Reading back gives the committed model, minus the generated list the old system
    // file brought in (sys/soc.vip does not exist: a warning, nothing read).
    manager()->close_project();
    open(dir() + "nested.vpf");
    std::vector<std::string> expected = placed_values(after);
    expected.erase(std::remove_if(expected.begin(), expected.end(),
                                  [](const std::string& r) {
                                      return r.find("origin=sys/soc.tessel") != std::string::npos;
                                  }),
                   expected.end());
    EXPECT_EQ(placed_values(all_rows()), expected);
}

TEST_F(ACF_COMMIT_TEST, ValuesReadBackExactly)
{
    open(dir() + "nested.vpf");
    const std::vector<std::string> values{
        "two words",   "a{b",        "}", "$x [y] \\z", "-looks-like-an-option", "-name", "",
        "line\nbreak", "\"quoted\"", ";", "#hash"};
    for (const std::string& value : values) {
        ACF_MGR_INPUT_PARAMETERS params;
        params.set_variable_type(ACF_VAR_IP_PARAMETER);
        params.set_entity("entity with space");
        params.set_library("lib{");
        params.set_value_string(value);
        ASSERT_NE(manager()->add_assignment(params), nullptr);
    }
    ASSERT_TRUE(manager()->commit()) << manager()->get_last_error();
    manager()->close_project();

    open(dir() + "nested.vpf");
    ACF_MGR_INPUT_PARAMETERS query;
    query.set_variable_type(ACF_VAR_IP_PARAMETER);
    ACF_ASSIGNMENT_LIST list;
    manager()->get_revision_manager()->get_global_assignment_coll(&query, list, true);
    std::vector<std::string> read_back;
    for (const ACF_ASSIGNMENT* a : list) {
        read_back.push_back(a->get_unmodified_value());
        EXPECT_EQ(a->get_entity_name(), "entity with space");
        EXPECT_EQ(a->get_library_name(), "lib{");
    }
    EXPECT_EQ(read_back, values);
}

// A child process commits a large settings file over and over; the parent kills it at
// random moments. Every kill must leave exactly one of the two contents.
TEST_F(ACF_COMMIT_TEST, KilledCommitLeavesOldOrNewFileNeverATornOne)
{
    write_text(dir() + "crash.vpf", "revision big\n");
    std::string big;
    for (int i = 0; i < 10000; ++i)
        big += "set_global_assignment -name VERILOG_FILE src/generated/module_" + std::to_string(i) + ".v\n";
    write_text(dir() + "big.vsf", big);
    open(dir() + "crash.vpf");

    // The two contents alternate in the marker assignment at the end.
    auto switch_marker = [](ACF_ASSIGNMENT*& marker, const char* value) {
        if (marker != nullptr) manager()->remove_assignment(marker);
        ACF_MGR_INPUT_PARAMETERS params;
        params.set_variable_type(ACF_VAR_TOP_LEVEL_ENTITY);
        params.set_value_string(value);
        marker = manager()->add_assignment(params);
        return manager()->commit();
    };
    ACF_ASSIGNMENT* marker = nullptr;
    ASSERT_TRUE(switch_marker(marker, "first"));
    const std::string first = read_text(dir() + "big.vsf");
    ASSERT_TRUE(switch_marker(marker, "second"));
    const std::string second = read_text(dir() + "big.vsf");
    ASSERT_NE(first, second);

    // The kill delay spans about two commits, measured here because the machine may be busy.
    const auto started = std::chrono::steady_clock::now();
    ASSERT_TRUE(switch_marker(marker, "first"));
    ASSERT_TRUE(switch_marker(marker, "second"));
    const auto period_us =
        std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - started)
            .count() /
        2;

    // On a busy machine one span may miss a content: rounds go on, with longer spans, until
    // both were seen.
    std::mt19937 random(20240601);
    int seen_first = 0, seen_second = 0;
    for (int round = 0; round < 20 || ((seen_first == 0 || seen_second == 0) && round < 200); ++round) {
        std::uniform_int_distribution<long> delay_us(0, (2 + round / 20) * period_us);
        int ready[2];
        ASSERT_EQ(pipe(ready), 0);
        const pid_t child = fork();
        ASSERT_NE(child, -1);
        if (child == 0) {
            close(ready[0]);
            for (bool flip = true, told = false;; flip = !flip) {
                if (!switch_marker(marker, flip ? "first" : "second")) _exit(2);
                if (!told && (write(ready[1], "r", 1) != 1 || close(ready[1]) != 0)) _exit(3);
                told = true;
            }
        }
        close(ready[1]);
        char byte = 0;
        // Kills land while the child keeps committing, not while it is still starting up.
        const bool child_committed = read(ready[0], &byte, 1) == 1;
        close(ready[0]);
        if (child_committed) usleep(static_cast<useconds_t>(delay_us(random)));
        kill(child, SIGKILL);
        int status = 0;
        waitpid(child, &status, 0);
        ASSERT_TRUE(child_committed && WIFSIGNALED(status))
            << "the committing child ended by itself: " << status;

        const std::string now = read_text(dir() + "big.vsf");
        ASSERT_TRUE(now == first || now == second)
            << "torn settings file after round " << round << ", size " << now.size();
        (now == first ? seen_first : seen_second) += 1;
    }
    // Kills at random moments find both contents.
    EXPECT_GT(seen_first, 0);
    EXPECT_GT(seen_second, 0);
}

TEST_F(ACF_COMMIT_TEST, SettingsAnswerTheLastAssignmentThroughEveryChange)
{
    open(dir() + "nested.vpf");
    ACF_REVISION_MANAGER* revision = manager()->get_revision_manager();
    const auto family = [] { return manager()->get_global_assignment_string(ACF_VAR_FAMILY); };
    const auto own_setting = [] {
        ACF_MGR_INPUT_PARAMETERS query;
        query.set_variable_name("MY_OWN_SETTING");
        return manager()->get_global_assignment_value(query) ? query.get_value_string() : "<none>";
    };
    const auto params = [](ACF_VARIABLE_TYPE_ENUM type, const std::string& name, const std::string& value) {
        ACF_MGR_INPUT_PARAMETERS made;
        made.set_variable_type(type);
        made.set_variable_name(name);
        made.set_value_string(value);
        return made;
    };
    ASSERT_EQ(family(), "Crest V");
    ASSERT_TRUE(revision->write_lock(true));
    ACF_ASSIGNMENT_LIST families;
    ACF_MGR_INPUT_PARAMETERS query = params(ACF_VAR_FAMILY, "", "");
    revision->get_global_assignment_coll(&query, families, true);
    ASSERT_EQ(families.size(), 1u);

    ACF_ASSIGNMENT* later = manager()->add_assignment(params(ACF_VAR_FAMILY, "FAMILY", "Crest X"));
    EXPECT_EQ(family(), "Crest X");
    EXPECT_TRUE(manager()->remove_assignment(later));
    EXPECT_EQ(family(), "Crest V");
    revision->replace_assignment(families[0], params(ACF_VAR_FAMILY, "FAMILY", "Crest W"));
    EXPECT_EQ(family(), "Crest W");
    EXPECT_EQ(revision->replace_assignment(families[0], params(ACF_VAR_FAMILY, "FAMILY", "X")), nullptr);

    EXPECT_EQ(own_setting(), "<none>");
    manager()->add_assignment(params(ACF_VAR_UNKNOWN, "MY_OWN_SETTING", "a"));
    ACF_ASSIGNMENT* second = manager()->add_assignment(params(ACF_VAR_UNKNOWN, "MY_OWN_SETTING", "b"));
    EXPECT_EQ(own_setting(), "b");
    EXPECT_TRUE(manager()->remove_assignment(second));
    EXPECT_EQ(own_setting(), "a");
    revision->write_unlock(false);
}
