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
};

extern const ResourceField kResourceFields[6];

// "tree" when the figures cover the program and all it started (a job),
// "process" when they cover the launched process alone.
const char* ResourceScope(const LaunchResources& resources);

#endif
