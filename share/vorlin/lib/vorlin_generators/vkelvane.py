"""vkelvane: the legacy parameter editor's command-line form. "-silent F" regenerates the
wizard variation F at the catalog version of its core and writes its IP list BASE.vip
beside it; a variation of a legacy silent core becomes the standalone system BASE.tessel."""

import os
import sys

from . import tclwords
from .catalog import version_key
from .context import Context
from .devices import DeviceDatabaseError
from .installation import InstallationError
from .messages import Reporter
from .outputs import OutputError
from .upgrade import convert_variation
from .variation import Variation, VariationError
from .wizards import Wizards, legacy_silent_cores

USAGE = 'Usage: vkelvane -silent "<variation file>"'


def ip_list_text(variation, core, version, card, context):
    base = variation.name

    def assignment(name, value):
        return f"set_global_assignment -entity {tclwords.quote(base)} -name {name} {tclwords.quote(value)}"

    lines = [f"# IP list of the variation {base}, written by vkelvane {context.version}.",
             "# Written again whenever the variation is regenerated: do not edit."]
    family = variation.intended_family()
    if family:
        lines.append(f"set_global_assignment -name IP_TARGET_FAMILIES "
                     f"{tclwords.quote(tclwords.list_element(family))}")
    lines += [assignment("IP_CORE_NAME", core), assignment("IP_CORE_VERSION", version),
              assignment("IP_GENERATED_BY", "Kelvane")]
    if card and card.author:
        lines.append(assignment("IP_VENDOR", card.author))
    file_type = "VHDL_FILE" if variation.is_vhdl else "VERILOG_FILE"
    lines.append(f"set_global_assignment -name {file_type} {tclwords.file_join(os.path.basename(variation.path))}")
    return ("\n".join(lines) + "\n").encode("utf-8", "surrogateescape")


def regenerate(variation, context, reporter):
    """Raises the variation to the current version of its core and writes BASE.vip."""
    wizards = Wizards(context.installation.wizards_file, reporter)
    core = variation.core
    if wizards.is_eol(core):
        reporter.error(f"The wizard {core} of {variation.path} is no longer supported")
        return False
    card = context.catalog.find_core(core) or context.catalog.find_core(wizards.resolve(core))
    if card is None and not wizards.is_installed(core):
        reporter.error(f"The wizard {core} of {variation.path} is not installed")
        return False
    if card and card.test_fails == "upgrade":
        reporter.error(f"Regenerating {variation.path} failed (the IP catalog marks {card.name} as failing to upgrade)")
        return False
    version = card.version if card else context.version
    if version_key(version) > version_key(variation.version):
        context.outputs.write_file(variation.path, variation.with_version(version))
        reporter.info(f"Regenerated {variation.path} from {core} {variation.version or '(no version)'} to {version}")
    else:
        version = variation.version
        reporter.info(f"{variation.path} is at the current version {version} of {core}")
    vip = os.path.join(os.path.dirname(variation.path), variation.name + ".vip")
    context.outputs.write_file(vip, ip_list_text(variation, core, version, card, context))
    reporter.info(f"Wrote the IP list {vip}")
    return True


def main(argv):
    if len(argv) != 2 or argv[0] != "-silent" or not argv[1]:
        print(USAGE, flush=True)
        return 2
    reporter = Reporter()
    path = os.path.abspath(argv[1])
    try:
        context = Context(reporter)
        variation = Variation(path)
        if variation.core in legacy_silent_cores(context.installation):
            convert_variation(path, context, reporter)
        else:
            regenerate(variation, context, reporter)
        context.fault.report_file(reporter, path)
    except (InstallationError, DeviceDatabaseError, VariationError, OutputError) as error:
        reporter.error(str(error))
        return 1
    return context.fault.exit_code(1 if reporter.failed else 0)


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
