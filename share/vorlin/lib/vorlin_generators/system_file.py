"""System files (.tessel): the modules of a system and its device family, rewriting module
versions in place (the rest of the file stays byte for byte), and new standalone systems."""

import os
import re
import xml.parsers.expat
from xml.sax.saxutils import quoteattr

from .files import problem_of, read_bytes


class SystemFileError(Exception):
    """The file is missing or is not a system file."""


class Module:
    def __init__(self, attributes, offset):
        self.name = attributes.get("name")
        self.kind = attributes.get("kind", "")
        self.version = attributes.get("version", "")
        self.enabled = attributes.get("enabled", "1") != "0"
        self.autoexport = attributes.get("autoexport") == "1"
        self.offset = offset            # byte index of the module's start tag


class SystemFile:
    """One system file as read: its modules in document order and its parameters."""

    def __init__(self, path):
        self.path = path
        self.name = os.path.splitext(os.path.basename(path))[0]
        self.modules = []
        self.parameters = {}
        try:
            self.data = read_bytes(path)
        except OSError as error:
            raise SystemFileError(f"Cannot read the system file {path}: {problem_of(error)}") from error
        self._parse()

    @property
    def device_family(self):
        return self.parameters.get("deviceFamily")

    def enabled_modules(self):
        return [module for module in self.modules if module.name and module.enabled]

    def is_standalone(self):
        return sum(1 for module in self.enabled_modules() if module.autoexport) == 1

    def _parse(self):
        parser = xml.parsers.expat.ParserCreate()
        depth = 0
        root = []

        def start(tag, attributes):
            nonlocal depth
            depth += 1
            if depth == 1:
                root.append(tag)
            elif depth == 2 and tag == "module":
                self.modules.append(Module(attributes, parser.CurrentByteIndex))
            elif depth == 2 and tag == "parameter" and "name" in attributes and "value" in attributes:
                self.parameters.setdefault(attributes["name"], attributes["value"])

        def end(_tag):
            nonlocal depth
            depth -= 1

        parser.StartElementHandler = start
        parser.EndElementHandler = end
        try:
            parser.Parse(self.data, True)
        except xml.parsers.expat.ExpatError as error:
            raise SystemFileError(f"{self.path} is not a well-formed system file: {error}") from error
        if root != ["system"]:
            raise SystemFileError(f"{self.path} is not a system file: its top element is not <system>")


# ---- rewriting module start tags ---------------------------------------------------------

def _tag_end(data, start):
    """Index of the ">" that ends the start tag at start; ">" may stand inside quotes."""
    quote = None
    for index in range(start + 1, len(data)):
        char = data[index:index + 1]
        if quote:
            if char == quote:
                quote = None
        elif char in (b'"', b"'"):
            quote = char
        elif char == b">":
            return index
    raise SystemFileError("unterminated start tag")


def _set_attribute(tag, name, value):
    quoted = quoteattr(value).encode("utf-8")
    pattern = re.compile(rb"(\s" + re.escape(name.encode()) + rb"\s*=\s*)(\"[^\"]*\"|'[^']*')")
    if pattern.search(tag):
        return pattern.sub(lambda match: match.group(1) + quoted, tag, count=1)
    closing = 2 if tag.endswith(b"/>") else 1
    return tag[:-closing].rstrip() + b" " + name.encode() + b"=" + quoted + tag[-closing:]


def rewrite_modules(system, changes):
    """The file's bytes with the attributes of some modules replaced: changes maps a module
    to {attribute: value}. Everything outside those attribute values is kept."""
    data = system.data
    # From the end backwards, so earlier offsets stay valid.
    for module, attributes in sorted(changes.items(), key=lambda item: item[0].offset, reverse=True):
        end = _tag_end(data, module.offset) + 1
        tag = data[module.offset:end]
        for name, value in attributes.items():
            tag = _set_attribute(tag, name, value)
        data = data[:module.offset] + tag + data[end:]
    return data


# ---- new standalone systems --------------------------------------------------------------

def standalone_system_text(name, tool, tool_version, kind, version, instance, family, parameters, origin):
    """A system wrapping one exported module of kind, as bytes."""
    lines = ['<?xml version="1.0" encoding="UTF-8"?>',
             f"<!-- Standalone system converted from {origin.replace('--', '- -')} (suite version {tool_version}) -->",
             f"<system name={quoteattr(name)}>",
             f"  <component name={quoteattr(name)} tool={quoteattr(tool)} version={quoteattr(tool_version)}/>"]
    if family:
        lines.append(f'  <parameter name="deviceFamily" value={quoteattr(family)}/>')
    attributes = f"name={quoteattr(instance)} kind={quoteattr(kind)} version={quoteattr(version)}"
    if parameters:
        lines.append(f'  <module {attributes} enabled="1" autoexport="1">')
        lines.extend(f"    <parameter name={quoteattr(key)} value={quoteattr(value)}/>" for key, value in parameters)
        lines.append("  </module>")
    else:
        lines.append(f'  <module {attributes} enabled="1" autoexport="1"/>')
    lines.append("</system>")
    return ("\n".join(lines) + "\n").encode("utf-8", "surrogateescape")
