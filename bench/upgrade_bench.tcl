# The upgrade benchmark's pieces, shared by run_bench.tcl and its check.

namespace eval upgrade_bench {
    variable standins [file join [file dirname [file normalize [info script]]] standin]
}

# The installation the upgrade runs with: the bundled one (VORLIN_ROOTDIR) whose generators
# are replaced by stand-ins, so that the figures are the driver's own work, not generation.
proc upgrade_bench::make_standin_root {dir} {
    variable standins
    file delete -force $dir
    file copy $::env(VORLIN_ROOTDIR) $dir
    file copy -force [file join $standins tessel-generate] [file join $dir gantry_builder bin]
    file copy -force [file join $standins vkelvane] [file join $dir bin]
    return $dir
}

# Runs `PROGRAM MODE` on a fresh copy of the project in ORIGINAL, from the copy's directory,
# with the installation ROOT; the original stays as it was. Returns the figures, the last line
# of the output.
proc upgrade_bench::run_on_copy {program mode original copy root} {
    set program [file normalize $program]
    set copy [file normalize $copy]
    file delete -force $copy
    file copy $original $copy
    set previous [pwd]
    set saved_root $::env(VORLIN_ROOTDIR)
    cd $copy
    set ::env(VORLIN_ROOTDIR) $root
    try {
        set output [exec -ignorestderr $program $mode [file join $copy bench.vpf]]
    } finally {
        set ::env(VORLIN_ROOTDIR) $saved_root
        cd $previous
    }
    file delete -force $copy
    return [lindex [split [string trimright $output \n] \n] end]
}
