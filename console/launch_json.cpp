#include "console/launch_json.h"

#include "console/resource_fields.h"
#include "report/text_format.h"

#include <nlohmann/json.hpp>

#include <cstdlib>
#include <cstring>

using Json = nlohmann::ordered_json;

namespace {

// Seconds as the log states them, four decimals, so that "seconds" reads
// as the log's number and not as the float it was held in.
Json Seconds(double seconds)
{
    return Json(std::strtod(FormatFixed(seconds, 4).c_str(), nullptr));
}

// Milliseconds to the microsecond, as the counter measures them; null for
// none (-1).
Json Milliseconds(double ms)
{
    return ms >= 0 ? Json(std::strtod(FormatFixed(ms, 3).c_str(), nullptr)) : Json(nullptr);
}

// Each mark's name in "marks" and "counts", in the order a start-up
// reaches them.
struct MarkField {
    const char* name;
    double PhaseMarks::*seconds;
    std::int64_t PhaseCounts::*count;
};
const MarkField kMarkFields[] = {
    {"input_idle", &PhaseMarks::inputIdle, &PhaseCounts::inputIdle},
    {"window", &PhaseMarks::window, &PhaseCounts::window},
    {"visible", &PhaseMarks::visible, &PhaseCounts::visible},
    {"settled", &PhaseMarks::settled, &PhaseCounts::settled},
};

Json Marks(const PhaseMarks& marks)
{
    Json object = Json::object();
    for (const MarkField& field : kMarkFields) {
        if (marks.*field.seconds >= 0)
            object[field.name] = Seconds(marks.*field.seconds);
    }
    return object;
}

// The counter's raw readings: the start, and each mark reached.
Json Counts(const LaunchResult& launch)
{
    Json object = Json::object();
    object["start"] = launch.counts.start;
    for (const MarkField& field : kMarkFields) {
        if (launch.marks.*field.seconds >= 0)
            object[field.name] = launch.counts.*field.count;
    }
    return object;
}

// The process that owns the launch's window: the launched one, another
// program (a launcher's, a broker's), or an older instance of the same one.
Json Owner(const WindowOwner& owner, TextToUtf8 toUtf8)
{
    Json object = Json::object();
    object["pid"] = owner.processId;
    object["program"] = owner.program.empty() ? Json(nullptr) : Json(toUtf8(owner.program));
    object["launched"] = owner.launched;
    object["in_job"] = owner.inJob;
    return object;
}

// What the wait for the drawn content saw: from these a reader tells a
// launch that settled on its first picture, unchanged, from one that drew.
// picture_ms and resolution_ms say how precise its mark is.
Json Settle(const SettleRecord& settle, TextToUtf8 toUtf8)
{
    Json object = Json::object();
    object["capture"] = kCaptureSourceNames[settle.capture];
    object["pictures"] = settle.pictures;
    object["changes"] = settle.changes;
    object["content"] = settle.content >= 0 ? Seconds(settle.content) : Json(nullptr);
    object["covered"] = settle.outcome == kSettleCovered;
    Json cover = nullptr;
    if (settle.outcome == kSettleCovered) {
        cover = Json::object();
        cover["title"] = toUtf8(settle.coveredTitle);
        cover["class"] = toUtf8(settle.coveredClass);
    }
    object["covered_by"] = cover;
    object["picture_ms"] = Milliseconds(settle.pictureMs);
    object["resolution_ms"] = Milliseconds(settle.resolutionMs);
    return object;
}

// What the launch used until its time was taken; null for a figure the
// system does not give.
Json Resources(const LaunchResources& resources)
{
    Json object = Json::object();
    object["scope"] = ResourceScope(resources, kResourceFields[0]);
    for (const ResourceField& field : kResourceFields) {
        const std::optional<double> value = field.value(resources);
        // The one figure whose scope may differ from the rest names its own.
        if (!field.ofTheTree)
            object[std::string(field.key, std::strlen(field.key) - std::strlen("_bytes")) +
                   "_scope"] = ResourceScope(resources, field);
        if (!value)
            object[field.key] = nullptr;
        else if (field.unit == kUnitSeconds)
            object[field.key] = Seconds(*value);
        else
            object[field.key] = static_cast<std::uint64_t>(*value);
    }
    return object;
}

// What became of the launch's application. Only the dialog's runs leave a
// window that stayed running ("failed"); kairon-time leaves only a window
// of a program the launch did not start ("left").
const char* CloseName(CloseOutcome outcome)
{
    switch (outcome) {
    case kCloseClosed:
        return "closed";
    case kCloseWent:
        return "went";
    case kCloseEnded:
        return "ended";
    case kCloseFailed:
        return "failed";
    case kCloseLeft:
        return "left";
    case kCloseNone:
        break;
    }
    return "none";
}

}  // namespace

std::string LaunchesJson(const RunSettings& settings, const std::vector<LaunchRecord>& launches,
                         std::int64_t counterFrequency, TextToUtf8 toUtf8)
{
    Json document = Json::object();
    document["application"] = toUtf8(settings.appPath);
    document["arguments"] = toUtf8(settings.cmdLineArgs);
    // Only a comparison names the baseline and whose each launch is, so
    // that the JSON of a run of APP alone stays as it always was.
    const bool comparing = settings.baselinePath[0] != '\0';
    if (comparing)
        document["baseline"] = toUtf8(settings.baselinePath);
    document["window"] = settings.detectByWindowName ? Json(toUtf8(settings.windowName))
                                                     : Json(nullptr);
    document["counter_frequency"] = counterFrequency;
    Json list = Json::array();
    for (const LaunchRecord& record : launches) {
        const LaunchResult& launch = record.result;
        Json entry = Json::object();
        if (comparing)
            entry["program"] = launch.baseline ? "baseline" : "app";
        entry["launch"] = launch.launch;
        entry["warmup"] = launch.warmup;
        entry["seconds"] = Seconds(launch.seconds);
        entry["reached"] = record.Reached();
        entry["marks"] = Marks(launch.marks);
        // A run that read the counter only at the start and the end has
        // no marks to count.
        if (launch.counts.start != 0)
            entry["counts"] = Counts(launch);
        if (launch.settle.waited)
            entry["settle"] = Settle(launch.settle, toUtf8);
        if (launch.owner.known)
            entry["window_owner"] = Owner(launch.owner, toUtf8);
        if (launch.owner.handedOff)
            entry["handed_off"] = true;
        if (!record.Reached())
            entry["failure"] = toUtf8(launch.failureLine);
        entry["close"] = CloseName(record.close);
        if (record.endedInJob >= 0)
            entry["ended_processes"] = record.endedInJob;
        if (launch.resources.measured)
            entry["resources"] = Resources(launch.resources);
        if (launch.cold) {
            entry["cold"] = true;
            entry["file_cache"] = {
                {"standby_pages_before", launch.cachePurge.standbyPagesBefore},
                {"standby_pages_after", launch.cachePurge.standbyPagesAfter}};
        }
        list.push_back(entry);
    }
    document["launches"] = list;
    // Text the conversion could not make UTF-8 of is marked, not thrown over.
    return document.dump(2, ' ', false, Json::error_handler_t::replace) + "\n";
}
