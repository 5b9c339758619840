"""Test hooks: VORLIN_TEST_GENERATOR_FAULT makes a generator fail in ways its callers must
survive. They are read from the environment only, never from options.

  error-line-exit-0  work normally, print an "Error:" line for each file, exit 0
  no-output          print the usual lines but write no file, exit 0
  exit-1             work normally (outputs are written), then exit 1 without an error line
  killed             work normally until the K-th file write (VORLIN_TEST_GENERATOR_FAULT_AT,
                     default 1), then die by SIGKILL with that write's temporary in place;
                     a run with fewer writes dies at its end

VORLIN_TEST_GENERATOR_FAULT_FILES (a glob, default "*") limits the fault to the files whose
absolute path matches, and the files written for them; a run none of whose files match
behaves normally.
"""

import fnmatch
import os
import signal

VARIABLE = "VORLIN_TEST_GENERATOR_FAULT"
FILES_VARIABLE = "VORLIN_TEST_GENERATOR_FAULT_FILES"
AT_VARIABLE = "VORLIN_TEST_GENERATOR_FAULT_AT"
ERROR_LINE_EXIT_0 = "error-line-exit-0"
NO_OUTPUT = "no-output"
EXIT_1 = "exit-1"
KILLED = "killed"
KNOWN = (ERROR_LINE_EXIT_0, NO_OUTPUT, EXIT_1, KILLED)


class Fault:
    def __init__(self):
        self.name = os.environ.get(VARIABLE, "").strip()
        self.unknown = bool(self.name) and self.name not in KNOWN
        self.pattern = os.environ.get(FILES_VARIABLE, "").strip() or "*"
        at = os.environ.get(AT_VARIABLE, "").strip()
        self.kill_at = int(at) if at.isdigit() and int(at) > 0 else 1
        self.writes = 0
        self.matched = False

    def active(self, name):
        return self.name == name

    def applies_to(self, path):
        """Whether the fault acts on this file; remembers that the run met one."""
        if self.unknown or not self.name:
            return False
        if not fnmatch.fnmatch(os.path.abspath(path), self.pattern):
            return False
        self.matched = True
        return True

    def announce(self, reporter):
        if self.unknown:
            reporter.warning(f"{VARIABLE}={self.name} names no test fault ({', '.join(KNOWN)}); ignored")

    def suppresses_output(self, path):
        return self.active(NO_OUTPUT) and self.applies_to(path)

    def before_replace(self, path):
        """Called with a written temporary about to replace path."""
        if self.active(KILLED) and self.applies_to(path):
            self.writes += 1
            if self.writes == self.kill_at:
                os.kill(os.getpid(), signal.SIGKILL)

    def report_file(self, reporter, path):
        """The error line of error-line-exit-0, printed inside the file's step."""
        if self.active(ERROR_LINE_EXIT_0) and self.applies_to(path):
            reporter.error(f"Test fault {ERROR_LINE_EXIT_0}: reporting a failure for {path}")
        else:
            self.applies_to(path)

    def exit_code(self, code):
        """The run's exit code under the fault; error-line-exit-0 exits 0 despite its lines."""
        if not self.matched:
            return code
        if self.active(ERROR_LINE_EXIT_0) or self.active(NO_OUTPUT):
            return 0
        if self.active(EXIT_1):
            return 1
        if self.active(KILLED):
            os.kill(os.getpid(), signal.SIGKILL)
        return code
