#include "report/exit_statuses.h"

const ExitStatusRow kExitStatusRows[7] = {
    {kExitOk, "done: every launch was ready; the gate, if asked, found every run within"},
    {kExitFailed, "a file or a launch failed: a launch, reading a log, writing an output"},
    {kExitUsage, "bad command line or settings, or nothing to compare"},
    {kExitNotReady, "a launch missed its condition (kairon-time)"},
    {kExitSlower, "slower: --fail-if-slower found a run slower than its limit"},
    {kExitCannotJudge, "cannot tell: --fail-if-slower could not tell a run within its limit"},
    {kExitInterrupted, "interrupted by Ctrl-C (kairon-time)"},
};

std::string ExitStatusTable(const std::string& indent)
{
    std::string table = indent + "Exit status:\n";
    for (const ExitStatusRow& row : kExitStatusRows) {
        std::string number = std::to_string(static_cast<int>(row.status));
        table += indent + "  " + number + std::string(5 - number.size(), ' ') + row.meaning + "\n";
    }
    // What the programs do, in the order their checks run: a run that
    // failed or was cut short is not worth judging, and a report missing
    // an export is incomplete whatever the gate says.
    table += indent + "Where several apply, " + std::to_string(kExitFailed) + " and " +
             std::to_string(kExitInterrupted) + " win over " + std::to_string(kExitNotReady) +
             ", " + std::to_string(kExitNotReady) + " over " + std::to_string(kExitSlower) +
             ", " + std::to_string(kExitSlower) + " over " + std::to_string(kExitCannotJudge) +
             ".\n";
    return table;
}
