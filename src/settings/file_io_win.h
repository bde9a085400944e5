// The settings files: where they live, reading and writing them.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

// The settings files beside the executable: "WallOpt.ini", "Murovelo.ini" and "Lumo.ini".
std::string OptionsFilePath();
std::string WallpaperListFilePath();
std::string DesktopOptionsFilePath();

// Reads a whole file, opened with the given sharing mode. Raises EFOpenError "Cannot open
// file "%s". %s" when it cannot be opened and EReadError when it cannot be read.
std::string ReadWholeFile(const std::string& path, DWORD shareMode);

// Replaces a file's content without ever destroying the old one: the bytes go to a new file
// of this save's own in the same folder (a name no longer than the file's own, taken only
// when free, or left by a save that never ended: no process holds it open), which is flushed
// and then moved over the old file in one step. On any failure the old file stays as it was
// and the new one is removed. Only where making the new file, or moving it, is refused for
// lack of rights (a folder whose files may be changed but where none may be created or
// replaced) is the existing file written in place instead, after it is made its new length
// when it grows. A move refused while another program holds the old file open, and an open
// for writing in place, are tried again for about a second. Raises EFCreateError "Cannot
// create file "%s". %s" (naming `path`) when the file cannot be created or put in place, and
// EWriteError "Stream write error" when the bytes cannot all be written.
void ReplaceFileContent(const std::string& path, std::string_view bytes);
