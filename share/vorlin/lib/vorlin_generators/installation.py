"""Where the installation and its data files are, and which suite version it is."""

import os

from .files import problem_of, read_utf8

# This package lives in <installation>/lib/vorlin_generators.
OWN_ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))


class InstallationError(Exception):
    """The installation lacks a file the generators need."""


class Installation:
    """The installation named by VORLIN_ROOTDIR, else the one these programs belong to."""

    def __init__(self):
        self.root = os.path.abspath(os.environ.get("VORLIN_ROOTDIR") or OWN_ROOT)
        self.ip_root = os.path.abspath(os.environ.get("IP_ROOTDIR") or os.path.join(self.root, "ip"))
        self.catalog_dir = os.path.join(self.ip_root, "catalog")
        self.devices_file = os.path.join(self.root, "devices", "devices.xml")
        self.wizards_file = os.path.join(self.root, "wizards", "wizards.lst")
        self.settings = self._read_version_file(os.path.join(self.root, "version.txt"))
        self.version = self.settings.get("version", "")
        if not self.version:
            raise InstallationError(f"The installation at {self.root} names no version in version.txt")

    @property
    def legacy_catalogue(self):
        """The catalogue of legacy cores, the same file the IP upgrade reads."""
        return os.path.join(self.ip_root, "legacy", "legacy_cores.xml")

    @property
    def is_pro_edition(self):
        return self.settings.get("edition", "").lower() == "pro"

    @staticmethod
    def _read_version_file(path):
        try:
            lines = read_utf8(path).splitlines()
        except OSError as error:
            raise InstallationError(f"Cannot read {path}: {problem_of(error)}") from error
        settings = {}
        for line in lines:
            key, equals, value = line.partition("=")
            if equals and not key.strip().startswith("#"):
                settings[key.strip().lower()] = value.strip()
        return settings
