#!/usr/bin/env python3
"""check_manifest.py PROGRAM.exe: kairon-time's manifest declares
per-monitor-v2 DPI awareness with the older true/pm form, asInvoker, and
Windows 7, 8, 8.1 and 10 (which 11 shares) as supported systems."""
import re
import sys

WANTED = [
    r'<requestedExecutionLevel level="asInvoker" uiAccess="false"/>',
    r'<dpiAware xmlns="http://schemas.microsoft.com/SMI/2005/WindowsSettings">true/pm</dpiAware>',
    r'<dpiAwareness xmlns="http://schemas.microsoft.com/SMI/2016/WindowsSettings">PerMonitorV2</dpiAwareness>',
] + [f'<supportedOS Id="{{{guid}}}"/>' for guid in (
    "35138b9a-5d96-4fbd-8e2d-a2440225f93a", "4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38",
    "1f676c76-80e1-4239-95bb-83d0f6d0da78", "8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a")]
with open(sys.argv[1], "rb") as program:
    manifests = re.findall(rb"<assembly\b.*?</assembly>", program.read(), re.S)
missing = [w for w in WANTED if len(manifests) != 1 or not re.search(w, manifests[0].decode())]
if missing:
    sys.exit(f"{sys.argv[1]}: {len(manifests)} manifest(s), without: " + "; ".join(missing))
