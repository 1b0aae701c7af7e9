#!/usr/bin/env python3
"""Holds kairon-time.exe's application manifest to what it must declare:
per-monitor-v2 DPI awareness with the older true/pm form beside it, the
invoker's execution level, and Windows 7 to 11 as supported systems.

    check_manifest.py PROGRAM.exe
"""
import re
import sys
import xml.etree.ElementTree as ElementTree

ASM_V1 = "{urn:schemas-microsoft-com:asm.v1}"
ASM_V3 = "{urn:schemas-microsoft-com:asm.v3}"
COMPATIBILITY = "{urn:schemas-microsoft-com:compatibility.v1}"
SETTINGS_2005 = "{http://schemas.microsoft.com/SMI/2005/WindowsSettings}"
SETTINGS_2016 = "{http://schemas.microsoft.com/SMI/2016/WindowsSettings}"
SUPPORTED_OS = {
    "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}",  # 7
    "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}",  # 8
    "{1f676c76-80e1-4239-95bb-83d0f6d0da78}",  # 8.1
    "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}",  # 10 and 11
}


def main(path):
    with open(path, "rb") as program:
        data = program.read()
    # The resource holds the manifest's bytes as they were written.
    manifests = re.findall(rb"<assembly\b.*?</assembly>", data, re.S)
    if len(manifests) != 1:
        return f"{path}: {len(manifests)} manifests, not 1"
    root = ElementTree.fromstring(manifests[0])
    problems = []
    levels = [(e.get("level"), e.get("uiAccess"))
              for e in root.iter(ASM_V3 + "requestedExecutionLevel")]
    if levels != [("asInvoker", "false")]:
        problems.append(f"execution level {levels}, not asInvoker without UI access")
    awareness = [e.text.strip() for e in root.iter(SETTINGS_2016 + "dpiAwareness")]
    if awareness != ["PerMonitorV2"]:
        problems.append(f"dpiAwareness {awareness}, not PerMonitorV2")
    aware = [e.text.strip() for e in root.iter(SETTINGS_2005 + "dpiAware")]
    if aware != ["true/pm"]:
        problems.append(f"dpiAware {aware}, not true/pm")
    systems = [e.get("Id") for e in root.iter(COMPATIBILITY + "supportedOS")]
    if sorted(systems) != sorted(SUPPORTED_OS):
        problems.append(f"supportedOS {systems}, not Windows 7, 8, 8.1 and 10")
    if root.tag != ASM_V1 + "assembly":
        problems.append(f"root element {root.tag}")
    return "; ".join(f"{path}: {p}" for p in problems) or None


if __name__ == "__main__":
    failure = main(sys.argv[1])
    if failure:
        print(failure)
        sys.exit(1)
