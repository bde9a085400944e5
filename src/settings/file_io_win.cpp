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

TFileHandle CreateForWriting(const std::string& path) {
    return TFileHandle(CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                   FILE_ATTRIBUTE_NORMAL, nullptr));
}

// Writes all the bytes and flushes them to the disk.
bool WriteAll(const TFileHandle& file, std::string_view bytes) {
    DWORD written = 0;
    return bytes.size() <= MAXDWORD &&
           WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
           written == bytes.size() && FlushFileBuffers(file.Get());
}

}  // namespace

std::string OptionsFilePath() { return ExecutableDirectory() + "WallOpt.ini"; }
std::string WallpaperListFilePath() { return ExecutableDirectory() + "Murovelo.ini"; }

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
    const std::string temporary = TemporaryPathFor(path);
    TFileHandle file = CreateForWriting(temporary);
    if (!file) {
        // A folder where the files may be changed but no file created: the file is written in
        // place, as plainly as it can be.
        file = CreateForWriting(path);
        if (!file) RaiseCreateError(path, GetLastError());
        if (!WriteAll(file, bytes)) throw EWriteError("Stream write error");
        return;
    }
    if (!WriteAll(file, bytes)) {
        file.Reset();
        DeleteFileA(temporary.c_str());
        throw EWriteError("Stream write error");
    }
    file.Reset();
    if (!MoveFileExA(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        const DWORD error = GetLastError();
        DeleteFileA(temporary.c_str());
        RaiseCreateError(path, error);
    }
}
