#include "dialog/config_fields.h"

#include "resources/control_ids.h"

namespace {

// Sets an option from the file and ticks its check box when it is on; a
// box is never cleared here, since every box starts clear.
void SetOption(DialogPort& dialog, bool* option, bool value, int checkBoxId)
{
    *option = value;
    if (*option)
        dialog.Check(checkBoxId);
}

}  // namespace

void ApplyConfigValues(DialogPort& dialog, RunSettings* settings, const ConfigValues& values)
{
    const auto has = [&](ConfigLine line) { return values.lineCount >= line; };

    const struct {
        ConfigLine line;
        int id;
        const char* text;
    } textFields[] = {
        {kLineAppPath, IDC_APP_PATH, values.appPath},
        {kLineArguments, IDC_CMD_LINE, values.cmdLineArgs},
        {kLineLogPath, IDC_LOG_PATH, values.logPath},
        {kLineWindowName, IDC_WINDOW_NAME, values.windowName},
    };
    for (const auto& field : textFields) {
        if (has(field.line))
            dialog.SetFieldText(field.id, field.text);
    }
    if (has(kLineExecutions))
        dialog.SetFieldNumber(IDC_EXECUTIONS, values.executions);
    if (has(kLineDelay))
        dialog.SetFieldNumber(IDC_DELAY, values.delayMs);

    if (has(kLineDetection)) {
        SetOption(dialog, &settings->waitInputIdle, values.waitInputIdle, IDC_INPUT_IDLE);
        SetOption(dialog, &settings->detectByWindowName, values.detectByWindowName,
                  IDC_DETECT_WINDOW_NAME);
        // Exact Match only means something while windows are searched by name.
        dialog.EnableControl(IDC_EXACT_MATCH, settings->detectByWindowName);
        SetOption(dialog, &settings->exactMatch, values.exactMatch, IDC_EXACT_MATCH);
        SetOption(dialog, &settings->waitVisible, values.waitVisible, IDC_VISIBLE);
    }
    if (has(kLineCloseMethods)) {
        SetOption(dialog, &settings->closeByWmClose, values.closeByWmClose, IDC_CLOSE_WM_CLOSE);
        SetOption(dialog, &settings->closeBySysCommand, values.closeBySysCommand,
                  IDC_CLOSE_SYSCOMMAND);
        SetOption(dialog, &settings->closeByAltF4, values.closeByAltF4, IDC_CLOSE_ALT_F4);
    }
    if (has(kLineDebugLog))
        SetOption(dialog, &settings->debugLog, values.debugLog, IDC_DEBUG);
    if (has(kLineNewWindowsOnly))
        SetOption(dialog, &settings->newWindowsOnly, values.newWindowsOnly, IDC_NEW_WINDOWS_ONLY);

    // Unattended only when the file's last line asks for it.
    settings->autoRun = has(kLineUnattended) && values.autoRun;
}

void ApplyConfigText(DialogPort& dialog, RunSettings* settings, ConfigText* text)
{
    ConfigValues values;
    ReadConfigText(text, &values);
    ApplyConfigValues(dialog, settings, values);
}

void ApplyConfigBytes(DialogPort& dialog, RunSettings* settings, const char* bytes,
                      std::size_t size)
{
    ConfigValues values;
    ReadConfigBytes(bytes, size, &values);
    ApplyConfigValues(dialog, settings, values);
}

bool LoadConfigFile(DialogPort& dialog, RunSettings* settings, const char* path)
{
    ConfigValues values;
    if (!ReadConfigFile(path, &values)) {
        settings->autoRun = false;
        return false;
    }
    ApplyConfigValues(dialog, settings, values);
    return true;
}

void ApplyDefaults(DialogPort& dialog, RunSettings* settings)
{
    dialog.SetFieldNumber(IDC_EXECUTIONS, kDefaultExecutions);
    dialog.SetFieldNumber(IDC_DELAY, kDefaultDelayMs);
    LoadConfigFile(dialog, settings, kConfigFileName);
}
