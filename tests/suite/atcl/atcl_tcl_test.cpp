// Collections and their Tcl commands, package set-up and tear-down, the interpreter record
// and the small Tcl helpers of the framework.
#include <atcl/atcl.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class AtclInterpreter : public ::testing::Test {
protected:
    void SetUp() override
    {
        interp.reset(Tcl_CreateInterp());
        atcl_register_collection_commands(interp.get());
    }
    //! Evaluates a script; answers "code: result".
    std::string eval(const std::string& script)
    {
        const int code = Tcl_Eval(interp.get(), script.c_str());
        return std::to_string(code) + ": " + Tcl_GetStringResult(interp.get());
    }
    void set_var(const char* name, const std::string& value)
    {
        Tcl_SetVar(interp.get(), name, value.c_str(), TCL_GLOBAL_ONLY);
    }
    ATCL_INTERP_PTR interp;
};

//! Counts how many of its kind are alive, to see who deletes iterators.
class COUNTED_ITER : public ATCL_TCL_COLLECTION_ITER {
public:
    explicit COUNTED_ITER(std::size_t count) : m_count(count) { ++alive; }
    ~COUNTED_ITER() override { --alive; }
    std::size_t current_position() const override { return m_index; }
    void reset() override { m_index = 0; }
    void advance() override { ++m_index; }
    bool is_done() const override { return m_index >= m_count; }
    std::size_t size() const override { return m_count; }
    static int alive;

private:
    std::size_t m_count;
    std::size_t m_index = 0;
};
int COUNTED_ITER::alive = 0;

int ok_command(ClientData, Tcl_Interp* interp, int, Tcl_Obj* const*)
{
    Tcl_SetObjResult(interp, Tcl_NewStringObj("ok", -1));
    return TCL_OK;
}

}  // namespace

TEST_F(AtclInterpreter, ForeachVisitsElementsInOrderWithBreakAndContinue)
{
    set_var("c", atcl_create_collection({"a", "b c", "d", "e"}));
    EXPECT_EQ(eval("set seen {}; foreach_in_collection x $c {"
                   "  if {$x eq {b c}} continue; if {$x eq {e}} break; lappend seen $x}; set seen"),
              "0: a d");
    EXPECT_EQ(eval("get_collection_size $c"), "0: 4");
}

TEST_F(AtclInterpreter, ForeachReportsBodyErrorsWithTheirPlace)
{
    set_var("c", atcl_create_collection({"a"}));
    EXPECT_EQ(eval("foreach_in_collection x $c {\n error boom }"), "1: boom");
    const std::string trace = Tcl_GetVar(interp.get(), "errorInfo", TCL_GLOBAL_ONLY);
    EXPECT_NE(trace.find("(\"foreach_in_collection\" body line 2)"), std::string::npos);
    EXPECT_EQ(eval("proc f {c} {foreach_in_collection x $c {return inner}; return outer}; f $c"), "0: inner");
}

TEST_F(AtclInterpreter, DefaultElementTextIsThePosition)
{
    set_var("c", atcl_create_collection(new COUNTED_ITER(3), false));
    EXPECT_EQ(eval("set s {}; foreach_in_collection i $c {lappend s $i}; set s"), "0: 0 1 2");
}

TEST_F(AtclInterpreter, NestedLoopsAndDeletionInsideTheBodyAreSafe)
{
    set_var("c", atcl_create_collection({"1", "2"}));
    EXPECT_EQ(
        eval("set s {}; foreach_in_collection x $c {foreach_in_collection y $c {lappend s $x$y}}; set s"),
        "0: 11 12 21 22");
    const std::string handle = Tcl_GetVar(interp.get(), "c", TCL_GLOBAL_ONLY);
    Tcl_CreateObjCommand(
        interp.get(), "drop",
        [](ClientData data, Tcl_Interp*, int, Tcl_Obj* const*) {
            atcl_delete_collection_iter(static_cast<std::string*>(data)->c_str());
            return TCL_OK;
        },
        const_cast<std::string*>(&handle), nullptr);
    EXPECT_EQ(eval("set s {}; foreach_in_collection x $c {drop; lappend s $x}; set s"), "0: 1 2");
    EXPECT_EQ(eval("get_collection_size $c"), "1: ERROR: Invalid collection handle \"" + handle + "\".");
}

TEST_F(AtclInterpreter, UnknownAndEmptyHandles)
{
    EXPECT_EQ(eval("foreach_in_collection x nope {}"), "1: ERROR: Invalid collection handle \"nope\".");
    EXPECT_EQ(eval("set n 0; foreach_in_collection x {} {incr n}; list $n [get_collection_size {}]"),
              "0: 0 0");
    EXPECT_EQ(eval("foreach_in_collection x"),
              "1: ERROR: Missing required argument <collection> of foreach_in_collection.");
}

TEST(AtclCollections, OwnershipDecidesWhoDeletesTheIterator)
{
    COUNTED_ITER::alive = 0;
    const std::string owned = atcl_create_collection(new COUNTED_ITER(1), false);
    EXPECT_EQ(COUNTED_ITER::alive, 1);
    EXPECT_TRUE(atcl_delete_collection_iter(owned.c_str()));
    EXPECT_EQ(COUNTED_ITER::alive, 0);
    EXPECT_FALSE(atcl_delete_collection_iter(owned.c_str()));

    COUNTED_ITER kept(2);
    EXPECT_EQ(kept.get_collection_handle(), nullptr);
    const std::string handle = atcl_create_collection(&kept, true);
    EXPECT_EQ(handle, kept.get_collection_handle());
    EXPECT_EQ(atcl_find_collection(handle.c_str()), &kept);
    EXPECT_TRUE(atcl_delete_collection_iter(handle.c_str()));
    EXPECT_FALSE(kept.is_valid());
    EXPECT_EQ(atcl_find_collection(handle.c_str()), nullptr);
}

TEST_F(AtclInterpreter, PackageCommandsAreCreatedExportedAndRemoved)
{
    const ATCL_CALLBACK callbacks[] = {
        {ok_command, "alpha", nullptr}, {ok_command, "beta", nullptr}, {nullptr, nullptr, nullptr}};
    atcl_begin_package_setup("::test::pkg", "2.0", nullptr, nullptr, false);
    atcl_register_callbacks(callbacks);
    EXPECT_EQ(atcl_end_package_setup(interp.get()), TCL_OK);
    Tcl_PkgProvideEx(interp.get(), "::test::pkg", "2.0", nullptr);
    EXPECT_EQ(eval("::test::pkg::beta"), "0: ok");
    EXPECT_EQ(eval("lsort [namespace eval ::test::pkg {namespace export}]"), "0: alpha beta");

    atcl_begin_package_setup("::test::pkg", "2.0", "module", "prefix", true);
    EXPECT_EQ(atcl_unregister_package(interp.get()), TCL_OK);
    atcl_end_package_setup(interp.get());
    EXPECT_EQ(eval("info commands ::test::pkg::*"), "0: ");
    EXPECT_EQ(eval("package provide ::test::pkg"), "0: ");
}

TEST(AtclPackage, EndingASetupWithoutInterpreterFailsQuietly)
{
    ASSERT_EQ(atcl_get_interpreter(), nullptr);
    const ATCL_CALLBACK callbacks[] = {{ok_command, "gamma", nullptr}, {nullptr, nullptr, nullptr}};
    atcl_begin_package_setup("::test::none", "1.0", nullptr, nullptr, false);
    atcl_register_callbacks(callbacks);
    EXPECT_EQ(atcl_end_package_setup(), TCL_ERROR);
    // The failed setup is over: a new one may begin.
    atcl_begin_package_setup("::test::none", "1.0", nullptr, nullptr, true);
    atcl_end_package_setup();
}

TEST(AtclInterp, TheRecordIsClearedWhenItsInterpreterIsDeleted)
{
    Tcl_Interp* first = Tcl_CreateInterp();
    Tcl_Interp* second = Tcl_CreateInterp();
    atcl_set_interpreter(first);
    EXPECT_EQ(atcl_get_interpreter(), first);
    atcl_set_interpreter(second);
    Tcl_DeleteInterp(first);  // no longer recorded: must leave the record alone
    EXPECT_EQ(atcl_get_interpreter(), second);
    Tcl_DeleteInterp(second);
    EXPECT_EQ(atcl_get_interpreter(), nullptr);
}

TEST(AtclInterp, ModulesLinkedIntoThisTestAreNotInAShell)
{
    EXPECT_TRUE(atcl_is_dynamically_loading());
}

TEST(AtclHelpers, ListSplitting)
{
    std::vector<std::string> elements = {"stale"};
    EXPECT_TRUE(atcl_tcl_get_mult_string_from_tcl_obj(nullptr, "{Crest V} crest2 \"a b\"", elements));
    EXPECT_EQ(elements, (std::vector<std::string>{"Crest V", "crest2", "a b"}));
    EXPECT_TRUE(atcl_tcl_get_mult_string_from_tcl_obj(nullptr, "", elements));
    EXPECT_TRUE(elements.empty());
    elements = {"stale"};
    EXPECT_FALSE(atcl_tcl_get_mult_string_from_tcl_obj(nullptr, "a {b", elements));
    EXPECT_TRUE(elements.empty());
}

TEST(AtclHelpers, TransformedStringsSurviveADoubleQuotedWord)
{
    ATCL_INTERP_PTR interp(Tcl_CreateInterp());
    const std::string nasty = "a \"b\" $x [exit 3] \\n {c}";
    ASSERT_EQ(atcl_tcl_eval(interp.get(), "set v \"" + atcl_transform_string(nasty) + "\""), TCL_OK);
    EXPECT_EQ(Tcl_GetStringResult(interp.get()), nasty);
}

TEST(AtclHelpers, ParsingInterpretersAreSafe)
{
    ATCL_INTERP_PTR interp = atcl_make_interpreter();
    EXPECT_EQ(atcl_tcl_eval(interp.get(), "llength {a b}"), TCL_OK);
    EXPECT_EQ(atcl_tcl_eval(interp.get(), "exec true"), TCL_ERROR);
    EXPECT_EQ(atcl_tcl_eval(interp.get(), "open /etc/passwd"), TCL_ERROR);
}
