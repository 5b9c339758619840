"""The little Tcl the generators read and write: the words of a settings line and the
quoting of values in generated IP list files."""

import re

_PLAIN = re.compile(r"^[A-Za-z0-9_.:/+=@%,-]+$")


def quote(value):
    """One Tcl word that reads back as value: plain text stays as it is; anything else is
    put in double quotes with the characters special there escaped."""
    value = str(value)
    if _PLAIN.match(value):
        return value
    escaped = "".join("\\" + c if c in '\\"$[]' else c for c in value)
    return '"' + escaped.replace("\n", "\\n") + '"'


def list_element(value):
    """value as one element of a Tcl list."""
    value = str(value)
    if value and _PLAIN.match(value):
        return value
    if "{" not in value and "}" not in value and "\\" not in value:
        return "{" + value + "}"
    return "".join("\\" + c if c in '\\{}[]$"; ' else c for c in value)


def file_join(*parts):
    """[file join $vip_dir a b] for the parts of a path relative to the IP list."""
    return "[file join $vip_dir " + " ".join(quote(part) for part in parts) + "]"


def split_words(line):
    """The words of one command line: blanks separate; "..." and {...} group; backslash
    escapes in plain and quoted words. Substitutions are not performed."""
    words = []
    i, n = 0, len(line)
    while True:
        while i < n and line[i] in " \t":
            i += 1
        if i >= n or line[i] in "\r\n;":
            return words
        if line[i] == "{":
            depth, start = 1, i + 1
            i += 1
            while i < n and depth:
                if line[i] == "\\":
                    i += 1
                elif line[i] == "{":
                    depth += 1
                elif line[i] == "}":
                    depth -= 1
                i += 1
            words.append(line[start:i - 1] if depth == 0 else line[start:])
            continue
        quoted = line[i] == '"'
        if quoted:
            i += 1
        word = []
        while i < n:
            c = line[i]
            if c == "\\" and i + 1 < n:
                word.append({"n": "\n", "t": "\t"}.get(line[i + 1], line[i + 1]))
                i += 2
                continue
            if (quoted and c == '"') or (not quoted and c in " \t;\r\n"):
                break
            word.append(c)
            i += 1
        if quoted:
            i += 1
        words.append("".join(word))
