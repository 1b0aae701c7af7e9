#include "console/save_config.h"

#include "config/config_writer.h"

#include <cstdio>
#include <string>

ExitStatus SaveConfig(const RunSettings& settings, const TimeOptions& options,
                          std::ostream& err)
{
    // Kairon reads the file with the dialog's checks, where input idle
    // alone is not enough: a file it would refuse is not worth writing.
    const SettingsCheck failed = FirstFailedCheck(settings);
    if (failed != kSettingsValid) {
        err << "kairon-time: " << TimeCheckMessage(failed) << "\n";
        return kExitUsage;
    }
    std::string bytes;
    std::string why;
    if (!ConfigTextOf(settings, !options.attended, &bytes, &why)) {
        err << "kairon-time: --save-config: " << why << "\n";
        return kExitUsage;
    }
    std::FILE* file = std::fopen(options.saveConfigPath.c_str(), "wb");
    bool written = file != nullptr &&
                   std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    if (file != nullptr && std::fclose(file) != 0)
        written = false;
    if (!written) {
        err << "kairon-time: Error: Unable to write " << options.saveConfigPath << "\n";
        return kExitFailed;
    }
    return kExitOk;
}
