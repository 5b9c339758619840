"""The IP catalog ($IP_ROOTDIR/catalog/*.xml): cards with their versions, families, older
names and upgrade paths, and the newest version a module of a kind can be raised to."""

import glob
import os
import xml.etree.ElementTree as ElementTree

from .devices import DEVICE_AGNOSTIC
from .files import problem_of, read_utf8


def parse_version(text):
    """"24.1.2" -> (24, 1, 2); None for text that is not a version."""
    parts = (text or "").strip().split(".")
    if not all(part.isdigit() for part in parts):
        return None
    return tuple(int(part) for part in parts)


def version_key(text):
    """Sort key: numeric parts compare as numbers, trailing zeros do not count, and text
    that is not a version sorts below every version."""
    version = parse_version(text)
    if version is None:
        return (0, ())
    while len(version) > 1 and version[-1] == 0:
        version = version[:-1]
    return (1, version)


class UpgradeableFrom:
    def __init__(self, element):
        self.name = element.get("name", "")
        self.version = element.get("version", "all")
        self.family = element.get("family", DEVICE_AGNOSTIC)

    def admits(self, version):
        return self.version.lower() == "all" or self.version == version


class Card:
    def __init__(self, element, source):
        self.source = source
        self.name = element.get("name", "")
        self.version = element.get("version", "")
        self.author = element.get("author", "")
        self.display_name = element.get("display_name", self.name)
        self.type = element.get("type", "standalone")
        self.test_fails = element.get("test_fails", "")
        self.families = [child.text.strip() for child in element.findall("family") if child.text]
        self.aliases = [child.text.strip() for child in element.findall("alias") if child.text]
        self.matching = [child.text.strip() for child in element.findall("matching") if child.text]
        self.upgradeable_from = [UpgradeableFrom(child) for child in element.findall("upgradeable_from")]


class Catalog:
    def __init__(self, directory, devices, reporter):
        self.devices = devices
        self.cards = []
        paths = sorted(glob.glob(os.path.join(directory, "*.xml")))
        if not paths:
            reporter.warning(f"The IP catalog at {directory} holds no catalog file")
        for path in paths:
            try:
                root = ElementTree.fromstring(read_utf8(path))
            except (OSError, ElementTree.ParseError) as error:
                reporter.warning(f"Skipping the IP catalog file {path}: {problem_of(error)}")
                continue
            self.cards.extend(Card(element, path) for element in root.findall("card") if element.get("name"))

    # ---- look-ups -------------------------------------------------------------------------

    def cards_named(self, name):
        return [card for card in self.cards if card.name == name]

    def newest_named(self, name):
        cards = self.cards_named(name)
        return max(cards, key=lambda card: version_key(card.version)) if cards else None

    def find_core(self, name):
        """A card by its exact name, else by its name or an alias ignoring case."""
        card = self.newest_named(name)
        if card:
            return card
        wanted = name.lower()
        for card in self.cards:
            if card.name.lower() == wanted or wanted in (alias.lower() for alias in card.aliases):
                return card
        return None

    def card_for_variation(self, core):
        """The card a wizard variation of core becomes as a system module: a standalone
        card that lists the core as its match, else the core's own card, else a card that
        upgrades the core."""
        for card in self.cards:
            if card.type == "standalone" and core in card.matching:
                return card
        card = self.find_core(core)
        if card:
            return card
        upgraders = [card for card in self.cards if any(u.name == core for u in card.upgradeable_from)]
        return upgraders[0] if upgraders else None

    def supports(self, card, family):
        """A card without families serves all; an unknown or agnostic family takes any card."""
        if not card.families or family is None or family.is_agnostic:
            return True
        return any(self.devices.find_family(text) is family for text in card.families)

    def upgrade_target(self, kind, version, family):
        """The card a module of kind at version is raised to, or None to keep it. The same
        choice the IP upgrade makes: a card that upgrades the kind wins over the kind's own
        newer card; among those, the newer version, and at equal versions an entry for the
        family over one for any family."""
        best, best_key = None, version_key(version)
        for card in self.cards_named(kind):
            if card.version and self.supports(card, family) and version_key(card.version) >= best_key:
                best, best_key = card, version_key(card.version)
        upgrade, upgrade_key, upgrade_specific = None, None, False
        for card in self.cards:
            if not self.supports(card, family):
                continue
            for entry in card.upgradeable_from:
                if entry.name != kind or not entry.admits(version):
                    continue
                specific = entry.family.lower() != DEVICE_AGNOSTIC.lower()
                if specific and not self._entry_family_admits(entry.family, family):
                    continue
                key = version_key(card.version)
                if upgrade is None or upgrade_key < key or (upgrade_key == key and specific and not upgrade_specific):
                    upgrade, upgrade_key, upgrade_specific = card, key, specific
        return upgrade or best

    def _entry_family_admits(self, text, family):
        return family is not None and (family.is_agnostic or self.devices.find_family(text) is family)
