//! @file rdb_text_copy_test.cpp
//! @brief The text copy of a report, as a person reads it and as a diff compares it.
#include "rdb_test_support.h"
#include "support/test_support.h"

#include <rdb/rdb_plain_text.h>

#include <gtest/gtest.h>

namespace {

TEST(RdbTextCopy, RendersContentsHeadingsTablesSummariesLegalAndMessages)
{
    auto report = sample_report("top", "e\x1b[31m");
    auto* ip = static_cast<RDB_FOLDER_OBJECT*>(report->get_main_folder()->find_object("IP Upgrade"));
    RDB_REPORT_GEN gen(*report, "IP Upgrade report for top");
    gen.add_toc_entry(ip);
    EXPECT_EQ(gen.render(), R"(IP Upgrade report for top
=========================

Table of Contents
  IP Upgrade
    IP Upgrade Summary
    Failed Upgrade IP Components
    Legal Notice
    IP Upgrade Messages
    Nested
      Empty

--- Default Main Folder / IP Upgrade / IP Upgrade Summary ---
Revision Name : top
Family        : Crest V

--- Default Main Folder / IP Upgrade / Failed Upgrade IP Components (red) ---
+-------------+-----------------------------+-------+
| Entity Name | Message                     |       |
+-------------+-----------------------------+-------+
| e [31m      | größer 'quoted'; -- not SQL | extra |
|             |                             |       |
+-------------+-----------------------------+-------+

--- Default Main Folder / IP Upgrade / Legal Notice ---
Use & terms

--- Default Main Folder / IP Upgrade / IP Upgrade Messages ---
Info (11131): started
Error: line one
    line two
)");
}

TEST(RdbTextCopy, HtmlBecomesPlainWrappedText)
{
    EXPECT_EQ(rdb_strip_html(
                  "<p>One<BR/>two &lt;x&gt; &amp;amp; &#65;&bogus;</p>\n\n<p class=\"a\">\x1b[2J three</p>"),
              "One\ntwo <x> &amp; A&bogus;\n\n [2J three\n");
    EXPECT_EQ(rdb_wrap("aa bb cc\nlongword", 5), (std::vector<std::string>{"aa bb", "cc", "longword"}));
    EXPECT_EQ(rdb_display_width("gr\xc3\xb6\xc3\x9f"), 4u);
}

TEST(RdbTextCopy, WritesAtomicallyAndRefusesWithAReason)
{
    TEMP_DIR dir;
    auto report = sample_report("top", "e");
    EXPECT_NE(find_object_recursively(report->get_main_folder(), "Empty"), nullptr);
    RDB_REPORT_GEN gen(*report, "All");  // no entries: the whole report
    std::string error;
    ASSERT_TRUE(gen.write_report_files(dir.file("top.ipregen.rpt"), false, &error)) << error;
    EXPECT_EQ(read_text(dir.file("top.ipregen.rpt")), gen.render());
    EXPECT_NE(gen.render().find("\n  Second\n"), std::string::npos);

    dir.write("old.rpt", "old");
    EXPECT_FALSE(gen.write_report_files(dir.file("old.rpt"), false, &error));
    EXPECT_NE(error.find("exists"), std::string::npos) << error;
    EXPECT_EQ(read_text(dir.file("old.rpt")), "old");
    ASSERT_TRUE(gen.write_report_files(dir.file("old.rpt"), true, &error)) << error;
    EXPECT_FALSE(gen.write_report_files(dir.file("missing/top.rpt"), true, &error));
    EXPECT_NE(error.find("does not exist"), std::string::npos) << error;
}

}  // namespace
