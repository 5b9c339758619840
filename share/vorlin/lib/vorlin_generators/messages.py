"""Output lines of the generators. Every line is one of "Info: ...", "Warning: ...",
"Error: ..." or a step marker, so the caller can classify each line on its own."""

import sys
import threading

_print_lock = threading.Lock()


def _one_line(text):
    # A line break inside a message (from a file name, say) would split it in two lines,
    # and the second would lose its severity.
    return str(text).replace("\r", " ").replace("\n", " ")


class Reporter:
    """The lines of one piece of work. Streaming reporters print each line at once (so a
    long run shows progress); buffered ones print all their lines as one block when closed
    (so parallel work does not interleave)."""

    def __init__(self, buffered=False, stream=None):
        self.buffered = buffered
        self.stream = stream or sys.stdout
        self.failed = False
        self._lines = []

    def info(self, text):
        self._emit("Info: " + _one_line(text))

    def warning(self, text):
        self._emit("Warning: " + _one_line(text))

    def error(self, text):
        self.failed = True
        self._emit("Error: " + _one_line(text))

    def marker(self, text):
        self._emit(_one_line(text))

    def close(self):
        if self._lines:
            self._write(self._lines)
            self._lines = []

    def _emit(self, line):
        if self.buffered:
            self._lines.append(line)
        else:
            self._write([line])

    def _write(self, lines):
        with _print_lock:
            self.stream.write("".join(line + "\n" for line in lines))
            self.stream.flush()
