#include "console/build_stamp.h"

#include "report/build_record.h"

#include <nlohmann/json.hpp>

std::string WithBuildStamp(const std::string& json, const std::string& buildId,
                           const std::string& machine)
{
    if (buildId.empty())
        return json;
    nlohmann::ordered_json document = nlohmann::ordered_json::parse(json, nullptr, false);
    if (document.is_discarded() || !document.is_object())
        return json;
    document[kBuildIdKey] = buildId;
    document[kMachineKey] = machine;
    return document.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace) + "\n";
}
