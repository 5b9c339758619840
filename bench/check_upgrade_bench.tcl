# Checks that the upgrade benchmark times work that succeeds: with the stand-in generators
# every variation the upgrade takes on passes, the settings rewrite renames every file
# assignment of the settings file, and the original project stays as it was.
#   tclsh check_upgrade_bench.tcl UPGRADE_PROGRAM WORK_DIR
set here [file dirname [file normalize [info script]]]
source [file join $here make_bench_project.tcl]
source [file join $here upgrade_bench.tcl]

lassign $argv program work_dir
set original [file join $work_dir project]
bench_project::write $original 20
proc read_file {path} {
    set stream [open $path]
    try { return [read $stream] } finally { close $stream }
}
set settings_before [read_file [file join $original bench.vsf]]
set root [upgrade_bench::make_standin_root [file join $work_dir standin-root]]

set failures {}
set upgrade [upgrade_bench::run_on_copy $program upgrade $original [file join $work_dir upgrade] $root]
if {[dict get $upgrade code] != 0 || [dict get $upgrade failed] != 0 || [dict get $upgrade passed] != 10} {
    lappend failures "upgrade with the stand-ins: $upgrade"
}
set rewrite [upgrade_bench::run_on_copy $program settings $original [file join $work_dir settings] $::env(VORLIN_ROOTDIR)]
if {[dict get $rewrite assignments] != 20 || [dict get $rewrite renamed] != 20} {
    lappend failures "settings rewrite: $rewrite"
}
if {[read_file [file join $original bench.vsf]] ne $settings_before || [file exists [file join $work_dir upgrade]]} {
    lappend failures "the original project changed or its copy stayed"
}
if {$failures ne {}} {
    puts stderr [join $failures \n]
    exit 1
}
puts "stand-ins and settings rewrite checked"
