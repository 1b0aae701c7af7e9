// Every export kairon-report can write, one row each. The program takes its
// export options, their lines in the usage and the files it writes from
// this table alone, in this order: a new format is one writer and one row.
#ifndef KAIRON_REPORT_EXPORT_FORMATS_H
#define KAIRON_REPORT_EXPORT_FORMATS_H

#include "report/exports.h"

struct ExportFormat {
    const char* option;  // takes the file's path
    const char* help;
    ExportWriter write;
};

inline constexpr ExportFormat kExportFormats[] = {
    {"--export-csv", "Write every launch time as CSV", ExportCsv},
    {"--export-json", "Write every launch time and the summaries as JSON", ExportJson},
    {"--export-hyperfine", "Write the runs in the JSON layout of hyperfine's --export-json",
     ExportHyperfine},
    {"--export-markdown", "Write the summary table as Markdown", ExportMarkdown},
    {"--export-svg", "Write a chart of the launches of every run as SVG", ExportSvg},
};

#endif
