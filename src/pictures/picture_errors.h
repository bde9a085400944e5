// Failure kinds and message texts of the picture readers. Every reader raises one of these
// (or EReadError "Stream read error" from base/exceptions.h for a file shorter than the
// headers and tables it announces).
#pragma once

#include <cstdint>
#include <string>

#include "base/exceptions.h"

// A libjpeg failure: "JPEG error #%d" with libjpeg's message code.
LUMO_DECLARE_EXCEPTION(EJPEG, EInvalidGraphic);

inline constexpr const char* kStreamReadError = "Stream read error";
inline constexpr const char* kBitmapNotValid = "Bitmap image is not valid";
inline constexpr const char* kIconNotValid = "Icon image is not valid";
inline constexpr const char* kMetafileNotValid = "Metafile is not valid";
inline constexpr const char* kOutOfSystemResources = "Out of system resources";

// Raises EReadError "Stream read error".
[[noreturn]] void RaiseStreamReadError();
// Raises EInvalidGraphic with the given message.
[[noreturn]] void RaiseInvalidGraphic(const char* message);
// Raises EJPEG "JPEG error #<code>".
[[noreturn]] void RaiseJpegError(int code);

// The system refused a bitmap (CreateDIBitmap, CreateDIBSection, ...). With a system error
// number (non-zero) raises EOSError "System Error.  Code: %d.\r\n%s" with the system's text for
// that number; with 0 raises EInvalidGraphic "Bitmap image is not valid".
[[noreturn]] void RaiseBitmapRefused(uint32_t systemErrorCode, const std::string& systemText);

// The system could not build an icon: EOutOfResources with the system's text for the error,
// or "Out of system resources" when that text is empty.
[[noreturn]] void RaiseIconNotBuilt(const std::string& systemText);
