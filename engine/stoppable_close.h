// kairon-time's close messages: sent without blocking and watched in
// short slices, so that Ctrl-C is not kept waiting by a window whose
// thread does not answer (SendMessageTimeoutA would hold it for the
// message's whole time-out).
#ifndef KAIRON_ENGINE_STOPPABLE_CLOSE_H
#define KAIRON_ENGINE_STOPPABLE_CLOSE_H

#include "config/run_settings.h"
#include "platform/platform.h"

// Once a stop is asked for, a message its window has not handled this long
// after it was sent is taken for one it will not handle.
const unsigned kStoppedSendMs = 1000;

// Sends the chosen close messages in order, as SendCloseMessages does,
// each allowed kCloseMessageTimeoutMs, or kStoppedSendMs once a stop is
// asked for. False when one was not handled in its time and the window
// is still there.
bool SendCloseMessagesUntilStop(const RunSettings& settings, Platform& platform,
                                WindowHandle window);

#endif
