# Shared set-up of the end-to-end tests run by `vorlin_sh -t FILE.test`: tcltest, a
# scratch directory per test file, and a failing exit status when any test failed.
package require tcltest 2.5
namespace import -force ::tcltest::*

# Scratch files go below the build tree, one directory per test file.
apply {{} {
    set base [expr {[info exists ::env(VORLIN_BUILD_DIR)] ? $::env(VORLIN_BUILD_DIR) : [pwd]}]
    set dir [file join $base tcltest [file rootname [file tail $::argv0]]]
    file delete -force $dir
    file mkdir $dir
    ::tcltest::configure -tmpdir $dir
}}

# tcltest's cleanupTests resets its counters, so the failures are counted before it runs.
proc cleanupTests {args} {
    set failed $::tcltest::numTests(Failed)
    ::tcltest::cleanupTests {*}$args
    if {$failed > 0} {
        exit 1
    }
}

# A copy of a test project of tests/data/projects in the scratch directory; answers its path.
proc vorlin_copy_test_project {name} {
    set target [file join [::tcltest::temporaryDirectory] $name]
    file delete -force $target
    file copy [file join $::env(VORLIN_TEST_DATA_DIR) projects $name] $target
    return $target
}

# The exact contents of a file named by path parts; and a file written with exactly TEXT.
proc vorlin_read {args} {
    set in [open [file join {*}$args] rb]
    try {return [read $in]} finally {close $in}
}
proc vorlin_write {path text} {
    set out [open $path wb]
    try {puts -nonewline $out $text} finally {close $out}
    return $path
}
