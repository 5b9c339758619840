# Floor (a) of the benchmark: the cost of evaluating a revision's settings file and every IP
# list it reaches in one plain Tcl interpreter, with set_global_assignment doing nothing.
#   tclsh floor_tcl.tcl PROJECT_DIR REVISION ?NAMED_FILES_OUT?
# Prints "floor_tcl_s S lists N". With NAMED_FILES_OUT it also writes, in an
# untimed pass before, the absolute path of every file the project names (one per line), the
# input of floor (b), and the lists it reaches to NAMED_FILES_OUT.lists; while both are newer
# than the settings file, later runs take them from there.

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

proc write_lines {path lines} {
    set out [open $path w]
    puts $out [join $lines \n]
    close $out
}

proc read_lines {path} {
    set in [open $path]
    set lines [split [string trimright [read $in] \n] \n]
    close $in
    return $lines
}

# The names are collected once per project: the collection, an interpreter per file, takes
# far longer than the timed part, and a benchmark round runs this script again.
set settings [file join $project_dir $revision.vsf]
set lists_out $named_out.lists
if {$named_out ne "" && [file exists $lists_out] && [file mtime $lists_out] >= [file mtime $settings]} {
    set lists [read_lines $lists_out]
} else {
    lassign [collect_names $project_dir $revision] lists named
    if {$named_out ne ""} {
        write_lines $named_out $named
        write_lines $lists_out $lists
    }
}

# Untimed: the files are read once before, so that the timed part finds them as warm as the
# collection leaves them (and as the module finds them, run right after the floors).
foreach file [list $settings {*}$lists] {
    set in [open $file]
    read $in
    close $in
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
