#include "report/exit_statuses.h"

const ExitStatusRow kExitStatusRows[7] = {
    {kExitOk, "done: every launch was ready; the gate, if asked, found every run within", 0},
    {kExitFailed, "a file or a launch failed: a launch, reading a log, writing an output", 4},
    {kExitUsage, "bad command line or settings, or nothing to compare", 0},
    {kExitNotReady, "a launch missed its condition (kairon-time)", 3},
    {kExitSlower, "slower: --fail-if-slower found a run slower than its limit", 2},
    {kExitCannotJudge, "cannot tell: --fail-if-slower could not tell a run within its limit", 1},
    {kExitInterrupted, "interrupted by Ctrl-C (kairon-time)", 4},
};

namespace {

int WeightOf(ExitStatus status)
{
    for (const ExitStatusRow& row : kExitStatusRows)
        if (row.status == status)
            return row.weight;
    return 0;
}

// The statuses of one weight, as the table lists them: "1 and 130".
std::string StatusesWeighing(int weight)
{
    std::string statuses;
    for (const ExitStatusRow& row : kExitStatusRows) {
        if (row.weight != weight)
            continue;
        if (!statuses.empty())
            statuses += " and ";
        statuses += std::to_string(static_cast<int>(row.status));
    }
    return statuses;
}

// "Where several apply, 1 and 130 win over 3, 3 over 4, 4 over 5.", from
// the weights, heaviest first.
std::string PrecedenceSentence()
{
    int heaviest = 0;
    for (const ExitStatusRow& row : kExitStatusRows)
        heaviest = row.weight > heaviest ? row.weight : heaviest;
    std::string sentence = "Where several apply, ";
    for (int weight = heaviest; weight > 1; --weight) {
        if (weight < heaviest)
            sentence += ", " + StatusesWeighing(weight);
        sentence += (weight == heaviest ? StatusesWeighing(weight) + " win over " : " over ") +
                    StatusesWeighing(weight - 1);
    }
    return sentence + ".";
}

}  // namespace

ExitStatus Outweighing(ExitStatus current, ExitStatus other)
{
    return WeightOf(other) > WeightOf(current) ? other : current;
}

std::string ExitStatusTable(const std::string& indent)
{
    std::string table = indent + "Exit status:\n";
    for (const ExitStatusRow& row : kExitStatusRows) {
        std::string number = std::to_string(static_cast<int>(row.status));
        table += indent + "  " + number + std::string(5 - number.size(), ' ') + row.meaning + "\n";
    }
    // A run that failed or was cut short is not worth judging, and a
    // report missing an export is incomplete whatever the gate says.
    table += indent + PrecedenceSentence() + "\n";
    return table;
}
