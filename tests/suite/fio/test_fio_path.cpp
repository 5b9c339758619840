//! @file test_fio_path.cpp
//! @brief Path splitting, flattening, relating and extension classification.
#include <fio/fio.h>

#include <gtest/gtest.h>

#include <unistd.h>

namespace {

struct PATH_PARTS {
    const char* path;
    const char* directory;
    const char* base;
    const char* extension;
};

TEST(FioPath, SplitsIntoDirectoryBaseAndExtension)
{
    const PATH_PARTS cases[] = {
        {"/d/top.v", "/d", "top", "v"},      {"/d/archive.tar.gz", "/d", "archive.tar", "gz"},
        {"/d/.hidden", "/d", ".hidden", ""}, {"top.v", "", "top", "v"},
        {"/top.v", "/", "top", "v"},         {"a//b/c.vhd", "a//b", "c", "vhd"},
        {"/d/..", "/d", "..", ""},           {"/d/sub/", "/d/sub", "", ""},
    };
    for (const auto& c : cases) {
        const FIO_PATH path(c.path);
        EXPECT_EQ(path.directory(), c.directory) << c.path;
        EXPECT_EQ(path.base(), c.base) << c.path;
        EXPECT_EQ(path.extension(), c.extension) << c.path;
        EXPECT_EQ(path.fullpath(), c.path);
    }
    EXPECT_EQ(FIO_PATH("name.").fullpath(), "name.");
    EXPECT_EQ(FIO_PATH("/d/", "top.v").fullpath(), "/d/top.v");
    EXPECT_EQ(FIO_PATH("", "top.v").fullpath(), "top.v");

    FIO_PATH backup("/d/top.v");
    backup.base(backup.base() + ".BAK");
    EXPECT_EQ(backup.fullpath(), "/d/top.BAK.v");
}

TEST(FioPath, FlattenRemovesDotsAndRepeatedSeparators)
{
    const std::pair<const char*, const char*> cases[] = {
        {"/a/b/../c", "/a/c"},
        {"/a/./b//c", "/a/b/c"},
        {"//a///b", "/a/b"},
        {"/../x", "/x"},
        {"/a/../..", "/"},
        {"../../a/./b", "../../a/b"},
        {"a/../../b", "../b"},
        {"a/..", "."},
        {"/a/b/", "/a/b/"},
        {"a/b/../", "a/"},
        {"", ""},
    };
    for (const auto& [input, expected] : cases)
        EXPECT_EQ(FIO_PATH(input).flatten().fullpath(), expected) << input;
}

TEST(FioPath, BecomeAbsoluteAnchorsRelativePathsOnly)
{
    EXPECT_EQ(FIO_PATH("src/../top.v").become_absolute("/proj").fullpath(), "/proj/top.v");
    EXPECT_EQ(FIO_PATH("top.v").become_absolute("/proj/").fullpath(), "/proj/top.v");
    EXPECT_EQ(FIO_PATH("/x/./y.v").become_absolute("/proj").fullpath(), "/x/y.v");
    EXPECT_TRUE(FIO_PATH("").become_absolute("/proj").empty());

    char cwd[4096];
    ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
    EXPECT_EQ(FIO_PATH("top.v").become_absolute().fullpath(), FIO_PATH(cwd, "top.v").flatten().fullpath());
    EXPECT_TRUE(FIO_PATH("top.v").relative());
    EXPECT_TRUE(FIO_PATH("/top.v").is_absolute());
}

TEST(FioPath, RelativeToDirectory)
{
    EXPECT_EQ(FIO_PATH("/p/r/s.v").get_relative_to("/p/q"), "../r/s.v");
    EXPECT_EQ(FIO_PATH("/p/r/s.v").get_relative_to("/p/q/"), "../r/s.v");
    EXPECT_EQ(FIO_PATH("/p/q/s.v").get_relative_to("/p/q"), "s.v");
    EXPECT_EQ(FIO_PATH("/p/s.v").get_relative_to("/"), "p/s.v");
    EXPECT_EQ(FIO_PATH("/p/s.v").get_relative_to("/x/y/z"), "../../../p/s.v");
    // A directory keeps its trailing separator: the generated list directory of a system.
    EXPECT_EQ(FIO_PATH("/p/sys/").get_relative_to("/p/"), "sys/");
    EXPECT_EQ(FIO_PATH("/p/sys/synthesis/").get_relative_to("/p"), "sys/synthesis/");
    EXPECT_EQ(FIO_PATH("/p/q").get_relative_to("/p/q"), ".");
    EXPECT_EQ(FIO_PATH("/p/q/").get_relative_to("/p/q"), "./");
    // Names that share a prefix are different directories.
    EXPECT_EQ(FIO_PATH("/p/qq/s.v").get_relative_to("/p/q"), "../qq/s.v");
}

TEST(FioExtension, ClassifiesByExtensionIgnoringCase)
{
    const std::pair<const char*, FIO_EXTENSION_TYPE> cases[] = {
        {"a.vip", FIO_EXT_VIP},          {"a.tessel", FIO_EXT_TESSEL}, {"a.GWIP", FIO_EXT_GWIP},
        {"a.v", FIO_EXT_VERILOG},        {"a.vo", FIO_EXT_VERILOG},    {"a.VT", FIO_EXT_VERILOG},
        {"a.vhd", FIO_EXT_VHDL},         {"a.vhdl", FIO_EXT_VHDL},     {"a.vho", FIO_EXT_VHDL},
        {"a.sv", FIO_EXT_SYSTEMVERILOG}, {"a.vpf", FIO_EXT_VPF},       {"a.vsf", FIO_EXT_VSF},
        {"a.Tcl", FIO_EXT_TCL},          {"a.txt", FIO_EXT_UNKNOWN},   {"vip", FIO_EXT_UNKNOWN},
        {".vip", FIO_EXT_UNKNOWN},       {"dir.v/", FIO_EXT_UNKNOWN},  {"a.tessel.bak", FIO_EXT_UNKNOWN},
    };
    for (const auto& [path, type] : cases)
        EXPECT_EQ(fio_get_extension_type(path), type) << path;
    EXPECT_TRUE(fio_is_hdl_extension_type(fio_get_extension_type("x.sv")));
    EXPECT_FALSE(fio_is_hdl_extension_type(fio_get_extension_type("x.vip")));
}

}  // namespace
