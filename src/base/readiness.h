// Whether a file can be read now.
#pragma once

#include <cstdint>
#include <string_view>

// Readable: it is there and can be read. NotYet: it is there, or may be, but cannot be read
// yet (held open without sharing, its cloud provider or its network path not ready), so a
// later try may read it. Missing: it is not there, or cannot be read for another reason.
enum class TReadiness { Readable, NotYet, Missing };

// How a failed look at a file (opening it, reading it, finding it by a directory search) is
// judged, from the system's error code and whether the path lies on a network share or drive.
// A file held open without sharing, a drive that is not ready, a network or cloud failure are
// NotYet anywhere; a path not found is NotYet on a network path (the share or the drive is not
// reachable yet) and Missing on a local disk; a plain "file not found" and everything else are
// Missing.
TReadiness ReadinessAfterFailure(uint32_t error, bool networkPath);

// The path names a file by the UNC name of a network share: \\server\share\..., or the long
// form \\?\UNC\server\share\... (not a device, \\.\ or \\?\C:\...).
bool IsUncPath(std::string_view path);
