# Runs the IP upgrade table benchmark on synthetic projects of the given sizes, beside two
# floors measured on the same files in the same run:
#   tclsh run_bench.tcl BENCH_PROGRAM FLOOR_READ_PROGRAM WORK_DIR SIZE ?SIZE ...?
# (a) evaluating the settings file and every IP list in one plain Tcl interpreter
#     (floor_tcl.tcl), the floor of opening a project;
# (b) opening and reading every file the project names once (floor_read), the floor of
#     loading its IP table.
# Projects are generated once into WORK_DIR/SIZE and again when the generator changes.

set generator [file join [file dirname [file normalize [info script]]] make_bench_project.tcl]
source $generator

proc ensure_project {dir size} {
    set vpf [file join $dir bench.vpf]
    if {![file exists $vpf] || [file mtime $vpf] < [file mtime $::generator]} {
        puts "Writing a project with $size variations to $dir"
        bench_project::write $dir $size
    }
    return $vpf
}

proc report_line {format args} {
    puts [format $format {*}$args]
}

if {$argc < 4} {
    puts stderr "Usage: tclsh run_bench.tcl BENCH_PROGRAM FLOOR_READ_PROGRAM WORK_DIR SIZE ?SIZE ...?"
    exit 2
}
lassign $argv program floor_read work_dir
set floor_tcl [file join [file dirname [file normalize [info script]]] floor_tcl.tcl]
set results [dict create]
foreach size [lrange $argv 3 end] {
    set dir [file join $work_dir $size]
    set vpf [ensure_project $dir $size]
    set named [file join $dir named_files.txt]
    # Floors first, so that all three read from the same warm page cache.
    set floors [exec [info nameofexecutable] $floor_tcl $dir bench $named]
    set floors [dict merge $floors [exec $floor_read $named]]
    dict set results $size [dict merge [exec $program $vpf] $floors]
}

proc ratio {value floor} {
    return [format "%.2f" [expr {$value / max($floor, 0.001)}]]
}

set format "%10s  %8s  %8s  %9s  %6s  %8s  %9s  %6s  %8s  %6s  %10s  %10s"
report_line $format variations entries "open" "floor (a)" "ratio" "1st load" "floor (b)" "ratio" \
    "2nd load" "ratio" "mem open" "peak mem"
foreach {size result} $results {
    dict with result {
        report_line $format $size $entries "$open_s s" "$floor_tcl_s s" [ratio $open_s $floor_tcl_s] \
            "$first_load_s s" "$floor_read_s s" [ratio $first_load_s $floor_read_s] \
            "$second_load_s s" [ratio $second_load_s $floor_read_s] "$open_mib MiB" "$peak_mib MiB"
    }
}

# Growth against proportional: 1.00 is linear.
set sizes [dict keys $results]
for {set i 1} {$i < [llength $sizes]} {incr i} {
    set small [lindex $sizes [expr {$i - 1}]]
    set large [lindex $sizes $i]
    set scale [expr {double($large) / $small}]
    foreach step {open_s first_load_s second_load_s} {
        set growth [expr {[dict get $results $large $step] / max([dict get $results $small $step], 0.001) / $scale}]
        lappend growth_line [format "%s %.2f" $step $growth]
    }
    puts "$small -> $large variations, growth against proportional: [join $growth_line {, }]"
    unset growth_line
}
