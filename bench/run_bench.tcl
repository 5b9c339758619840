# Runs the IP upgrade table benchmark on synthetic projects of the given sizes:
# tclsh run_bench.tcl BENCH_PROGRAM WORK_DIR SIZE ?SIZE ...?
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

if {$argc < 3} {
    puts stderr "Usage: tclsh run_bench.tcl BENCH_PROGRAM WORK_DIR SIZE ?SIZE ...?"
    exit 2
}
lassign $argv program work_dir
set results [dict create]
foreach size [lrange $argv 2 end] {
    set vpf [ensure_project [file join $work_dir $size] $size]
    dict set results $size [exec $program $vpf]
}

set format "%10s  %8s  %11s  %11s  %11s  %11s  %11s  %12s  %12s"
report_line $format variations entries "open" "(processor)" "first load" "(processor)" "second load" \
    "memory open" "peak memory"
foreach {size result} $results {
    dict with result {
        report_line $format $size $entries "$open_s s" "$open_cpu_s s" "$first_load_s s" \
            "$first_load_cpu_s s" "$second_load_s s" "$open_mib MiB" "$peak_mib MiB"
    }
}

# Targets: 10,000 variations within 2 s, and 20,000 within 2.2 times that.
if {[dict exists $results 10000]} {
    set ten [dict get $results 10000 first_load_s]
    puts [expr {$ten > 2.0 ? "10000 variations: $ten s, over the 2 s target" : "10000 variations: within 2 s"}]
    if {[dict exists $results 20000]} {
        set ratio [expr {[dict get $results 20000 first_load_s] / max($ten, 0.001)}]
        puts [format "20000 against 10000 variations: %.2f times (target at most 2.2)" $ratio]
    }
}
