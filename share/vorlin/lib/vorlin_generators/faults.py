"""Test hooks: VORLIN_TEST_GENERATOR_FAULT makes a generator fail in ways its callers must
survive. They are read from the environment only, never from options.

  error-line-exit-0  work normally, print an "Error:" line for each file, exit 0
  no-output          print the usual lines but write no file, exit 0
  exit-1             work normally (outputs are written), then exit 1 without an error line
"""

import os

VARIABLE = "VORLIN_TEST_GENERATOR_FAULT"
ERROR_LINE_EXIT_0 = "error-line-exit-0"
NO_OUTPUT = "no-output"
EXIT_1 = "exit-1"
KNOWN = (ERROR_LINE_EXIT_0, NO_OUTPUT, EXIT_1)


class Fault:
    def __init__(self):
        self.name = os.environ.get(VARIABLE, "").strip()
        self.unknown = bool(self.name) and self.name not in KNOWN

    def active(self, name):
        return self.name == name

    def announce(self, reporter):
        if self.unknown:
            reporter.warning(f"{VARIABLE}={self.name} names no test fault ({', '.join(KNOWN)}); ignored")

    def report_file(self, reporter, path):
        """The error line of error-line-exit-0, printed inside the file's step."""
        if self.active(ERROR_LINE_EXIT_0):
            reporter.error(f"Test fault {ERROR_LINE_EXIT_0}: reporting a failure for {path}")

    def exit_code(self, code):
        """The run's exit code under the fault; error-line-exit-0 exits 0 despite its lines."""
        if self.active(ERROR_LINE_EXIT_0) or self.active(NO_OUTPUT):
            return 0
        if self.active(EXIT_1):
            return 1
        return code
