# Floor (a) of the benchmark: the cost of evaluating a revision's settings file and every IP
# list it reaches in one plain Tcl interpreter, with set_global_assignment doing nothing.
#   tclsh floor_tcl.tcl PROJECT_DIR REVISION ?NAMED_FILES_OUT?
# Prints "floor_tcl_s S lists N". With NAMED_FILES_OUT it also writes, in an
# untimed pass before, the absolute path of every file the project names (one per line), the
# input of floor (b).

lassign $argv project_dir revision named_out
set project_dir [file normalize $project_dir]

# The IP lists a project reaches: lists named by VIP_FILE, and the list generation wrote for a
# system or gwip file; every list is read once.
proc generated_list {path} {
    set base [file rootname [file tail $path]]
    set dir [file join [file dirname $path] $base]
    foreach candidate [list [file join $dir $base.vip] [file join $dir synthesis $base.vip]] {
        if {[file isfile $candidate]} { return $candidate }
    }
    return ""
}

proc resolve {dir value} {
    return [file normalize [file join $dir $value]]
}

# Untimed: which lists and files the revision names.
proc collect_names {project_dir revision} {
    set lists {}
    set named {}
    set queue [list [list [file join $project_dir $revision.vsf] $project_dir]]
    set seen [dict create]
    while {[llength $queue]} {
        set queue [lassign $queue entry]
        lassign $entry file dir
        if {[dict exists $seen $file] || ![file isfile $file]} { continue }
        dict set seen $file 1
        if {[file extension $file] eq ".vip"} { lappend lists $file }
        set interp [interp create]
        $interp eval [list set vip_dir [file dirname $file]]
        interp alias $interp set_global_assignment {} record_assignment $dir
        set ::found {}
        $interp eval [list source $file]
        interp delete $interp
        foreach {name value} $::found {
            if {![string match *_FILE $name]} { continue }
            set path [resolve $dir $value]
            lappend named $path
            switch -- $name {
                VIP_FILE { lappend queue [list $path $project_dir] }
                TESSEL_FILE - GWIP_FILE {
                    set list [generated_list $path]
                    if {$list ne ""} { lappend queue [list $list $project_dir] }
                }
            }
        }
    }
    return [list $lists [lsort -unique $named]]
}

proc record_assignment {dir args} {
    set name ""
    for {set i 0} {$i < [llength $args]} {incr i} {
        set word [lindex $args $i]
        switch -- $word {
            -name { set name [lindex $args [incr i]] }
            -entity - -library { incr i }
            default { set value $word }
        }
    }
    lappend ::found $name $value
}

lassign [collect_names $project_dir $revision] lists named
if {$named_out ne ""} {
    set out [open $named_out w]
    puts $out [join $named \n]
    close $out
}

# Timed: one plain interpreter, a no-op command, the settings file and every list.
set interp [interp create]
$interp eval {proc set_global_assignment args {}}
set start [clock microseconds]
$interp eval [list set vip_dir $project_dir]
$interp eval [list source [file join $project_dir $revision.vsf]]
foreach list $lists {
    $interp eval [list set vip_dir [file dirname $list]]
    $interp eval [list source $list]
}
set elapsed [expr {([clock microseconds] - $start) / 1e6}]
puts [format "floor_tcl_s %.3f lists %d" $elapsed [llength $lists]]
