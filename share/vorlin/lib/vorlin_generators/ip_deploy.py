"""ip-deploy: writes an IP-XACT 2014 component (a .gwip file) for a core of the catalog."""

import os
import sys
from xml.sax.saxutils import escape, quoteattr

from .context import Context
from .devices import DEVICE_AGNOSTIC, DeviceDatabaseError
from .installation import InstallationError
from .messages import Reporter
from .outputs import OutputError

USAGE = ("Usage: ip-deploy --component-name=<core> --output-name=<file> [--family=<device family>] "
         "[--part=<device part>] [--component-parameter=<name>=<value> ...] "
         "[--vorlin-project=<project> [--rev=<revision>]]")
IPXACT_NAMESPACE = "http://www.example.invalid/XMLSchema/IPXACT/1685-2014"
VENDOR_NAMESPACE = "http://www.example.invalid/XMLSchema/Oltran"


class UsageError(Exception):
    pass


class Options:
    def __init__(self, argv):
        self.component = ""
        self.output = ""
        self.family = ""
        self.part = ""
        self.parameters = []
        self.project = ""
        self.revision = ""
        for argument in argv:
            name, equals, value = argument.partition("=")
            if not equals or not name.startswith("--"):
                raise UsageError(f"Unexpected argument \"{argument}\"")
            if name == "--component-name":
                self.component = value
            elif name == "--output-name":
                self.output = value
            elif name == "--family":
                self.family = value
            elif name == "--part":
                self.part = value
            elif name == "--vorlin-project":
                self.project = value
            elif name == "--rev":
                self.revision = value
            elif name == "--component-parameter":
                key, equals, parameter_value = value.partition("=")
                if not equals or not key:
                    raise UsageError("--component-parameter takes <name>=<value>")
                self.parameters.append((key, parameter_value))
            else:
                raise UsageError(f"Unknown option {name}")
        if not self.component or not self.output:
            raise UsageError("--component-name= and --output-name= are both needed")


def output_path(name):
    """The output file, absolute; a name without extension gets ".gwip"."""
    path = os.path.abspath(name)
    return path if os.path.splitext(path)[1] else path + ".gwip"


def _parameter(name, value, indent):
    pad = " " * indent
    return [f"{pad}<ipxact:parameter parameterId={quoteattr(name)} type=\"string\">",
            f"{pad}  <ipxact:name>{escape(name)}</ipxact:name>",
            f"{pad}  <ipxact:value>{escape(value)}</ipxact:value>",
            f"{pad}</ipxact:parameter>"]


def component_text(card, instance, family, part, parameters, version):
    """The IP-XACT 2014 component, with the vendor extensions that carry the core's
    identity and device family."""
    vendor = card.author or "unknown"
    lines = ['<?xml version="1.0" encoding="UTF-8"?>',
             f"<!-- Deployed by ip-deploy {escape(version)}. -->",
             f"<ipxact:component xmlns:ipxact={quoteattr(IPXACT_NAMESPACE)} xmlns:oltran={quoteattr(VENDOR_NAMESPACE)}>",
             f"  <ipxact:vendor>{escape(vendor)}</ipxact:vendor>",
             f"  <ipxact:library>{escape(instance)}</ipxact:library>",
             f"  <ipxact:name>{escape(instance)}</ipxact:name>",
             f"  <ipxact:version>{escape(card.version)}</ipxact:version>"]
    if parameters:
        lines.append("  <ipxact:parameters>")
        for name, value in parameters:
            lines += _parameter(name, value, 4)
        lines.append("  </ipxact:parameters>")
    lines += ["  <ipxact:vendorExtensions>",
              "    <oltran:entity_info>",
              f"      <ipxact:vendor>{escape(vendor)}</ipxact:vendor>",
              f"      <ipxact:name>{escape(card.name)}</ipxact:name>",
              f"      <ipxact:version>{escape(card.version)}</ipxact:version>",
              f"      <ipxact:library>{escape(instance)}</ipxact:library>",
              "    </oltran:entity_info>",
              "    <oltran:oltran_system_parameters>",
              "      <ipxact:parameters>"]
    if part:
        lines += _parameter("device", part, 8)
    lines += _parameter("deviceFamily", family, 8)
    lines += ["      </ipxact:parameters>",
              "    </oltran:oltran_system_parameters>",
              "    <oltran:oltran_has_warnings>false</oltran:oltran_has_warnings>",
              "    <oltran:oltran_has_errors>false</oltran:oltran_has_errors>",
              "  </ipxact:vendorExtensions>",
              "</ipxact:component>"]
    return ("\n".join(lines) + "\n").encode("utf-8", "surrogateescape")


def deploy(options, context, reporter):
    card = context.catalog.find_core(options.component)
    if card is None:
        reporter.error(f"The core {options.component} is not in the IP catalog")
        return False
    if card.test_fails == "generation":
        reporter.error(f"Deploying {card.name} failed (the IP catalog marks the core as failing to generate)")
        return False
    if options.family:
        family = context.devices.find_family(options.family)
        if family is None:
            reporter.error(f"The device family \"{options.family}\" is not in the device database")
            return False
        family_text = family.user
    elif context.project_family:
        family_text = context.project_family.user
    else:
        family_text = card.families[0] if card.families else DEVICE_AGNOSTIC
    path = output_path(options.output)
    instance = os.path.splitext(os.path.basename(path))[0]
    context.outputs.write_file(path, component_text(card, instance, family_text, options.part,
                                                    options.parameters, context.version))
    reporter.info(f"Deployed {card.name} {card.version} for {family_text} to {path}")
    context.fault.report_file(reporter, path)
    return True


def main(argv):
    reporter = Reporter()
    try:
        options = Options(argv)
    except UsageError as error:
        reporter.error(str(error))
        reporter.info(USAGE)
        return 2
    try:
        context = Context(reporter, options.project, options.revision)
        deploy(options, context, reporter)
    except (InstallationError, DeviceDatabaseError, OutputError) as error:
        reporter.error(str(error))
        return 1
    return context.fault.exit_code(1 if reporter.failed else 0)


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
