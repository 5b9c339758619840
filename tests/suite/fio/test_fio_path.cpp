//! @file test_fio_path.cpp
//! @brief Path splitting, flattening and relating.
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
}

TEST(FioPath, ExtensionTypeOfTextAgreesWithTheSplitPath)
{
    for (const char* path :
         {"/d/top.V", "/d/sys.tessel", "ip.vip", "/d/x.GWIP", "/d/.vhd", "/d/...", "/d/a.v/", "/d.v/top",
          "/d/a.tar.vhdl", "/d/name.", "noext", "", "/d/a.verylongextension"})
        EXPECT_EQ(fio_get_extension_type_of_text(path), fio_get_extension_type(FIO_PATH(path))) << path;
    EXPECT_EQ(fio_get_extension_type_of_text("/d/top.Vhd"), FIO_EXT_VHDL);
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
    // What is_absolute_and_flat vouches for, become_absolute gives back unchanged.
    for (const char* path : {"/", "/a", "/a/b.v", "/a/b/", "/a/.hidden", "/a/name.", "/a/..b", "a/b", "/a//b",
                             "/a/./b", "/a/../b", "/a/.", "//a", ""})
        EXPECT_EQ(FIO_PATH::is_absolute_and_flat(path),
                  FIO_PATH(path).become_absolute("/x").fullpath() == path && path[0] == '/')
            << path;
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

}  // namespace
