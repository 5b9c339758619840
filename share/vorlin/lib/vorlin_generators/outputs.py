"""Writing generated files so that a crash or a failure never leaves a half-written one:
each file goes to a temporary beside it and is renamed over the old one."""

import os
import shutil
import stat
import tempfile

# Read once: os.umask can only be read by setting it, which is not safe among threads.
_UMASK = os.umask(0)
os.umask(_UMASK)


class OutputError(Exception):
    """An output could not be written; the old file or directory is still in place."""


def _temporary_prefix(path):
    # Names stay well inside the file-name limit even for long base names.
    return "." + os.path.basename(path)[:80] + "."


def _fsync_directory(directory):
    try:
        fd = os.open(directory, os.O_RDONLY)
    except OSError:
        return
    try:
        os.fsync(fd)
    except OSError:
        pass
    finally:
        os.close(fd)


def write_file_atomically(path, data, before_replace=None):
    """Replaces path with data (bytes). An existing file keeps its permissions; a symbolic
    link keeps pointing at the file it names, which is the one replaced."""
    target = os.path.realpath(path)
    directory = os.path.dirname(target)
    try:
        mode = stat.S_IMODE(os.stat(target).st_mode)
    except FileNotFoundError:
        mode = 0o666 & ~_UMASK
    except OSError as error:
        raise OutputError(f"Cannot write {path}: {error.strerror}") from error
    try:
        fd, temporary = tempfile.mkstemp(prefix=_temporary_prefix(target), suffix=".tmp", dir=directory)
    except OSError as error:
        raise OutputError(f"Cannot write {path}: {error.strerror}") from error
    try:
        with os.fdopen(fd, "wb") as stream:
            stream.write(data)
            stream.flush()
            os.fsync(stream.fileno())
        os.chmod(temporary, mode)
        if before_replace:
            before_replace(target)
        os.replace(temporary, target)
    except OSError as error:
        _remove_quietly(temporary)
        raise OutputError(f"Cannot write {path}: {error.strerror}") from error
    except BaseException:
        _remove_quietly(temporary)
        raise
    _fsync_directory(directory)


def _remove_quietly(path):
    try:
        os.unlink(path)
    except OSError:
        pass


def _make_directories(directory):
    try:
        os.makedirs(directory, exist_ok=True)
    except OSError as error:
        raise OutputError(f"Cannot create the directory {directory}: {error.strerror}") from error


def write_tree(directory, files, clear, before_replace=None):
    """Writes files ({relative path: bytes}) under directory. With clear the directory ends
    up holding exactly these files: the new tree is built beside it and swapped in, so a
    failure leaves the old tree untouched."""
    if os.path.lexists(directory) and not os.path.isdir(directory):
        raise OutputError(f"Cannot write outputs into {directory}: it is not a directory")
    if not clear:
        for relative, data in files.items():
            path = os.path.join(directory, relative)
            _make_directories(os.path.dirname(path))
            write_file_atomically(path, data, before_replace)
        return
    parent = os.path.dirname(os.path.abspath(directory))
    _make_directories(parent)
    try:
        staging = tempfile.mkdtemp(prefix=_temporary_prefix(directory), suffix=".new", dir=parent)
    except OSError as error:
        raise OutputError(f"Cannot write outputs into {directory}: {error.strerror}") from error
    try:
        os.chmod(staging, 0o777 & ~_UMASK)
        for relative, data in files.items():
            path = os.path.join(staging, relative)
            os.makedirs(os.path.dirname(path), exist_ok=True)
            with open(path, "wb") as stream:
                stream.write(data)
                stream.flush()
                os.fsync(stream.fileno())
        if before_replace:
            before_replace(directory)
        _swap_in(staging, directory)
    except OSError as error:
        shutil.rmtree(staging, ignore_errors=True)
        raise OutputError(f"Cannot write outputs into {directory}: {error.strerror}") from error


def _swap_in(staging, directory):
    if not os.path.lexists(directory):
        os.rename(staging, directory)
        return
    holder = tempfile.mkdtemp(prefix=_temporary_prefix(directory), suffix=".old",
                              dir=os.path.dirname(staging))
    old = os.path.join(holder, "old")
    os.rename(directory, old)
    try:
        os.rename(staging, directory)
    except OSError:
        os.rename(old, directory)
        os.rmdir(holder)
        raise
    shutil.rmtree(holder, ignore_errors=True)


class Outputs:
    """Every file a generator writes goes through here, so the test hooks that suppress or
    interrupt outputs have one place to act."""

    def __init__(self, fault=None):
        self.fault = fault

    def _suppressed(self, path):
        return self.fault is not None and self.fault.suppresses_output(path)

    def _before_replace(self):
        return self.fault.before_replace if self.fault is not None else None

    def write_file(self, path, data):
        """Writes one file atomically, creating its directory when needed."""
        if not self._suppressed(path):
            _make_directories(os.path.dirname(os.path.abspath(path)))
            write_file_atomically(path, data, self._before_replace())

    def write_tree(self, directory, files, clear):
        if not self._suppressed(directory):
            write_tree(directory, files, clear, self._before_replace())
