"""tessel-generate: upgrades the IP cores of system files, turns wizard variations into
standalone systems, and generates systems (top-level HDL and IP list)."""

import concurrent.futures
import contextlib
import os
import sys

from .context import Context
from .devices import DeviceDatabaseError
from .generation import LANGUAGES, GenerationRequest, generate_system
from .installation import InstallationError
from .messages import Reporter
from .outputs import OutputError
from .system_file import SystemFileError
from .upgrade import convert_variation, upgrade_system
from .variation import VariationError

USAGE = ("Usage: tessel-generate <system file> [--batch=<system file> ...] "
         "[--upgrade-ip-cores | --upgrade-variation-file] [--synthesis=VERILOG|VHDL] "
         "[--simulation=VERILOG|VHDL] [--block-symbol-file] [--clear-output-directory] "
         "[--top-level-generation=on] [--message-format=<marker>=<text>] [--parallel[=<count>]] "
         "[--vorlin-project=<project>] [--rev=<revision>]")
MARKERS = ("begin-ip-core-upgrade", "end-ip-core-upgrade", "begin-generation", "end-generation")


class UsageError(Exception):
    pass


class Options:
    def __init__(self, argv):
        self.files = []
        self.upgrade_ip_cores = False
        self.upgrade_variation_file = False
        self.generation = GenerationRequest()
        self.markers = {}
        self.parallel = 0           # 0: one file after the other
        self.project = ""
        self.revision = ""
        plain = []
        for argument in argv:
            if argument.startswith("--"):
                name, equals, value = argument[2:].partition("=")
                self._option(name, value, has_value=bool(equals))
            else:
                plain.append(argument)
        if len(plain) > 1:
            raise UsageError(f"Only one system file may be given without --batch=; also got \"{plain[1]}\"")
        self.files = plain + self.files
        if not self.files:
            raise UsageError("No system file given")
        if any(not path for path in self.files):
            raise UsageError("An empty file name was given")
        if not (self.upgrade_ip_cores or self.upgrade_variation_file or self.generation.requested):
            raise UsageError("Nothing to do: give --upgrade-ip-cores, --upgrade-variation-file or generation options")

    def _option(self, name, value, has_value):
        if name == "upgrade-ip-cores" and not has_value:
            self.upgrade_ip_cores = True
        elif name == "block-symbol-file" and not has_value:
            self.generation.block_symbol = True
        elif name == "clear-output-directory" and not has_value:
            self.generation.clear = True
        elif name == "upgrade-variation-file":
            self.upgrade_variation_file = True
            if has_value:
                self.files.append(value)
        elif name == "batch" and has_value:
            self.files.append(value)
        elif name in ("synthesis", "simulation") and has_value:
            if value.upper() not in LANGUAGES:
                raise UsageError(f"--{name} takes VERILOG or VHDL, not \"{value}\"")
            setattr(self.generation, name, value.upper())
        elif name == "top-level-generation" and has_value:
            if value.lower() not in ("on", "off"):
                raise UsageError(f"--top-level-generation takes on or off, not \"{value}\"")
        elif name == "message-format" and has_value:
            marker, equals, text = value.partition("=")
            if marker not in MARKERS or not equals:
                raise UsageError(f"--message-format takes <marker>=<text> with a marker of {', '.join(MARKERS)}")
            self.markers[marker] = text
        elif name == "parallel":
            self.parallel = self._count(value) if has_value else (os.cpu_count() or 1)
        elif name == "vorlin-project" and has_value:
            self.project = value
        elif name == "rev" and has_value:
            self.revision = value
        else:
            raise UsageError(f"Unknown option --{name}{'=' if has_value else ''}")

    @staticmethod
    def _count(value):
        if not value.isdigit() or int(value) < 1:
            raise UsageError(f"--parallel takes a positive count, not \"{value}\"")
        return int(value)


@contextlib.contextmanager
def step(reporter, markers, kind, path):
    """Marks the lines of one file's step so the caller can attribute errors to the file."""
    if f"begin-{kind}" in markers:
        reporter.marker(markers[f"begin-{kind}"].replace("{1}", path))
    try:
        yield
    finally:
        if f"end-{kind}" in markers:
            reporter.marker(markers[f"end-{kind}"].replace("{1}", path))


def process_file(path, options, context, reporter):
    """All steps for one file, in order; a failed step ends the file's work."""
    try:
        if options.upgrade_variation_file:
            with step(reporter, options.markers, "ip-core-upgrade", path):
                converted = _guarded(reporter, convert_variation, path, context, reporter)
                context.fault.report_file(reporter, path)
            if not converted:
                return
            path = converted
        if options.upgrade_ip_cores:
            with step(reporter, options.markers, "ip-core-upgrade", path):
                upgraded = _guarded(reporter, upgrade_system, path, context, reporter)
                context.fault.report_file(reporter, path)
            if not upgraded:
                return
        if options.generation.requested:
            with step(reporter, options.markers, "generation", path):
                _guarded(reporter, generate_system, path, options.generation, context, reporter)
                context.fault.report_file(reporter, path)
    finally:
        reporter.close()


def _guarded(reporter, function, *arguments):
    """Runs one step; a failure becomes an error line of the file instead of ending the run."""
    try:
        return function(*arguments)
    except (SystemFileError, VariationError, OutputError) as error:
        reporter.error(str(error))
    except Exception as error:  # a fault of the generator itself must still name the file
        reporter.error(f"Internal error of tessel-generate ({type(error).__name__}: {error})")
    return None


def unique_files(files, reporter):
    """Absolute paths, each file once: two workers must never write the same file."""
    seen, result = set(), []
    for path in files:
        absolute = os.path.abspath(path)
        key = os.path.realpath(absolute)
        if key in seen:
            reporter.warning(f"{absolute} was given more than once; it is processed once")
            continue
        seen.add(key)
        result.append(absolute)
    return result


def main(argv):
    out = Reporter()
    try:
        options = Options(argv)
    except UsageError as error:
        out.error(str(error))
        out.info(USAGE)
        return 2
    try:
        context = Context(out, options.project, options.revision)
    except (InstallationError, DeviceDatabaseError) as error:
        out.error(str(error))
        return 1
    files = unique_files(options.files, out)
    workers = min(options.parallel, len(files))
    reporters = [Reporter(buffered=workers > 1) for _ in files]
    if workers > 1:
        with concurrent.futures.ThreadPoolExecutor(max_workers=workers) as pool:
            for future in [pool.submit(process_file, path, options, context, reporter)
                           for path, reporter in zip(files, reporters)]:
                future.result()
    else:
        for path, reporter in zip(files, reporters):
            process_file(path, options, context, reporter)
    failed = out.failed or any(reporter.failed for reporter in reporters)
    return context.fault.exit_code(1 if failed else 0)


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
