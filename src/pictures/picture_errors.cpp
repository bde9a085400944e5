#include "pictures/picture_errors.h"

#include "base/format.h"

void RaiseStreamReadError() { throw EReadError(kStreamReadError); }

void RaiseInvalidGraphic(const char* message) { throw EInvalidGraphic(message); }

void RaiseJpegError(int code) { throw EJPEG(Format("JPEG error #%d", code)); }

void RaiseBitmapRefused(uint32_t systemErrorCode, const std::string& systemText) {
    if (systemErrorCode == 0) throw EInvalidGraphic(kBitmapNotValid);
    throw EOSError(Format("System Error.  Code: %d.\r\n%s", static_cast<int>(systemErrorCode), systemText.c_str()),
                   systemErrorCode);
}

void RaiseIconNotBuilt(const std::string& systemText) {
    throw EOutOfResources(systemText.empty() ? std::string(kOutOfSystemResources) : systemText);
}
