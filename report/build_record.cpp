#include "report/build_record.h"

#include "report/text_format.h"

#include <nlohmann/json.hpp>

const char kBuildIdKey[] = "build";
const char kMachineKey[] = "machine";

bool LooksLikeJson(std::string_view bytes)
{
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF")
        bytes.remove_prefix(3);
    const size_t first = bytes.find_first_not_of(" \t\r\n");
    return first != std::string_view::npos && bytes[first] == '{';
}

namespace {

std::string StringOr(const nlohmann::json& object, const char* key)
{
    auto found = object.find(key);
    return found != object.end() && found->is_string() ? found->get<std::string>()
                                                       : std::string();
}

}  // namespace

std::vector<BuildRecord> ReadBuildRecords(std::string_view bytes, const std::string& source,
                                          std::string* problem)
{
    const nlohmann::json document = nlohmann::json::parse(bytes, nullptr, false);
    if (document.is_discarded() || !document.is_object() ||
        !document.contains("application") || !document.contains("launches") ||
        !document["launches"].is_array()) {
        *problem = "not a JSON file of kairon-time's --json";
        return {};
    }
    BuildRecord app;
    app.source = source;
    app.application = StringOr(document, "application");
    app.buildId = StringOr(document, kBuildIdKey);
    app.machine = StringOr(document, kMachineKey);
    app.window = StringOr(document, "window");
    BuildRecord baseline = app;
    baseline.application = StringOr(document, "baseline");
    baseline.buildId.clear();
    for (const nlohmann::json& launch : document["launches"]) {
        if (!launch.is_object() || !launch.contains("seconds") || !launch["seconds"].is_number())
            continue;
        const auto warmup = launch.find("warmup");
        if (warmup != launch.end() && warmup->is_boolean() && warmup->get<bool>())
            continue;
        const bool ofBaseline = StringOr(launch, "program") == "baseline";
        (ofBaseline ? baseline : app).seconds.push_back(launch["seconds"].get<double>());
    }
    std::vector<BuildRecord> records{app};
    if (!baseline.application.empty())
        records.push_back(baseline);
    return records;
}

namespace {

bool Fits(const Run& run, const BuildRecord& record)
{
    if (ToUtf8(run.application) != record.application ||
        run.launches.size() != record.seconds.size())
        return false;
    for (size_t i = 0; i < record.seconds.size(); ++i)
        if (FormatFixed(run.launches[i].seconds, 4) != FormatFixed(record.seconds[i], 4))
            return false;
    return true;
}

}  // namespace

std::vector<std::optional<BuildRecord>> MatchBuildRecords(
    const std::vector<const Run*>& runs, const std::vector<BuildRecord>& records,
    std::vector<std::string>* unmatched)
{
    std::vector<std::optional<BuildRecord>> matched(runs.size());
    for (const BuildRecord& record : records) {
        bool placed = false;
        for (size_t i = 0; i < runs.size() && !placed; ++i) {
            if (!matched[i] && Fits(*runs[i], record)) {
                matched[i] = record;
                placed = true;
            }
        }
        if (!placed)
            unmatched->push_back(record.source + ": its run of " + record.application +
                                 " is in none of the logs given");
    }
    return matched;
}
