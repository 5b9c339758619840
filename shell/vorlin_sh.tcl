# The shell's own Tcl library: evaluated in the interpreter of every vorlin_sh at start-up,
# after the suite's commands exist.

namespace eval ::vorlin::shell {}

# The IP list generation wrote for an IP file, or "" when there is none: for a system or
# gwip file DIR/X/X.vip, else DIR/X/synthesis/X.vip; a list is its own; for any other file
# (a legacy variation DIR/X.v) the list DIR/X.vip beside it.
proc ::vorlin::shell::generated_ip_list {ip_file} {
    set dir [file dirname $ip_file]
    set base [file rootname [file tail $ip_file]]
    switch -- [string tolower [file extension $ip_file]] {
        .vip {
            return $ip_file
        }
        .tessel - .gwip {
            set candidates [list [file join $dir $base $base.vip] [file join $dir $base synthesis $base.vip]]
        }
        default {
            set candidates [list [file join $dir $base.vip]]
        }
    }
    foreach candidate $candidates {
        if {[file isfile $candidate]} {
            return $candidate
        }
    }
    return ""
}

# The files generated for an IP file: the absolute paths its IP list (and the lists that
# one names) assigns, once each, in list order. The variation file a list belongs to
# (IP_VARIATION_FILE) is the source, not generated, so it is left out.
proc _internal_get_generated_ip_files_internal_ {ip_file} {
    set ip_file [file normalize $ip_file]
    if {![file isfile $ip_file]} {
        return -code error "ERROR: IP file $ip_file does not exist or is not a file"
    }
    set list [::vorlin::shell::generated_ip_list $ip_file]
    if {$list eq ""} {
        return {}
    }
    set files [dict create]
    foreach assignment [read_ip_list_file $list] {
        set name [string toupper [dict get $assignment name]]
        if {[string match *_FILE $name] && $name ne "IP_VARIATION_FILE"} {
            dict set files [dict get $assignment resolved] {}
        }
    }
    return [dict keys $files]
}

# Option words of a command of the suite or a module, for completion at the prompt: the
# words beginning with "-" in its usage line. Only those commands are asked (with -h, which
# prints and does nothing else); any other command might act on the word, so it gets none.
proc ::vorlin::shell::option_words {command} {
    variable option_words
    if {[catch {namespace origin $command} origin]} {
        return {}
    }
    if {[info exists option_words($origin)]} {
        return $option_words($origin)
    }
    set words {}
    if {[string match ::vorlin::* $origin] ||
            $origin in {::foreach_in_collection ::get_collection_size ::vexec}} {
        set usage [capture_output [list $origin -h]]
        set words [lsort -unique [regexp -all -inline -- {-[A-Za-z_][A-Za-z0-9_]*} $usage]]
    }
    set option_words($origin) $words
}

# What a script prints through puts, instead of printing it.
proc ::vorlin::shell::capture_output {script} {
    variable captured ""
    rename ::puts ::vorlin::shell::saved_puts
    proc ::puts {args} {
        append ::vorlin::shell::captured [lindex $args end] "\n"
    }
    try {
        catch {uplevel #0 $script}
    } finally {
        rename ::puts {}
        rename ::vorlin::shell::saved_puts ::puts
    }
    return $captured
}
