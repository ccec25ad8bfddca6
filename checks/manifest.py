#!/usr/bin/env python3
"""The .exe carries the application manifest Windows reads, resource 1 of
type RT_MANIFEST, whose XML asks to run as its invoker.
usage: manifest.py EXE"""
import sys
import xml.etree.ElementTree as ET

from pe import resources

RT_MANIFEST = 24
V1 = "{urn:schemas-microsoft-com:asm.v1}"
V3 = "{urn:schemas-microsoft-com:asm.v3}"

found = [(name, data) for kind, name, lang, data in resources(sys.argv[1]) if kind == RT_MANIFEST]
if [name for name, data in found] != [1]:
    sys.exit("manifests filed as %s, not one as resource 1" % [name for name, data in found])
root = ET.fromstring(found[0][1])  # raises where the XML does not parse
level = root.find("%strustInfo/%ssecurity/%srequestedPrivileges/%srequestedExecutionLevel"
                  % (V3, V3, V3, V3))
if root.tag != V1 + "assembly" or level is None or level.get("level") != "asInvoker":
    sys.exit("the manifest asks for no execution level asInvoker")
