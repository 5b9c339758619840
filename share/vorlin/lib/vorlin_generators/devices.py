"""Device families of the installation's device database (devices/devices.xml)."""

import xml.etree.ElementTree as ElementTree

from .files import problem_of, read_utf8

DEVICE_AGNOSTIC = "Device Agnostic"
NEW_IP_LAYOUT = "NEW_IP_LAYOUT"


class Family:
    def __init__(self, name, user, traits):
        self.name = name
        self.user = user
        self.traits = set(traits)

    @property
    def is_agnostic(self):
        return self.user == DEVICE_AGNOSTIC


AGNOSTIC_FAMILY = Family("device_agnostic", DEVICE_AGNOSTIC, ())


class DeviceDatabase:
    def __init__(self, path):
        self.families = []
        try:
            root = ElementTree.fromstring(read_utf8(path))
        except (OSError, ElementTree.ParseError) as error:
            raise DeviceDatabaseError(f"Cannot read the device database {path}: {problem_of(error)}") from error
        for element in root.iter("family"):
            name = element.get("name", "")
            self.families.append(Family(name, element.get("user") or name,
                                        element.get("traits", "").split()))

    def find_family(self, text):
        """The family named by its name or user name, ignoring case; None when unknown."""
        if text is None:
            return None
        wanted = text.strip().lower()
        if wanted == DEVICE_AGNOSTIC.lower():
            return AGNOSTIC_FAMILY
        for family in self.families:
            if wanted in (family.name.lower(), family.user.lower()):
                return family
        return None

    def same_family(self, a, b):
        first, second = self.find_family(a), self.find_family(b)
        return first is not None and first is second


class DeviceDatabaseError(Exception):
    """The device database is missing or broken."""
