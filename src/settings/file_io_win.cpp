#include "settings/file_io_win.h"

#include "base/exceptions.h"
#include "base/format.h"
#include "base/handles_win.h"
#include "base/system_win.h"
#include "settings/temporary_path.h"

namespace {

std::string FullPath(const std::string& path) {
    char buffer[MAX_PATH * 2];
    const DWORD length = GetFullPathNameA(path.c_str(), sizeof buffer, buffer, nullptr);
    return length > 0 && length < sizeof buffer ? std::string(buffer, length) : path;
}

[[noreturn]] void RaiseCreateError(const std::string& path, DWORD error) {
    throw EFCreateError(
        Format("Cannot create file \"%s\". %s", FullPath(path).c_str(), SystemErrorMessage(error).c_str()));
}

// Whether a failure may pass in a moment: another program (a synchronisation client, a virus
// scanner, another instance reading the file) holds the file open.
bool Passing(DWORD error) {
    return error == ERROR_SHARING_VIOLATION || error == ERROR_ACCESS_DENIED || error == ERROR_LOCK_VIOLATION;
}

// Tries an action again for about a second while it fails for a reason that may pass; false
// with the last failure in GetLastError when it never succeeds.
template <typename Action>
bool Retrying(Action action) {
    constexpr int kTries = 20;
    constexpr DWORD kPauseMilliseconds = 50;
    for (int attempt = 1;; ++attempt) {
        if (action()) return true;
        const DWORD error = GetLastError();
        if (!Passing(error) || attempt == kTries) {
            SetLastError(error);
            return false;
        }
        Sleep(kPauseMilliseconds);
    }
}

// A temporary this old was left by a save that never ended (a crashed process): a save takes
// a few seconds at most, even on a slow or busy disk.
constexpr ULONGLONG kLeftoverAge = 60ull * 10000000;  // in FILETIME units

// Whether the open file was last written kLeftoverAge or more ago.
bool LeftLongAgo(HANDLE file) {
    FILETIME written{}, now{};
    if (!GetFileTime(file, nullptr, nullptr, &written)) return false;
    GetSystemTimeAsFileTime(&now);
    const auto value = [](const FILETIME& t) { return (ULONGLONG{t.dwHighDateTime} << 32) | t.dwLowDateTime; };
    return value(now) >= value(written) + kLeftoverAge;
}

// A save under way holds its temporary open for writing, which a takeover's open refuses, and
// from the end of the writing until the temporary is in place holds one byte of it locked, far
// past its end: a takeover that can lock that byte finds no save under way, whatever the file's
// times say (a clock set back, a time-sync step, a FAT volume at the daylight-saving switch).
bool SaveByte(HANDLE file, bool lock) {
    OVERLAPPED at{};
    at.OffsetHigh = 0x7FFFFFFF;
    return lock ? LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &at) != FALSE
                : UnlockFileEx(file, 0, 1, 0, &at) != FALSE;
}

// A temporary of that name left by a save that never ended, emptied and held as a new one is;
// nothing when a save may still be under way: the file held open by any program but for
// reading, its byte locked, or last written less than kLeftoverAge ago.
TFileHandle TakeOver(const std::string& name) {
    TFileHandle file(CreateFileA(name.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_DELETE,
                                 nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file || !SaveByte(file.Get(), true)) return TFileHandle();
    const bool leftOver = LeftLongAgo(file.Get());
    SaveByte(file.Get(), false);
    if (!leftOver || !SetEndOfFile(file.Get())) return TFileHandle();
    return file;
}

// Makes a temporary file of this save's own beside `path`: each name is taken only when no
// file or folder has it, so that two saves, of this process or another, never share one. With
// `takeOver`, a temporary left by a save that never ended is taken over (TakeOver), so that such
// leftovers never block a save; a save under way is never taken over.
TFileHandle CreateTemporary(const std::string& path, std::string& temporary, DWORD& error, bool takeOver,
                            bool& takenOver) {
    error = ERROR_FILE_EXISTS;
    takenOver = false;
    for (unsigned attempt = 0;; ++attempt) {
        const std::optional<std::string> name = TemporaryPathFor(path, attempt);
        if (!name) {
            // Every name is taken: no reason to write in place.
            error = ERROR_FILE_EXISTS;
            return TFileHandle();
        }
        if (*name == path) continue;
        // Shared for reading, so that it can be held for reading once written, and for deletion,
        // so that it can be removed and moved while it is held.
        TFileHandle file(CreateFileA(name->c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_DELETE,
                                     nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
        error = GetLastError();
        if (!file && error == ERROR_FILE_EXISTS && takeOver) {
            file = TakeOver(*name);
            takenOver = static_cast<bool>(file);
        }
        if (file) {
            temporary = *name;
            return file;
        }
        // A folder of that name, or a file on its way out, refuses access: the name is taken.
        const bool taken =
            error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS ||
            (error == ERROR_ACCESS_DENIED && GetFileAttributesA(name->c_str()) != INVALID_FILE_ATTRIBUTES);
        if (!taken) return file;
    }
}

// Whether the folder of `path` refuses a new file for lack of rights (tried with a free name of
// the temporaries, removed at once).
bool FolderRefusesNewFiles(const std::string& path) {
    std::string name;
    DWORD error = 0;
    bool takenOver = false;
    if (TFileHandle probe = CreateTemporary(path, name, error, false, takenOver); probe) {
        probe.Reset();
        DeleteFileA(name.c_str());
        return false;
    }
    return error == ERROR_ACCESS_DENIED;
}

// Writes all the bytes and flushes them to the disk.
bool WriteAll(const TFileHandle& file, std::string_view bytes) {
    DWORD written = 0;
    return bytes.size() <= MAXDWORD &&
           WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
           written == bytes.size() && FlushFileBuffers(file.Get());
}

// Writes the file over its old bytes, each step checked, and cuts it to the new length. A file
// that grows is made its new length first, so that a full disk fails before any old byte is
// overwritten. `creationError` is why no new file could be made beside it: a missing file is
// reported by that cause.
void WriteInPlace(const std::string& path, std::string_view bytes, DWORD creationError) {
    TFileHandle file;
    const bool opened = Retrying([&] {
        file.Reset(CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, nullptr));
        return static_cast<bool>(file);
    });
    if (!opened) {
        const DWORD error = GetLastError();
        RaiseCreateError(path, error == ERROR_FILE_NOT_FOUND ? creationError : error);
    }
    LARGE_INTEGER oldSize{}, newSize{}, start{};
    newSize.QuadPart = static_cast<LONGLONG>(bytes.size());
    if (!GetFileSizeEx(file.Get(), &oldSize)) throw EWriteError("Stream write error");
    if (oldSize.QuadPart < newSize.QuadPart &&
        !(SetFilePointerEx(file.Get(), newSize, nullptr, FILE_BEGIN) && SetEndOfFile(file.Get()) &&
          SetFilePointerEx(file.Get(), start, nullptr, FILE_BEGIN)))
        throw EWriteError("Stream write error");
    if (!WriteAll(file, bytes) || !SetEndOfFile(file.Get())) throw EWriteError("Stream write error");
}

}  // namespace

std::string OptionsFilePath() { return ExecutableDirectory() + "WallOpt.ini"; }
std::string WallpaperListFilePath() { return ExecutableDirectory() + "Murovelo.ini"; }
std::string DesktopOptionsFilePath() { return ExecutableDirectory() + "Lumo.ini"; }

std::string ReadWholeFile(const std::string& path, DWORD shareMode) {
    TFileHandle file(
        CreateFileA(path.c_str(), GENERIC_READ, shareMode, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        const DWORD error = GetLastError();
        throw EFOpenError(
            Format("Cannot open file \"%s\". %s", FullPath(path).c_str(), SystemErrorMessage(error).c_str()));
    }
    std::string bytes;
    char buffer[65536];
    for (;;) {
        DWORD read = 0;
        if (!ReadFile(file.Get(), buffer, sizeof buffer, &read, nullptr)) throw EReadError("Stream read error");
        if (read == 0) return bytes;
        bytes.append(buffer, read);
    }
}

void ReplaceFileContent(const std::string& path, std::string_view bytes) {
    std::string temporary;
    DWORD error = 0;
    bool takenOver = false;
    TFileHandle file = CreateTemporary(path, temporary, error, true, takenOver);
    if (!file) {
        // Only a folder where the files may be changed but no file created is written in place;
        // on any other failure (a full disk, a wrong path) the old file keeps every byte.
        if (error != ERROR_ACCESS_DENIED) RaiseCreateError(path, error);
        WriteInPlace(path, bytes, error);
        return;
    }
    if (!WriteAll(file, bytes)) {
        DeleteFileA(temporary.c_str());
        throw EWriteError("Stream write error");
    }
    // Held for reading only until it is in place, its byte locked: a program that opens the file
    // the moment it is in place reads it, and no other save takes it over meanwhile.
    if (TFileHandle reading(
            ReOpenFile(file.Get(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, 0));
        reading && SaveByte(reading.Get(), true))
        file = std::move(reading);
    // A program that holds the old file open for a moment refuses the move meanwhile.
    if (!Retrying([&] {
            return MoveFileExA(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) !=
                   FALSE;
        })) {
        error = GetLastError();
        DeleteFileA(temporary.c_str());
        file.Reset();
        // A leftover temporary taken over in a folder where no file may be made cannot be moved
        // for lack of rights either: written in place, as where no new file may be made. Else a
        // refusal is the file held by another program (which Wine and a file held with delete
        // sharing report as access denied), never a reason to write over it in place.
        if (error != ERROR_ACCESS_DENIED || !takenOver || !FolderRefusesNewFiles(path)) RaiseCreateError(path, error);
        WriteInPlace(path, bytes, error);
    }
}
