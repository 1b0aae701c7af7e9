// The terminal's account of --trend: per series its levels and its
// changes, and for each change whose two builds are still on disk the
// kairon-time command that times them in turns and settles it.
#ifndef KAIRON_REPORT_TREND_REPORT_H
#define KAIRON_REPORT_TREND_REPORT_H

#include "report/trend_analysis.h"

#include <string>

// Whether a program file named in a log is still there to be launched.
using ProgramExists = bool (*)(const std::string& path);
bool ProgramFileExists(const std::string& path);

// The kairon-time command that times the two builds of `change` in turns,
// the slower as APP against the faster as baseline, so that status 4
// confirms the step whichever way it went.
std::string ConfirmationCommand(const TrendSeries& series, const TrendChange& change,
                                double minChangePercent);

std::string FormatTrend(const std::vector<TrendSeries>& series, double minChangePercent,
                        ProgramExists exists = ProgramFileExists);

#endif
