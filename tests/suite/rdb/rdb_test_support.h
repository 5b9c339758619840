//! @file rdb_test_support.h
//! @brief A small report with every kind of object, and a dump that compares reports whole.
#pragma once

#include <rdb/rdb.h>

#include <memory>
#include <string>

//! Folder "IP Upgrade" (summary, red table with a ragged and an empty row, legal HTML notice,
//! messages) below a main folder that also holds a nested folder; plus a second main folder.
inline std::unique_ptr<RDB_REPORT> sample_report(const std::string& revision, const std::string& entity)
{
    auto report = std::make_unique<RDB_REPORT>(revision, RDB_REPORT_TYPE_COMPILATION);
    RDB_FOLDER_OBJECT* main = rdb_util_create_skeleton_main_folder(report.get());
    auto ip = std::make_unique<RDB_FOLDER_OBJECT>("IP Upgrade");
    auto summary = rdb_create_summary_object("IP Upgrade Summary");
    rdb_set_summary_data(summary.get(), RDB_REVISION_NAME, revision);
    rdb_set_summary_data(summary.get(), RDB_FAMILY, "Crest V");
    ip->add_object(std::move(summary));
    auto table = rdb_create_table("Failed Upgrade IP Components");
    table->set_color(RDB_COLOR_RED);
    table->add_row(rdb_create_row({"Entity Name", "Message"}));
    table->add_row(rdb_create_row({entity,
                                   "gr\xc3\xb6\xc3\x9f"
                                   "er 'quoted'; -- not SQL",
                                   "extra"}));
    table->add_row(rdb_create_row({}));
    ip->add_object(std::move(table));
    auto legal = std::make_unique<RDB_LEGAL_OBJECT>("<p>Use &amp; terms</p>");
    legal->set_is_html(true);
    ip->add_object(std::move(legal));
    auto messages = std::make_unique<RDB_MESSAGES_OBJECT>("IP Upgrade Messages");
    messages->add_message({"Info", 11131, "started"});
    messages->add_message({"Error", 0, "line one\nline two"});
    ip->add_object(std::move(messages));
    auto nested = std::make_unique<RDB_FOLDER_OBJECT>("Nested");
    nested->add_object(std::make_unique<RDB_FOLDER_OBJECT>("Empty"));
    ip->add_object(std::move(nested));
    main->add_object(std::move(ip));
    report->add_main_folder(std::make_unique<RDB_FOLDER_OBJECT>("Second"));
    return report;
}

//! The whole report as text: every object, its kind and contents, so reports compare whole.
inline std::string dump(const RDB_REPORT* report)
{
    return report ? RDB_REPORT_GEN(*report, report->get_revision()).render() : "(none)";
}
