// Reading logs and writing exports, byte for byte: a log's CR LF line ends
// are the parser's business, and exports come out the same on every system.
#ifndef KAIRON_REPORT_REPORT_FILES_H
#define KAIRON_REPORT_REPORT_FILES_H

#include <cstdio>
#include <string>

// False when the file cannot be opened or read to its end; errno says why.
bool ReadWholeFile(const std::string& path, std::string* bytes);
bool ReadWholeStream(std::FILE* stream, std::string* bytes);
// False when the file cannot be created or written in full.
bool WriteWholeFile(const std::string& path, const std::string& bytes);

#endif
