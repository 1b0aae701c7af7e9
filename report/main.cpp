// kairon-report: summarises, compares, exports and charts the start-up
// times in Kairon's results logs.
#include "report/report_program.h"

#include <iostream>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

int main(int argc, char** argv)
{
#ifdef _WIN32
    // A log piped in is read as it was written; a text-mode stdin would
    // also stop at the first Ctrl-Z byte.
    _setmode(_fileno(stdin), _O_BINARY);
#endif
    return RunReportProgram(argc, argv, stdin, std::cout, std::cerr);
}
