/* Kairon's version, defined here once: the build (CMake reads these lines,
   for the release package's name), the version block in kairon.rc and the
   About box all take it from here. Plain C preprocessor lines only, so that
   the resource compiler reads this file too. */
#ifndef KAIRON_RESOURCES_VERSION_H
#define KAIRON_RESOURCES_VERSION_H

#define KAIRON_VERSION_MAJOR 1
#define KAIRON_VERSION_MINOR 1
#define KAIRON_VERSION_PATCH 0
/* The build number is the major and minor digits, then two of the build
   within them: 1010 was 1.0's, 1110 is 1.1's. */
#define KAIRON_VERSION_BUILD 1110

#define KAIRON_STRINGIZE_(x) #x
#define KAIRON_STRINGIZE(x) KAIRON_STRINGIZE_(x)
/* "1.1.0.1110" */
#define KAIRON_VERSION_TEXT                                                  \
    KAIRON_STRINGIZE(KAIRON_VERSION_MAJOR) "." KAIRON_STRINGIZE(KAIRON_VERSION_MINOR) "." \
    KAIRON_STRINGIZE(KAIRON_VERSION_PATCH) "." KAIRON_STRINGIZE(KAIRON_VERSION_BUILD)
/* "V1.1" and "1110", as the About box shows them */
#define KAIRON_SHORT_VERSION_TEXT \
    "V" KAIRON_STRINGIZE(KAIRON_VERSION_MAJOR) "." KAIRON_STRINGIZE(KAIRON_VERSION_MINOR)
#define KAIRON_BUILD_TEXT KAIRON_STRINGIZE(KAIRON_VERSION_BUILD)

#endif
