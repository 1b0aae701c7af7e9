// A file written whole or not at all: written beside its place under
// another name, checked at every step, and only then moved over whatever
// stood there. A full disk or a share that went away leaves the old file
// as it was, never a cut or empty one.
#ifndef KAIRON_CONSOLE_PENDING_FILE_H
#define KAIRON_CONSOLE_PENDING_FILE_H

#include "platform/file_names.h"

#include <cstdio>
#include <string>

// Moves `from` over `to`, replacing any file there.
using ReplaceFileFunction = ReplaceResult (*)(const char* from, const char* to);

// How a busy move is waited for: a pause of the given milliseconds.
using PauseFunction = void (*)(int milliseconds);

// How long a move that finds a file busy is tried again, and how often.
constexpr int kReplaceRetryMs = 3000;
constexpr int kReplaceRetryPauseMs = 50;

struct PendingFile {
    std::string path;       // where it goes
    std::string tempPath;   // where it is written first
    std::FILE* stream = nullptr;
};

// The name it is written under first: in the same folder, so that the
// move is a rename on one volume, and told apart by `tag` (the process's
// id) from another run's.
std::string TempPathBeside(const std::string& path, unsigned long tag);

// Creates the file under its temporary name, so that one that cannot be
// written is found out before the work that fills it; false when it cannot.
bool BeginPendingFile(const std::string& path, const std::string& tempPath, PendingFile* file);

// Writes `bytes`, then moves the file into place, trying again for up to
// kReplaceRetryMs while the move finds a file busy. False when any step
// failed; the temporary file is gone either way.
bool CommitPendingFile(PendingFile* file, const std::string& bytes, ReplaceFileFunction replace,
                       PauseFunction pause);

// Gives the file up unwritten: closed, and its temporary file removed.
void DiscardPendingFile(PendingFile* file);

#endif
