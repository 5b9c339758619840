"""Upgrading: raising the modules of a system file to the newest catalog version of their
kind, and turning a wizard variation into a standalone system."""

import os

from .catalog import version_key
from .system_file import SystemFile, rewrite_modules, standalone_system_text
from .variation import Variation


def _refuses_upgrade(card):
    return card is not None and card.test_fails == "upgrade"


def upgrade_system(path, context, reporter):
    """Rewrites the module kinds and versions of the system file; True on success. The file
    is left as it was when any module fails."""
    system = SystemFile(path)
    family = context.family_for(system.device_family)
    changes = {}
    for module in system.enabled_modules():
        own = context.catalog.newest_named(module.kind)
        target = context.catalog.upgrade_target(module.kind, module.version, family)
        refusing = next((card for card in (own, target) if _refuses_upgrade(card)), None)
        if refusing:
            reporter.error(f"Module {module.name}: upgrading {module.kind} {module.version} failed "
                           f"(the IP catalog marks {refusing.name} as failing to upgrade)")
            continue
        if target is None:
            reporter.info(f"Module {module.name}: the kind {module.kind} is not in the IP catalog; "
                          f"left at version {module.version or 'unknown'}")
            continue
        if target.name == module.kind and version_key(target.version) <= version_key(module.version):
            continue
        change = {"version": target.version}
        if target.name != module.kind:
            change["kind"] = target.name
        changes[module] = change
        reporter.info(f"Upgraded module {module.name} from {module.kind} {module.version or '(no version)'} "
                      f"to {target.name} {target.version}")
    if reporter.failed:
        return False
    if changes:
        context.outputs.write_file(path, rewrite_modules(system, changes))
    else:
        reporter.info(f"The IP cores of {path} are up to date")
    return True


def resolve_variation_card(variation, context, reporter):
    """The catalog card a wizard variation becomes as a system module; None (with an error
    line) when there is none or it refuses to upgrade."""
    card = context.catalog.card_for_variation(variation.core)
    if card is None:
        reporter.error(f"The core {variation.core} of {variation.path} is not in the IP catalog")
        return None
    if _refuses_upgrade(card):
        reporter.error(f"Upgrading {variation.path} failed (the IP catalog marks {card.name} as failing to upgrade)")
        return None
    return card


def convert_variation(path, context, reporter):
    """Writes BASE.tessel beside the wizard variation at path: a standalone system of one
    exported module of the catalog's kind, carrying the variation's generics. Answers the
    new system file's path, or None on failure. The variation itself is not changed."""
    variation = Variation(path)
    card = resolve_variation_card(variation, context, reporter)
    if card is None:
        return None
    family = context.project_family.user if context.project_family else variation.intended_family()
    instance = card.name + "_0"
    target = os.path.join(os.path.dirname(path), variation.name + ".tessel")
    text = standalone_system_text(variation.name, context.tool, context.version, card.name, card.version,
                                  instance, family, variation.generics(), os.path.basename(path))
    context.outputs.write_file(target, text)
    reporter.info(f"Converted {path} ({variation.core} {variation.version or '(no version)'}) into the "
                  f"standalone system {target} with module {instance} ({card.name} {card.version})")
    return target
