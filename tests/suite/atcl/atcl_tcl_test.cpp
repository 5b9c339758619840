// Collections and their Tcl commands, the interpreter record and the Tcl helpers that keep
// values literal or interpreters safe.
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

}  // namespace

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

// Every call of a command answering a collection kept it for the life of the process.
TEST_F(AtclInterpreter, CollectionsHeldByTclValuesGoWithTheLastOfThem)
{
    const std::size_t before = atcl_live_collection_count();
    Tcl_CreateObjCommand(
        interp.get(), "make",
        [](ClientData, Tcl_Interp* in, int, Tcl_Obj* const*) {
            Tcl_SetObjResult(in, atcl_new_collection_obj({"a", "b"}));
            return TCL_OK;
        },
        nullptr, nullptr);
    EXPECT_EQ(eval("for {set i 0} {$i < 100} {incr i} {get_collection_size [make]}"), "0: ");
    EXPECT_EQ(atcl_live_collection_count(), before);
    EXPECT_EQ(eval("set c [make]; set d $c; unset c; set n [get_collection_size $d]"), "0: 2");
    EXPECT_EQ(atcl_live_collection_count(), before + 1);
    EXPECT_EQ(eval("unset d; set n"), "0: 2");
    EXPECT_EQ(atcl_live_collection_count(), before);

    // A collection its maker deletes goes at once; a value still naming it lets go of it safely.
    const std::string kept = atcl_create_collection({"x"});
    Tcl_Obj* value = atcl_collection_obj(kept);
    Tcl_IncrRefCount(value);
    EXPECT_TRUE(atcl_delete_collection_iter(kept.c_str()));
    EXPECT_EQ(atcl_live_collection_count(), before);
    Tcl_DecrRefCount(value);
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
