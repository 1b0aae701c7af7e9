// kairon-time --build ID: the build's id and the machine's name, kept in
// the --json beside the run, so that kairon-report --trend can label each
// build and keep machines apart. The log has no line for them and keeps
// its bytes.
#ifndef KAIRON_CONSOLE_BUILD_STAMP_H
#define KAIRON_CONSOLE_BUILD_STAMP_H

#include <string>

// The JSON document with "build" and "machine" added at its end (UTF-8
// both); the document unchanged when buildId is empty.
std::string WithBuildStamp(const std::string& json, const std::string& buildId,
                           const std::string& machine);

#endif
