#include "platform/win32_files.h"

#include <windows.h>

#include <cstring>

bool Win32FileNames::FullPath(const std::string& path, std::string* full)
{
    // The longest path the system takes, so that one call always fits.
    std::string buffer(32768, '\0');
    const DWORD length = GetFullPathNameA(path.c_str(), static_cast<DWORD>(buffer.size()),
                                          &buffer[0], nullptr);
    if (length == 0 || length >= buffer.size())
        return false;
    buffer.resize(length);
    *full = buffer;
    return true;
}

std::string Win32FileNames::UpperCase(const std::string& path)
{
    std::string upper = path;
    if (!upper.empty())
        CharUpperBuffA(&upper[0], static_cast<DWORD>(upper.size()));
    return upper;
}

std::uintptr_t Win32FileNames::OpenToIdentify(const std::string& path)
{
    // No access asked for, and every sharing allowed: the file is neither
    // read nor written, nor kept from anyone. Backup semantics open a
    // folder too.
    const HANDLE file = CreateFileA(path.c_str(), 0,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    return file == INVALID_HANDLE_VALUE ? 0 : reinterpret_cast<std::uintptr_t>(file);
}

namespace {

typedef BOOL(WINAPI* Wow64Call)(HANDLE process, PBOOL wow64);
typedef BOOL(WINAPI* Wow64MachinesCall)(HANDLE process, USHORT* processMachine,
                                        USHORT* nativeMachine);

void* KernelFunction(const char* name)
{
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    return kernel != nullptr ? reinterpret_cast<void*>(GetProcAddress(kernel, name)) : nullptr;
}

// IsWow64Process2 (Windows 10 1511 on) also knows an x86 program on ARM64;
// before it, IsWow64Process; before that (XP), no 64-bit Windows to be on.
bool RunsUnderWow64()
{
    USHORT processMachine = IMAGE_FILE_MACHINE_UNKNOWN;
    USHORT nativeMachine = IMAGE_FILE_MACHINE_UNKNOWN;
    if (const auto machines =
            reinterpret_cast<Wow64MachinesCall>(KernelFunction("IsWow64Process2"))) {
        if (machines(GetCurrentProcess(), &processMachine, &nativeMachine))
            return processMachine != IMAGE_FILE_MACHINE_UNKNOWN;
    }
    BOOL wow64 = FALSE;
    const auto isWow64 = reinterpret_cast<Wow64Call>(KernelFunction("IsWow64Process"));
    return isWow64 != nullptr && isWow64(GetCurrentProcess(), &wow64) && wow64;
}

typedef BOOL(WINAPI* FileInformationByHandleCall)(HANDLE file, FILE_INFO_BY_HANDLE_CLASS kind,
                                                  LPVOID information, DWORD size);

}  // namespace

// Windows before Vista has no such call, and Windows 7 and FAT volumes no
// such class: each says no, and the 64-bit index is used instead.
bool Win32FileNames::IdentifyByFileId(std::uintptr_t file, FileIdentity* identity)
{
    const auto information = reinterpret_cast<FileInformationByHandleCall>(
        KernelFunction("GetFileInformationByHandleEx"));
    FILE_ID_INFO id;
    if (information == nullptr ||
        !information(reinterpret_cast<HANDLE>(file), FileIdInfo, &id, sizeof id))
        return false;
    static_assert(sizeof id.FileId.Identifier == 16, "a file id is 128 bits");
    identity->volume = id.VolumeSerialNumber;
    std::memcpy(&identity->index, &id.FileId.Identifier[0], 8);
    std::memcpy(&identity->indexHigh, &id.FileId.Identifier[8], 8);
    return true;
}

bool Win32FileNames::IdentifyByIndex(std::uintptr_t file, FileIdentity* identity)
{
    BY_HANDLE_FILE_INFORMATION information;
    if (!GetFileInformationByHandle(reinterpret_cast<HANDLE>(file), &information))
        return false;
    identity->volume = information.dwVolumeSerialNumber;
    identity->index = (static_cast<std::uint64_t>(information.nFileIndexHigh) << 32) |
                      information.nFileIndexLow;
    identity->indexHigh = 0;
    return true;
}

void Win32FileNames::CloseIdentifyHandle(std::uintptr_t file)
{
    CloseHandle(reinterpret_cast<HANDLE>(file));
}

bool Win32FileNames::CreateIfMissing(const std::string& path)
{
    const HANDLE file = CreateFileA(path.c_str(), FILE_APPEND_DATA,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    CloseHandle(file);
    return true;
}

void Win32FileNames::RemoveFile(const std::string& path)
{
    DeleteFileA(path.c_str());
}

ReplaceResult ReplaceFileWith(const char* from, const char* to)
{
    if (MoveFileExA(from, to, MOVEFILE_REPLACE_EXISTING))
        return kReplaced;
    const DWORD error = GetLastError();
    return error == ERROR_SHARING_VIOLATION || error == ERROR_ACCESS_DENIED ? kReplaceBusy
                                                                            : kReplaceFailed;
}

void PauseMs(int milliseconds)
{
    Sleep(static_cast<DWORD>(milliseconds));
}

bool RedirectedSystemFolder(std::string* systemFolder, std::string* seenAs)
{
    if (!RunsUnderWow64())
        return false;
    char system[MAX_PATH];
    char wow64[MAX_PATH];
    const UINT systemLength = GetSystemDirectoryA(system, sizeof system);
    const UINT wow64Length = GetSystemWow64DirectoryA(wow64, sizeof wow64);
    if (systemLength == 0 || systemLength >= sizeof system || wow64Length == 0 ||
        wow64Length >= sizeof wow64)
        return false;
    *systemFolder = system;
    *seenAs = wow64;
    return true;
}

std::string SystemTextToUtf8(std::string_view text)
{
    if (text.empty())
        return std::string();
    // A byte of any ANSI code page is at most one UTF-16 unit, and a unit
    // at most three bytes of UTF-8: each buffer fits in one call.
    std::wstring wide(text.size(), L'\0');
    const int units = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()),
                                          &wide[0], static_cast<int>(wide.size()));
    if (units <= 0)
        return std::string();
    std::string utf8(static_cast<std::size_t>(units) * 3, '\0');
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, wide.data(), units, &utf8[0],
                                          static_cast<int>(utf8.size()), nullptr, nullptr);
    if (bytes <= 0)
        return std::string();
    utf8.resize(static_cast<std::size_t>(bytes));
    return utf8;
}
