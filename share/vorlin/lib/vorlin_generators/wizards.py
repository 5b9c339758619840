"""The installed legacy wizards (wizards/wizards.lst) and the lists of legacy cores
(ip/legacy/): which cores the wizard can regenerate, and which become systems."""

import glob
import os


class Wizards:
    """wizards.lst: one wizard a line, "NAME ?alias=OTHER? ?eol?"; names ignore case."""

    def __init__(self, path):
        self.entries = {}
        try:
            with open(path, encoding="utf-8", errors="replace") as stream:
                lines = stream.read().splitlines()
        except OSError:
            lines = []
        for line in lines:
            words = line.split("#", 1)[0].split()
            if not words:
                continue
            alias = next((word[len("alias="):] for word in words[1:] if word.startswith("alias=")), "")
            self.entries.setdefault(words[0].lower(), (alias, "eol" in words[1:]))

    def resolve(self, name):
        """The wizard a name stands for, following aliases (a cycle stops where it closes)."""
        seen = set()
        while name.lower() in self.entries and name.lower() not in seen:
            seen.add(name.lower())
            alias = self.entries[name.lower()][0]
            if not alias:
                break
            name = alias
        return name

    def is_installed(self, name):
        entry = self.entries.get(self.resolve(name).lower())
        return entry is not None and not entry[0]

    def is_eol(self, name):
        return any(self.entries.get(each.lower(), ("", False))[1] for each in (name, self.resolve(name)))


def legacy_silent_cores(installation):
    """Core names, exactly as written, of the lists named *silent* in the legacy
    directories: one name a line, "#" starts a comment."""
    names = set()
    for directory in installation.legacy_dirs:
        for path in sorted(glob.glob(os.path.join(directory, "*silent*"))):
            try:
                with open(path, encoding="utf-8", errors="replace") as stream:
                    for line in stream:
                        name = line.split("#", 1)[0].strip()
                        if name:
                            names.add(name)
            except OSError:
                continue
    return names
