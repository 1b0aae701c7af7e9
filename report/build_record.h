// What kairon-time's --json says of the build it timed and where: its
// --build id and the machine's name. A results log has no place for
// either and keeps its bytes, so kairon-report reads them from the JSON
// given beside the log, and finds the run each JSON belongs to by its
// program and its launch times.
#ifndef KAIRON_REPORT_BUILD_RECORD_H
#define KAIRON_REPORT_BUILD_RECORD_H

#include "report/results_log.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The JSON's top-level keys, written by kairon-time and read here.
extern const char kBuildIdKey[];     // "build"
extern const char kMachineKey[];     // "machine"

// One program's run as a JSON tells it: with --compare a JSON holds two,
// the baseline's and the app's; the build id is the app's alone.
struct BuildRecord {
    std::string source;            // the JSON's name as given
    std::string application;       // UTF-8
    std::string buildId;           // empty when none was given
    std::string machine;           // empty when unknown
    std::string window;            // the title waited for; empty without one
    std::vector<double> seconds;   // its measured launches, in order
};

// Whether a file's bytes look like JSON rather than a results log: its
// first character that is not white space is "{".
bool LooksLikeJson(std::string_view bytes);

// The records of one kairon-time JSON; none, and *problem set, when it is
// not one.
std::vector<BuildRecord> ReadBuildRecords(std::string_view bytes, const std::string& source,
                                          std::string* problem);

// For each run, the record that is its: the same program (its path as
// UTF-8) and the same launch times to four decimals, in order. Each record
// serves one run, the first that fits; records that fit none are named in
// *unmatched.
std::vector<std::optional<BuildRecord>> MatchBuildRecords(
    const std::vector<const Run*>& runs, const std::vector<BuildRecord>& records,
    std::vector<std::string>* unmatched);

#endif
