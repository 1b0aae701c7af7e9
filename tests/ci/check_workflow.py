"""docs/ci.md's workflow, as GitHub would read it: one Windows job on a
self-hosted runner that runs again and again on one machine, takes Kairon's
zip with its checksum checked, gates on kairon-time --compare and keeps
the logs, the JSON and the chart; then the job that builds the zip instead,
and the steps that take that zip."""
import re
import sys
import textwrap

import yaml

text = open(sys.argv[1], encoding="utf-8").read()
blocks = [yaml.safe_load(textwrap.dedent(b)) for b in re.findall(r"^```yaml\n(.*?)^```$", text, re.S | re.M)]
assert len(blocks) == 3, f"expected the workflow, the zip's job and its steps, found {len(blocks)} yaml blocks"
workflow, zip_job, zip_steps = blocks[0], blocks[1]["kairon"], blocks[2]
# YAML 1.1 reads the key "on" as true.
assert "pull_request" in workflow.get("on", workflow.get(True)), "no trigger"
windows = workflow["jobs"]["startup-time"]
for step in windows["steps"] + zip_job["steps"] + zip_steps:
    assert ("uses" in step) != ("run" in step), f"step {step.get('name')}"


def runs(steps):
    return "\n".join(step.get("run", "") for step in steps)


def uses(steps, action):
    return [s for s in steps if s.get("uses", "").startswith(action)]


gate = runs(windows["steps"])
for word in ("kairon-time.exe", "--compare", "--fail-if-slower", "--json startup", "--export-svg startup",
             "exit /b %status%"):
    assert word in gate, f"the Windows job lacks {word}"
kept = uses(windows["steps"], "actions/upload-artifact")
assert len(kept) == 1 and kept[0]["if"] == "always()" and kept[0]["with"]["path"] == "startup"

# Runs again on one machine: before anything else, the last run's results,
# download and unpacked programs go; every unpacking overwrites.
first = windows["steps"][0].get("run", "")
assert "Remove-Item" in first and all(f"'{d}'" in first for d in ("startup", "kairon", "kairon-download")), first
unpacking = [line for line in (gate + runs(zip_steps)).splitlines() if "Expand-Archive" in line]
assert len(unpacking) == 2 and all("-Force" in line for line in unpacking), unpacking

# Exactly one zip: the download's by its name, the artifact's counted.
assert "-Path $zip -" in unpacking[0] and "*" not in unpacking[0], unpacking[0]
assert "if ($zips.Count -ne 1) { throw" in runs(zip_steps)

# The stock shells of Windows: no PowerShell 7.
shells = {s.get("shell") for s in windows["steps"] + zip_steps if "run" in s}
assert shells == {"powershell", "cmd"}, shells

# The zip's checksum is checked before it is unpacked.
for script, against in ((gate, "$env:KAIRON_SHA256"), (runs(zip_steps), "$sum")):
    check = script.index("Get-FileHash -Algorithm SHA256")
    refusal = script.index(f"-ne {against}) {{ throw", check)
    assert refusal < script.index("Expand-Archive"), script
assert re.fullmatch(r"[0-9a-f]{64}", workflow["env"]["KAIRON_SHA256"])

# Built from Kairon's repository, named by the variable the text explains,
# never the repository the workflow is in.
assert zip_job["steps"][0]["with"]["repository"] == "${{ vars.KAIRON_REPOSITORY }}"
assert "`KAIRON_REPOSITORY` is a repository variable" in text
assert "scripts/package.sh" in runs(zip_job["steps"])
assert [s["with"]["path"] for s in uses(zip_job["steps"], "actions/upload-artifact")] == ["kairon-src/build/package/"]

# Only on a runner labelled for it, and never for a fork's pull request.
assert windows["runs-on"] == ["self-hosted", "windows", "startup-gate"]
assert windows["if"] == "github.event.pull_request.head.repo.full_name == github.repository"
needs = text[text.index("## What the runner needs"):text.index("## Reading a failure")]
for need in ("--labels startup-gate", "forks", "interactive desktop session", "screen saver", "Remote Desktop"):
    assert need in needs, f"the runner's needs do not say {need}"

# The summary gets kairon-time's report (the verdict) and kairon-report's
# comparison table.
summary = [line for line in gate.splitlines() if "GITHUB_STEP_SUMMARY" in line]
assert any("type startup\\gate.txt" in line for line in summary), summary
assert any("type startup\\startup.md" in line for line in summary), summary
assert re.search(r"kairon-report\.exe .*--compare .*--export-markdown startup\\startup\.md", gate.replace("^\n", ""))
assert "> startup\\gate.txt" in gate
print("ok: docs/ci.md's workflow")
