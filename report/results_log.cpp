#include "report/results_log.h"

#include "engine/log_format.h"
#include "report/log_line.h"

namespace {

// A window title holds at most 255 characters; with the handle and state
// that close the line, its continuation pieces cannot be longer than this.
const size_t kMaxTitleContinuation = 320;

// Foreign lines are reported one by one up to this many per log; the rest
// are counted, so that feeding in a wrong file does not flood the terminal.
const int kMaxReportedForeignLines = 20;

struct LineSplitter {
    std::string_view text;
    size_t next = 0;
    int number = 0;

    bool Next(std::string_view* line)
    {
        if (next >= text.size())
            return false;
        size_t end = text.find('\n', next);
        if (end == std::string_view::npos)
            end = text.size();
        *line = text.substr(next, end - next);
        if (!line->empty() && line->back() == '\r')
            line->remove_suffix(1);
        next = end + 1;
        ++number;
        return true;
    }
};

// After a window-list line whose title holds line breaks: moves past the
// pieces of the title when a later line closes it, and leaves the splitter
// where it was when none does (a line cut short by the end of a run).
void SkipTitleContinuation(LineSplitter* lines)
{
    LineSplitter ahead = *lines;
    size_t length = 0;
    std::string_view piece;
    while (length <= kMaxTitleContinuation && ahead.Next(&piece)) {
        if (StartsWindowListLine(piece))
            return;
        if (EndsWithWindowDetails(piece)) {
            *lines = ahead;
            return;
        }
        length += piece.size() + 1;
    }
}

// The start of a foreign line, fit to be shown on a terminal.
std::string Shorten(std::string_view line)
{
    const size_t limit = 60;
    std::string shown(line.substr(0, limit));
    for (char& c : shown)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
            c = '?';
    if (line.size() > limit)
        shown += "...";
    return shown;
}

struct RunBuilder {
    FailureCounts pending = {};  // failure lines waiting for their launch's time
    int pendingEither = 0;       // "Failed to find window <x> as visible"
    std::optional<std::uint32_t> pendingExitCode;

    void Count(Run* run, int kind, int howMany)
    {
        pending[kind] += howMany;
        run->failures[kind] += howMany;
    }

    // The ambiguous line names a search that gave up when the launch took
    // as long as a search that gives up, and a window that stayed hidden
    // otherwise.
    void ResolveEither(Run* run, bool tookWholeSearch)
    {
        Count(run, tookWholeSearch ? kWindowNotFound : kNotVisible, pendingEither);
        pendingEither = 0;
    }

    void AddLaunch(Run* run, double seconds, int line)
    {
        ResolveEither(run, seconds >= kSearchGiveUpSeconds);
        Launch launch;
        launch.seconds = seconds;
        launch.line = line;
        launch.failures = pending;
        launch.exitCode = pendingExitCode;
        pending = {};
        pendingExitCode.reset();
        run->launches.push_back(launch);
    }

    void AddExit(Run* run, std::uint32_t exitCode)
    {
        Count(run, kExitedBeforeReady, 1);
        pendingExitCode = exitCode;
    }

    // False when the run has no launch yet that the close could belong to.
    bool AddCloseFailure(Run* run)
    {
        if (run->launches.empty())
            return false;
        ++run->launches.back().closeFailures;
        ++run->closeFailures;
        return true;
    }

    void Finish(Run* run)
    {
        // Failure lines with no time after them: the run ended inside a launch.
        ResolveEither(run, true);
        pending = {};
        pendingExitCode.reset();
    }
};

}  // namespace

bool LaunchFailed(const Launch& launch)
{
    for (int count : launch.failures)
        if (count > 0)
            return true;
    return false;
}

const char* FailureKindName(int kind)
{
    switch (kind) {
    case kWindowNotFound:
        return "window not found";
    case kNotVisible:
        return "not visible";
    case kInputIdleFailed:
        return "input idle failed";
    case kExitedBeforeReady:
        return "exited before ready";
    case kHandedOff:
        return "handed off";
    case kNotSettled:
        return "not settled";
    default:
        return "?";
    }
}

const char* FailureKindKey(int kind)
{
    switch (kind) {
    case kWindowNotFound:
        return "window_not_found";
    case kNotVisible:
        return "not_visible";
    case kInputIdleFailed:
        return "input_idle_failed";
    case kExitedBeforeReady:
        return "exited_before_ready";
    case kHandedOff:
        return "handed_off";
    case kNotSettled:
        return "not_settled";
    default:
        return "?";
    }
}

ParsedLog ParseResultsLog(std::string_view text, const std::string& source)
{
    ParsedLog log;
    // A log opened and saved again by an editor may have gained a byte order mark.
    if (text.compare(0, 3, "\xEF\xBB\xBF") == 0)
        text.remove_prefix(3);

    LineSplitter lines{text};
    std::string_view line;
    LogLine first;
    first.kind = LogLineKind::Blank;
    while (lines.Next(&line)) {
        first = ClassifyLogLine(line);
        if (first.kind != LogLineKind::Blank)
            break;
    }
    if (first.kind != LogLineKind::Header) {
        const char* why = first.kind == LogLineKind::Blank
                              ? "not a results log: it is empty"
                              : "not a results log: it does not start with a "
                                "\"<application> - <N> executions\" line";
        log.problems.push_back({source, first.kind == LogLineKind::Blank ? 0 : lines.number, why});
        return log;
    }
    log.isResultsLog = true;

    RunBuilder builder;
    int foreignLines = 0;
    LogLine parsed = first;
    do {
        switch (parsed.kind) {
        case LogLineKind::Header: {
            if (!log.runs.empty())
                builder.Finish(&log.runs.back());
            Run run;
            run.source = source;
            run.headerLine = lines.number;
            run.application = std::string(parsed.application);
            run.announced = parsed.executions;
            log.runs.push_back(run);
            break;
        }
        case LogLineKind::Timing:
            builder.AddLaunch(&log.runs.back(), parsed.seconds, lines.number);
            break;
        case LogLineKind::WindowNotFound:
            builder.Count(&log.runs.back(), kWindowNotFound, 1);
            break;
        case LogLineKind::NotVisible:
            builder.Count(&log.runs.back(), kNotVisible, 1);
            break;
        case LogLineKind::InputIdleFailed:
            builder.Count(&log.runs.back(), kInputIdleFailed, 1);
            break;
        case LogLineKind::HandedOff:
            builder.Count(&log.runs.back(), kHandedOff, 1);
            break;
        case LogLineKind::NotSettled:
            builder.Count(&log.runs.back(), kNotSettled, 1);
            break;
        case LogLineKind::NotFoundOrNotVisible:
            ++builder.pendingEither;
            break;
        case LogLineKind::ExitedBeforeReady:
            builder.AddExit(&log.runs.back(), parsed.exitCode);
            break;
        case LogLineKind::CloseFailed:
            if (!builder.AddCloseFailure(&log.runs.back()))
                log.problems.push_back({source, lines.number,
                                        "a close failure before any launch of its run, "
                                        "skipped: \"" + Shorten(line) + "\""});
            break;
        case LogLineKind::DebugWindowStart:
            SkipTitleContinuation(&lines);
            break;
        case LogLineKind::Blank:
        case LogLineKind::Debug:
            break;
        case LogLineKind::Unknown:
            if (++foreignLines <= kMaxReportedForeignLines)
                log.problems.push_back({source, lines.number,
                                        "not a line of a results log, skipped: \"" +
                                            Shorten(line) + "\""});
            break;
        }
        if (!lines.Next(&line))
            break;
        parsed = ClassifyLogLine(line);
    } while (true);
    builder.Finish(&log.runs.back());

    if (foreignLines > kMaxReportedForeignLines)
        log.problems.push_back(
            {source, 0,
             std::to_string(foreignLines - kMaxReportedForeignLines) +
                 " more lines that are not lines of a results log, skipped"});
    return log;
}
