"""docs/ci.md's workflow, as GitHub would read it: one YAML document whose
Linux job packs the zip and whose Windows job, after it, gates on
kairon-time --compare and keeps the logs, the JSON and the chart."""
import re
import sys

import yaml

text = open(sys.argv[1], encoding="utf-8").read()
blocks = re.findall(r"^```yaml\n(.*?)^```$", text, re.S | re.M)
assert len(blocks) == 1, f"expected one yaml block, found {len(blocks)}"
workflow = yaml.safe_load(blocks[0])
# YAML 1.1 reads the key "on" as true.
assert "pull_request" in workflow.get("on", workflow.get(True)), "no trigger"
jobs = workflow["jobs"]
linux, windows = jobs["kairon"], jobs["startup-time"]
assert "ubuntu" in linux["runs-on"] and "windows" in windows["runs-on"]
assert windows["needs"] == "kairon"
for job in (linux, windows):
    for step in job["steps"]:
        assert ("uses" in step) != ("run" in step), f"step {step.get('name')}"


def runs(job):
    return "\n".join(step.get("run", "") for step in job["steps"])


def uploads(job):
    return [s["with"]["path"] for s in job["steps"] if s.get("uses", "").startswith("actions/upload-artifact")]


assert "scripts/package.sh" in runs(linux)
assert uploads(linux) == ["kairon-src/build/package/Kairon-*-win32.zip"]
gate = runs(windows)
for word in ("kairon-time.exe", "--compare", "--fail-if-slower", "--json startup", "--export-svg startup",
             "exit $status"):
    assert word in gate, f"the Windows job lacks {word}"
kept = [s for s in windows["steps"] if s.get("uses", "").startswith("actions/upload-artifact")]
assert len(kept) == 1 and kept[0]["if"] == "always()" and kept[0]["with"]["path"] == "startup"
print("ok: docs/ci.md's workflow")
