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
};

// The files this run writes: the log, the baseline's log when comparing,
// the JSON when asked for.
std::vector<NamedFile> FilesWritten(const RunSettings& settings, const TimeOptions& options);

// Empty when no two of `files` are one file; otherwise what to say, as
// "--baseline-log and --log name one file: .\results.txt and results.txt".
// Opens no file for reading or writing.
std::string OneFileTwiceMessage(const std::vector<NamedFile>& files, FileNamePort& names);

#endif
