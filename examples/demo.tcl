# Demo of the IP-upgrade module: run with `vorlin_sh -t examples/demo.tcl`.
# Opens each revision of the example project, loads its IP upgrade table and prints one
# line per top-level IP variation, read back through the table commands; then upgrades a
# scratch copy of the project.
#
# The two revisions target different device families on purpose: the current board
# (Crest V, a newer family) shows family mismatches as warnings, while the first board
# (Crest II, an older family) blocks IP made for another family or another edition.

set project_file [file join [file dirname [file normalize [info script]]] blinky blinky.vpf]

package require ::vorlin::ipman
namespace import ::vorlin::ipman::*
puts "Commands of ::vorlin::ipman [package present ::vorlin::ipman]:"
puts "  [join [lsort [namespace eval ::vorlin::ipman {namespace export}]] {, }]\n"

set columns {
    entity          Entity
    tool_name       IP
    version         Version
    compatibility   Compatibility
    upgrade_status  {Upgrade status}
    eol             {End of life}
}

# The rows of the loaded table, one list of field values per variation.
proc table_rows {} {
    global columns
    set rows {}
    foreach_in_collection id [get_ip_list] {
        set row {}
        foreach {field title} $columns {
            lappend row [get_ip_info_field -id $id -field $field]
        }
        lappend rows $row
    }
    return $rows
}

# Prints rows under the column titles, each column as wide as its widest text.
proc print_table {rows} {
    global columns
    set titles [dict values $columns]
    set widths [lmap title $titles {string length $title}]
    foreach row $rows {
        set widths [lmap width $widths text $row {expr {max($width, [string length $text])}}]
    }
    set format "  [join [lmap width $widths {string cat %- $width s}] {  }]"
    foreach row [list $titles [lmap width $widths {string repeat - $width}] {*}$rows] {
        puts [string trimright [format $format {*}$row]]
    }
}

foreach revision {blinky blinky_c2} {
    project_open $project_file -revision $revision
    puts "Revision $revision: family [get_global_assignment -name FAMILY],\
          device [get_global_assignment -name DEVICE]"
    set count [load_ip_upgrade_table]
    puts "$count top-level IP variations"
    print_table [table_rows]
    unload_ip_upgrade_table
    project_close
    puts ""
}

# Where the IP sits in the design: elaborating the top level (rtl/blinky.v) gives each
# variation the hierarchy paths of its instances. The VHDL debouncer is not elaborated.
project_open $project_file -revision blinky
puts "Design hierarchy of revision blinky: [elaborate_design] instances"
load_ip_upgrade_table
foreach_in_collection id [get_ip_list] {
    set paths [get_ip_info_field -id $id -field instance_paths]
    puts [format "  %-10s %s" [get_ip_info_field -id $id -field entity] \
        [expr {[llength $paths] ? [join $paths {, }] : "(not instantiated)"}]]
}
unload_ip_upgrade_table
project_close
puts ""

# Upgrading: a scratch copy of the project (the checked-in one stays as it is), its current
# board. The table before, the upgrade with its progress, the report it wrote, the table
# after and the settings lines the upgrade rewrote.
proc read_file {path} {
    set in [open $path]
    set text [read $in]
    close $in
    return $text
}

set scratch [file join [expr {[info exists env(TMPDIR)] ? $env(TMPDIR) : "/tmp"}] vorlin_demo_[pid]]
file delete -force $scratch
file copy [file dirname $project_file] $scratch
set settings_before [split [read_file [file join $scratch blinky.vsf]] \n]

project_open [file join $scratch blinky.vpf] -revision blinky
puts "Upgrading a scratch copy of the project: $scratch"
puts "Before:"
load_ip_upgrade_table
print_table [table_rows]

puts "\nregenerate_ip -all"
set failed [catch {regenerate_ip -all} result]
puts "\nregenerate_ip [expr {$failed ? {failed} : {passed}}]; one line per variation:"
foreach line $result {
    puts "  [lindex $line 0 0] ([lindex $line 0 1]): [lindex $line 1]"
}

puts "\nThe report's text copy, [file join $scratch blinky.ipregen.rpt]:"
puts [read_file [file join $scratch blinky.ipregen.rpt]]

puts "After:"
load_ip_upgrade_table
print_table [table_rows]
unload_ip_upgrade_table

puts "\nSettings lines the upgrade rewrote (blinky.vsf):"
set settings_after [split [read_file [file join $scratch blinky.vsf]] \n]
foreach before $settings_before after $settings_after {
    if {$before ne $after} {
        puts "  - $before\n  + $after"
    }
}
project_close
file delete -force $scratch
