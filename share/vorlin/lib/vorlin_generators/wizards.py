"""The installed legacy wizards (wizards/wizards.lst) and the catalogue of legacy cores
($IP_ROOTDIR/legacy/legacy_cores.xml): which cores the wizard can regenerate, and which
become systems."""

import os
import xml.etree.ElementTree as ElementTree

from .files import problem_of, read_bytes, read_utf8


class Wizards:
    """wizards.lst: one wizard a line, "NAME ?alias=OTHER? ?eol?"; names ignore case."""

    def __init__(self, path, reporter):
        self.entries = {}
        try:
            lines = read_utf8(path).splitlines()
        except OSError as error:
            # A missing list names no wizard; one that cannot be used is named, as the IP
            # upgrade names it.
            if os.path.lexists(path):
                reporter.warning(f"The wizard list {path} is {problem_of(error)}; no legacy wizard is known")
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
    """The <silent_core name=...> names of the catalogue of legacy cores, exactly as written
    (they are compared with the core a variation records, case-sensitively, as the IP
    upgrade does). A missing or broken catalogue names none."""
    try:
        root = ElementTree.fromstring(read_bytes(installation.legacy_catalogue))
    except (OSError, ElementTree.ParseError):
        return set()
    return {element.get("name") for element in root.findall("silent_core") if element.get("name")}
