"""Reading the files a generator is handed: regular files of bounded size only, so that a FIFO
or a device in place of one neither hangs a generator nor exhausts its memory. Problems are
raised as OSError whose strerror says what is wrong, so callers report them like any other
unreadable file."""

import errno
import os
import stat

# Far above any real project or installation file, far below what a device would feed.
MAX_FILE_SIZE = 64 << 20


def read_bytes(path, limit=MAX_FILE_SIZE):
    """The whole content of a regular file of at most limit bytes."""
    # Non-blocking, so that opening a FIFO without a writer cannot hang; it is refused below.
    fd = os.open(path, os.O_RDONLY | os.O_NONBLOCK | getattr(os, "O_CLOEXEC", 0))
    try:
        info = os.fstat(fd)
        if not stat.S_ISREG(info.st_mode):
            raise OSError(errno.EINVAL, "not a regular file", path)
        chunks, size = [], 0
        while True:
            chunk = os.read(fd, 1 << 16)
            if not chunk:
                return b"".join(chunks)
            size += len(chunk)
            if size > limit:
                raise OSError(errno.EFBIG, f"larger than {limit} bytes", path)
            chunks.append(chunk)
    finally:
        os.close(fd)


def read_utf8(path, limit=MAX_FILE_SIZE):
    """The text of a regular file that is valid UTF-8 (a byte-order mark is dropped). The IP
    upgrade applies the same rule to the installation's files, so both skip the same ones."""
    data = read_bytes(path, limit)
    try:
        return data.decode("utf-8-sig")
    except UnicodeDecodeError as error:
        raise OSError(errno.EILSEQ, f"not valid UTF-8 (byte {error.start})", path) from error


def problem_of(error):
    """What went wrong, in words that follow a file name."""
    if isinstance(error, OSError) and error.strerror:
        return error.strerror
    return str(error)
