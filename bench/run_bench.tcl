# Runs the IP upgrade table benchmark on synthetic projects of the given sizes, beside two
# floors measured on the same files in the same run:
#   tclsh run_bench.tcl BENCH_PROGRAM FLOOR_READ_PROGRAM WORK_DIR SIZE ?SIZE ...?
#       ?-upgrade UPGRADE_PROGRAM {UPGRADE_SIZE ...} {SETTINGS_SIZE ...}?
# (a) evaluating the settings file and every IP list in one plain Tcl interpreter
#     (floor_tcl.tcl), the floor of opening a project;
# (b) opening and reading every file the project names once (floor_read), the floor of
#     loading its IP table.
# Projects are generated once into WORK_DIR/SIZE and again when the generator changes.
# With -upgrade, `regenerate_ip -all` runs on a copy of each upgrade size's project with
# generators that only write the files the upgrade checks for, and the settings rewrite of a
# copy of each SETTINGS_SIZE project runs alone beside reading and writing its .vsf once.

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

set upgrade_at [lsearch -exact $argv -upgrade]
if {$upgrade_at >= 0} {
    if {[llength $argv] != $upgrade_at + 4} {
        puts stderr "-upgrade needs UPGRADE_PROGRAM {UPGRADE_SIZE ...} {SETTINGS_SIZE ...}"
        exit 2
    }
    lassign [lrange $argv $upgrade_at+1 end] upgrade_program upgrade_sizes settings_sizes
    # A CMake list arrives with semicolons.
    set upgrade_sizes [string map {; { }} $upgrade_sizes]
    set settings_sizes [string map {; { }} $settings_sizes]
    set argv [lrange $argv 0 $upgrade_at-1]
    set argc [llength $argv]
}
if {$argc < 4} {
    puts stderr "Usage: tclsh run_bench.tcl BENCH_PROGRAM FLOOR_READ_PROGRAM WORK_DIR SIZE ?SIZE ...?\
        ?-upgrade UPGRADE_PROGRAM {UPGRADE_SIZE ...} {SETTINGS_SIZE ...}?"
    exit 2
}
lassign $argv program floor_read work_dir
set floor_tcl [file join [file dirname [file normalize [info script]]] floor_tcl.tcl]
# Each figure is the least of this many rounds: on a shared machine the page cache and the
# neighbours make single runs vary by a factor of two and more.
set rounds [expr {[info exists ::env(IPMAN_BENCH_ROUNDS)] ? $::env(IPMAN_BENCH_ROUNDS) : 7}]

# Fresh memory is not alike from run to run on the virtual machines we measure on: the host
# takes back memory the guest has left free for a second or two, and touching such memory again
# costs 1.4-2 ms per MiB where memory freed a moment ago costs 0.06. Without care a program runs
# partly on the memory the one before it freed, shorter runs (smaller projects) more so than
# longer ones. So each measured run follows an unmeasured run of the same program on the same
# project, and starts, like every size, on the memory and page cache that run just left
# (IPMAN_BENCH_WARMUP=0 leaves the warm-up out). With IPMAN_BENCH_SETTLE_MS, the measured run
# starts after that pause instead of a warm-up: 3000 puts every run on taken-back memory alike.
set warmup [expr {[info exists ::env(IPMAN_BENCH_WARMUP)] ? $::env(IPMAN_BENCH_WARMUP) : 1}]
set settle_ms [expr {[info exists ::env(IPMAN_BENCH_SETTLE_MS)] ? $::env(IPMAN_BENCH_SETTLE_MS) : 0}]

proc measured_exec {args} {
    if {$::settle_ms > 0} {
        after $::settle_ms
    } elseif {$::warmup} {
        exec {*}$args
    }
    return [exec {*}$args]
}

proc least_of {figures more} {
    dict for {name value} $more {
        if {![dict exists $figures $name] || $value < [dict get $figures $name]} {
            dict set figures $name $value
        }
    }
    return $figures
}

set results [dict create]
foreach size [lrange $argv 3 end] {
    ensure_project [file join $work_dir $size] $size
    dict set results $size [dict create]
}
# Every size in each round: a slow spell of the machine then spoils one round of every size
# rather than every round of one size.
for {set round 0} {$round < $rounds} {incr round} {
    dict for {size figures} $results {
        set dir [file join $work_dir $size]
        set named [file join $dir named_files.txt]
        # Floors first, so that all three read from the same warm page cache.
        set figures [least_of $figures [measured_exec [info nameofexecutable] $floor_tcl $dir bench $named]]
        set figures [least_of $figures [measured_exec $floor_read $named]]
        set figures [least_of $figures [measured_exec $program [file join $dir bench.vpf]]]
        dict set results $size $figures
    }
}

proc ratio {value floor} {
    return [format "%.2f" [expr {$value / max($floor, 0.001)}]]
}

# A figure's growth from the smaller size to the larger against proportional: 1.00 is linear.
proc growth {small_value large_value small_size large_size} {
    return [expr {$large_value / max($small_value, 0.001) / (double($large_size) / $small_size)}]
}

set format "%10s  %8s  %8s  %9s  %6s  %8s  %9s  %6s  %8s  %6s  %10s  %10s  %10s"
report_line $format variations entries "open" "floor (a)" "ratio" "1st load" "floor (b)" "ratio" \
    "2nd load" "ratio" "mem open" "peak 1st" "peak mem"
foreach {size result} $results {
    dict with result {
        report_line $format $size $entries "$open_s s" "$floor_tcl_s s" [ratio $open_s $floor_tcl_s] \
            "$first_load_s s" "$floor_read_s s" [ratio $first_load_s $floor_read_s] \
            "$second_load_s s" [ratio $second_load_s $floor_read_s] "$open_mib MiB" \
            "$first_load_mib MiB" "$peak_mib MiB"
    }
}
# Processor seconds: steadier than elapsed ones on a shared machine.
foreach {size result} $results {
    dict with result {
        report_line "%10s  processor seconds: open %.3f, 1st load %.3f, 2nd load %.3f" $size $open_cpu_s \
            $first_load_cpu_s $second_load_cpu_s
    }
}

# Growth against proportional: 1.00 is linear.
set sizes [dict keys $results]
for {set i 1} {$i < [llength $sizes]} {incr i} {
    set small [lindex $sizes [expr {$i - 1}]]
    set large [lindex $sizes $i]
    foreach step {open_s first_load_s second_load_s open_cpu_s first_load_cpu_s second_load_cpu_s} {
        set growth [growth [dict get $results $small $step] [dict get $results $large $step] $small $large]
        lappend growth_line [format "%s %.2f" $step $growth]
    }
    puts "$small -> $large variations, growth against proportional: [join $growth_line {, }]"
    unset growth_line
}

if {$upgrade_at < 0} return

source [file join [file dirname [file normalize [info script]]] upgrade_bench.tcl]

proc run_on_copy {mode size root} {
    set original [file dirname [ensure_project [file join $::work_dir $size] $size]]
    upgrade_bench::run_on_copy $::upgrade_program $mode $original [file join $::work_dir $mode-$size] $root
}

set standin_root [upgrade_bench::make_standin_root [file join $work_dir standin-root]]
set upgrades [dict create]
foreach size $upgrade_sizes {
    dict set upgrades $size [run_on_copy upgrade $size $standin_root]
}

puts ""
set format "%10s  %8s  %8s  %10s  %10s  %12s"
report_line $format variations results failed "elapsed" "own cpu" "children cpu"
dict for {size result} $upgrades {
    dict with result {
        report_line $format $size $results $failed "$upgrade_s s" "$upgrade_cpu_s s" "$children_cpu_s s"
    }
}
set sizes [dict keys $upgrades]
for {set i 1} {$i < [llength $sizes]} {incr i} {
    set small [lindex $sizes [expr {$i - 1}]]
    set large [lindex $sizes $i]
    set growth_line {}
    foreach step {upgrade_s upgrade_cpu_s children_cpu_s} {
        set upgrade_growth($step) [growth [dict get $upgrades $small $step] [dict get $upgrades $large $step] $small $large]
        lappend growth_line [format "%s %.2f" $step $upgrade_growth($step)]
    }
    # The stand-ins do the same work per upgrade at every size: the growth of their time is the
    # machine's drift between the two runs, which the driver's own time shares.
    lappend growth_line [format "own cpu against the stand-ins' %.2f" \
        [expr {$upgrade_growth(upgrade_cpu_s) / max($upgrade_growth(children_cpu_s), 0.001)}]]
    puts "regenerate_ip -all, $small -> $large variations, growth against proportional: [join $growth_line {, }]"
}

set previous {}
foreach size $settings_sizes {
    set rewrite [run_on_copy settings $size $::env(VORLIN_ROOTDIR)]
    dict with rewrite {
        puts [format "Settings rewrite of %d assignments (%d renamed): %.3f s (cpu %.3f s), reading and\
            writing the .vsf once %.3f s (cpu %.3f s), ratio %s" $assignments $renamed $rewrite_s $rewrite_cpu_s \
            $floor_s $floor_cpu_s [ratio $rewrite_s $floor_s]]
    }
    if {$previous ne {}} {
        lassign $previous small small_s small_cpu_s
        puts [format "Settings rewrite, %d -> %d assignments, growth against proportional: rewrite_s %.2f,\
            rewrite_cpu_s %.2f" $small $size [growth $small_s $rewrite_s $small $size] \
            [growth $small_cpu_s $rewrite_cpu_s $small $size]]
    }
    set previous [list $size $rewrite_s $rewrite_cpu_s]
}
