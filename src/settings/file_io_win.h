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
// when free, or left by a save that never ended: no save holds it and it was last written over
// a minute ago), which is flushed and then moved over the old file in one step; the save holds
// it until it is in place, so that no other save takes it over. On any failure the old file
// stays as it was and the new one is removed. The existing file is written in place instead
// (made its new length first when it grows) only where the folder refuses new files for lack
// of rights: where the new file cannot be made for that reason, or where a leftover one taken
// over cannot be moved for that reason and no new file may be made either. A file held open by
// another program is never written in place: its move, refused, is tried again for about a
// second (as is an open for writing in place) and then reported. Raises EFCreateError "Cannot
// create file "%s". %s" (naming `path`) when the file cannot be created or put in place, and
// EWriteError "Stream write error" when the bytes cannot all be written.
void ReplaceFileContent(const std::string& path, std::string_view bytes);
