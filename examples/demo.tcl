# Demo of the IP-upgrade module: run with `vorlin_sh -t examples/demo.tcl`.
# Lists the module's commands, then opens the example project and shows its design
# assignments, with each IP list's content indented below the assignment that names it.

set project_file [file join [file dirname [file normalize [info script]]] blinky blinky.vpf]

package require ::vorlin::ipman
puts "Commands of ::vorlin::ipman [package present ::vorlin::ipman]:"
foreach command [lsort [info commands ::vorlin::ipman::*]] {
    puts "  [namespace tail $command]"
}

project_open $project_file
set project_dir "[pwd]/"
puts ""
puts "Project [file rootname [file tail $project_file]] in $project_dir"
puts "  family [get_global_assignment -name FAMILY], device [get_global_assignment -name DEVICE],\
      top-level entity [get_global_assignment -name TOP_LEVEL_ENTITY]"

# Paths inside the project are shown relative to it.
proc shown {path} {
    global project_dir
    if {[string first $project_dir $path] == 0} {
        return [string range $path [string length $project_dir] end]
    }
    return $path
}

puts ""
puts "Design assignments:"
# An IP list is indented one step deeper than the assignment that brought it in; the
# origin of a list's assignments is that assignment's value as written.
set depth_of_origin [dict create {} 0]
foreach_in_collection assignment [get_all_global_assignments -design] {
    set name [dict get $assignment name]
    set value [dict get $assignment value]
    set origin [dict get $assignment origin]
    set depth [expr {[dict exists $depth_of_origin $origin] ? [dict get $depth_of_origin $origin] : 1}]
    if {$name in {VIP_FILE TESSEL_FILE GWIP_FILE}} {
        dict set depth_of_origin $value [expr {$depth + 1}]
    }
    set entity [dict get $assignment entity]
    set label [expr {$entity eq "" ? $name : "$name ($entity)"}]
    puts [format "  %s%-[expr {36 - 2 * $depth}]s %s" [string repeat "  " $depth] $label [shown $value]]
}

project_close
