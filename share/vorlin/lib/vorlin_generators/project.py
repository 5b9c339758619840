"""The project the generator runs for: its device family, read from the revision's
settings file in the working directory, and the family test that decides where generated
files go."""

import os

from .devices import NEW_IP_LAYOUT
from .files import problem_of, read_bytes
from .tclwords import split_words


def read_global_assignment(path, name):
    """The value of the last global (entity-less) assignment of name in a settings file;
    None when there is none. Options may come in any order."""
    value = None
    for line in read_bytes(path).decode("utf-8", "surrogateescape").splitlines():
        words = split_words(line)
        if not words or words[0] != "set_global_assignment":
            continue
        options, plain = {}, []
        i = 1
        while i < len(words):
            if words[i] in ("-name", "-entity", "-library", "-section_id") and i + 1 < len(words):
                options[words[i]] = words[i + 1]
                i += 2
            else:
                plain.append(words[i])
                i += 1
        if options.get("-name", "").upper() == name and "-entity" not in options and plain:
            value = plain[-1]
    return value


def active_revision(project_file, project):
    """The revision a project opens with: active_revision, else the first, else its name."""
    revisions, active = [], None
    try:
        for line in read_bytes(project_file).decode("utf-8", "surrogateescape").splitlines():
            words = split_words(line)
            if len(words) >= 2 and words[0] == "revision":
                revisions.append(words[1])
            elif len(words) >= 2 and words[0] == "active_revision":
                active = words[1]
    except OSError:
        pass
    return active or (revisions[0] if revisions else project)


class Project:
    """--vorlin-project=P and --rev=R; both empty when the generator runs without a project."""

    def __init__(self, name, revision, directory, reporter):
        self.name = name or ""
        self.revision = revision or ""
        self.family_text = None
        if not self.name:
            return
        if not self.revision:
            self.revision = active_revision(os.path.join(directory, self.name + ".vpf"), self.name)
        settings = os.path.join(directory, self.revision + ".vsf")
        try:
            self.family_text = read_global_assignment(settings, "FAMILY")
        except OSError as error:
            reporter.warning(f"Cannot read the settings file {settings} ({problem_of(error)}); "
                             "the project's device family is unknown")

    @property
    def is_open(self):
        return bool(self.name)

    def family(self, devices, reporter=None):
        """The project's family, or None when unset or unknown."""
        if not self.family_text:
            return None
        family = devices.find_family(self.family_text)
        if family is None and reporter:
            reporter.warning(f"The project's device family \"{self.family_text}\" is not in the device database")
        return family

    def family_test_holds(self, devices):
        """True without a project, with no or the generic family, or with a family of the newer
        IP layout: generated IP lists then sit in a synthesis/ directory."""
        if not self.is_open:
            return True
        family = self.family(devices)
        return family is None or family.is_agnostic or NEW_IP_LAYOUT in family.traits
