#include "platform/win32_files.h"

#include <windows.h>

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

bool Win32FileNames::Identify(std::uintptr_t file, FileIdentity* identity)
{
    BY_HANDLE_FILE_INFORMATION information;
    if (!GetFileInformationByHandle(reinterpret_cast<HANDLE>(file), &information))
        return false;
    identity->volume = information.dwVolumeSerialNumber;
    identity->index = (static_cast<std::uint64_t>(information.nFileIndexHigh) << 32) |
                      information.nFileIndexLow;
    return true;
}

void Win32FileNames::CloseIdentifyHandle(std::uintptr_t file)
{
    CloseHandle(reinterpret_cast<HANDLE>(file));
}

bool ReplaceFileWith(const char* from, const char* to)
{
    return MoveFileExA(from, to, MOVEFILE_REPLACE_EXISTING) != 0;
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
