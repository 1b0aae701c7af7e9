// The figures of what a launch used, by the names kairon-time gives them
// in its JSON and in its summary, in one order for both.
#ifndef KAIRON_CONSOLE_RESOURCE_FIELDS_H
#define KAIRON_CONSOLE_RESOURCE_FIELDS_H

#include "engine/launch_resources.h"

#include <optional>

enum ResourceUnit {
    kUnitSeconds,
    kUnitCount,
    kUnitBytes,
};

struct ResourceField {
    const char* key;    // in the JSON's "resources"
    const char* label;  // in the summary
    ResourceUnit unit;
    std::optional<double> (*value)(const LaunchResources& resources);
    bool ofTheTree;     // from the job when there is one; else always the
                        // launched process's own
};

const int kResourceFieldCount = 7;
extern const ResourceField kResourceFields[kResourceFieldCount];

// "tree" when `field` covers the program and all it started (a job),
// "process" when it covers the launched process alone.
const char* ResourceScope(const LaunchResources& resources, const ResourceField& field);

#endif
