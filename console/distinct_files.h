// The files a run writes must be different files: two of them in one would
// mix two programs' lines into a log, or write the JSON over the log. Names
// are compared as the system resolves them, not as they are spelled.
#ifndef KAIRON_CONSOLE_DISTINCT_FILES_H
#define KAIRON_CONSOLE_DISTINCT_FILES_H

#include "config/run_settings.h"
#include "console/time_options.h"
#include "platform/file_names.h"

#include <string>
#include <vector>

struct NamedFile {
    const char* option;  // the option that names it, "--log"
    std::string path;    // as given
    bool log = false;    // appended to by the run, which creates it if new
};

// What names the JSON's temporary file in a refusal.
extern const char kJsonTemporaryOption[];

// The files this run writes: the log, the baseline's log when comparing,
// the JSON when asked for and, when `jsonTempPath` is not empty, the file
// the JSON is written to first.
std::vector<NamedFile> FilesWritten(const RunSettings& settings, const TimeOptions& options,
                                    const std::string& jsonTempPath = std::string());

// Empty when no two of `files` are one file; otherwise what to say, as
// "--baseline-log and --log name one file: .\results.txt and results.txt".
// Opens no file for reading or writing.
std::string OneFileTwiceMessage(const std::vector<NamedFile>& files, FileNamePort& names);

// The same check once the files are there: the logs are created empty
// where they are new, as the run is about to, and the JSON's temporary
// file has been created by its caller. Every file is then compared by what
// it is, which no spelling escapes, and a file put in place since the first
// check is caught too. When it refuses, the logs it created are removed
// again, so that nothing is left written.
std::string OneOpenFileTwiceMessage(const std::vector<NamedFile>& files, FileNamePort& names);

#endif
