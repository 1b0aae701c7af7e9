// The controls of Kairon's dialogs, shared by kairon.rc and the code.
//
// A control's number is part of Kairon's outside: the dialog templates
// are built with it and the end-to-end tests' GUI driver reaches controls
// by it, so a number, once given, stays.
#ifndef KAIRON_RESOURCES_CONTROL_IDS_H
#define KAIRON_RESOURCES_CONTROL_IDS_H

// The list of controls: X(name, number) for each.
#define KAIRON_CONTROLS(X)          \
    X(IDC_CLOSE, 1000)              \
    X(IDC_BROWSE_APP, 1002)         \
    X(IDC_BROWSE_LOG, 1003)         \
    X(IDC_APP_PATH, 1004)           \
    X(IDC_LOG_PATH, 1005)           \
    X(IDC_EXECUTIONS, 1006)         \
    X(IDC_WINDOW_NAME, 1007)        \
    X(IDC_CMD_LINE, 1008)           \
    X(IDC_ICON_FRAME, 1009)         \
    X(IDC_RUN, 1010)                \
    X(IDC_DELAY, 1011)              \
    X(IDC_STATUS, 1012)             \
    X(IDC_INPUT_IDLE, 1014)         \
    X(IDC_DEBUG, 1015)              \
    X(IDC_NEW_WINDOWS_ONLY, 1016)   \
    X(IDC_DETECT_WINDOW_NAME, 1017) \
    X(IDC_VISIBLE, 1018)            \
    X(IDC_CLOSE_WM_CLOSE, 1019)     \
    X(IDC_CLOSE_SYSCOMMAND, 1020)   \
    X(IDC_CLOSE_ALT_F4, 1021)       \
    X(IDC_ABOUT, 1022)              \
    X(IDC_EXACT_MATCH, 1023)        \
    X(IDC_ABOUT_MAKER, 1037)        \
    X(IDC_ABOUT_VERSION, 1039)      \
    X(IDC_ABOUT_WEB, 1040)

// The resource compiler reads only plain #define lines, so the list is
// spelled out again for it. The C++ side below does not compile when a
// line's number differs from the list's, and control_ids_test fails when
// a line has no entry in the list.
#define IDC_CLOSE 1000
#define IDC_BROWSE_APP 1002
#define IDC_BROWSE_LOG 1003
#define IDC_APP_PATH 1004
#define IDC_LOG_PATH 1005
#define IDC_EXECUTIONS 1006
#define IDC_WINDOW_NAME 1007
#define IDC_CMD_LINE 1008
#define IDC_ICON_FRAME 1009
#define IDC_RUN 1010
#define IDC_DELAY 1011
#define IDC_STATUS 1012
#define IDC_INPUT_IDLE 1014
#define IDC_DEBUG 1015
#define IDC_NEW_WINDOWS_ONLY 1016
#define IDC_DETECT_WINDOW_NAME 1017
#define IDC_VISIBLE 1018
#define IDC_CLOSE_WM_CLOSE 1019
#define IDC_CLOSE_SYSCOMMAND 1020
#define IDC_CLOSE_ALT_F4 1021
#define IDC_ABOUT 1022
#define IDC_EXACT_MATCH 1023
#define IDC_ABOUT_MAKER 1037
#define IDC_ABOUT_VERSION 1039
#define IDC_ABOUT_WEB 1040

#ifndef RC_INVOKED

#include <string>

#define KAIRON_CONTROL_LINE_MATCHES_LIST(name, id) \
    static_assert(name == id, "#define " #name " differs from its entry in KAIRON_CONTROLS");
KAIRON_CONTROLS(KAIRON_CONTROL_LINE_MATCHES_LIST)
#undef KAIRON_CONTROL_LINE_MATCHES_LIST

struct ControlEntry {
    const char* name;
    int id;
};

#define KAIRON_CONTROL_ENTRY(name, id) {#name, id},
inline constexpr ControlEntry kControls[] = {KAIRON_CONTROLS(KAIRON_CONTROL_ENTRY)};
#undef KAIRON_CONTROL_ENTRY

inline constexpr bool ControlNumbersAreDistinct()
{
    for (const ControlEntry& a : kControls) {
        for (const ControlEntry& b : kControls) {
            if (&a != &b && a.id == b.id)
                return false;
        }
    }
    return true;
}
static_assert(ControlNumbersAreDistinct(), "two controls in KAIRON_CONTROLS share a number");

// "IDC_STATUS" for that control's number. A number the list does not have
// comes back as its decimal digits ("1013"), which no name can be taken for.
inline std::string ControlName(int id)
{
    for (const ControlEntry& control : kControls) {
        if (control.id == id)
            return control.name;
    }
    return std::to_string(id);
}

// The number of the control called exactly `name`; false when there is none.
inline bool ControlIdByName(const std::string& name, int* id)
{
    for (const ControlEntry& control : kControls) {
        if (name == control.name) {
            *id = control.id;
            return true;
        }
    }
    return false;
}

#endif  // RC_INVOKED

#endif
