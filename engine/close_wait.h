// Closing a launch's application: its close messages, the wait until it
// is gone, and the ending of what is left running.
#ifndef KAIRON_ENGINE_CLOSE_WAIT_H
#define KAIRON_ENGINE_CLOSE_WAIT_H

#include "engine/launch_context.h"

// One of the ways to ask a window to close, and whether the settings chose it.
struct CloseMessage {
    bool chosen;
    unsigned message;
    std::uintptr_t wParam;
    std::intptr_t lParam;
};
const int kCloseMessageCount = 3;

// The close messages in the order they are sent, each marked chosen or not.
void CloseMessages(const RunSettings& settings, CloseMessage (&messages)[kCloseMessageCount]);

// Sends the chosen close messages in order, each allowed kCloseMessageTimeoutMs.
// False when one was not handled in time: the window does not answer, and
// the rest would only wait on it too.
bool SendCloseMessages(const RunSettings& settings, WindowPort& windows, WindowHandle window);

// The close messages of a launch, with kairon-time's steps when given
// (they send without blocking, so that a stop is not held up). True when
// each was handled or the window is gone.
bool SendClose(const RunSettings& settings, Platform& platform, TimeSteps* steps, Launch* launch);

// Whether what the close messages were to end is gone: the window, and
// when nothing may be left running, the launched process too (a program
// that hides its window or keeps a second one goes on without it).
bool LaunchGone(const RunSettings& settings, Platform& platform, const Launch& launch);

enum CloseWait { kWaitClosed, kWaitTimedOut, kWaitStopped };

// Waits, from the close messages on, until the launch is gone, for at most
// kCloseWaitMs in all; the countdown since the messages went counts. With
// `stoppable`, a stop that was asked for ends the wait at once.
CloseWait WaitUntilClosed(const RunSettings& settings, Platform& platform, const Launch& launch,
                          std::int64_t frequency, bool stoppable);

// Ends the launched process when it still runs. True when it was ended.
// What else of its job runs is kairon-time's steps' to end (TimeSteps).
bool EndLaunch(Platform& platform, const Launch& launch);

// What a launch leaves once its close wait is over or cut short: with
// endLeftRunning, whatever still runs of a launch that did not close, or
// that missed what it waited for, is ended.
CloseOutcome EndWhatIsLeft(const RunSettings& settings, Platform& platform, const Launch& launch,
                           bool closed);

#endif
