// Small services of the operating system used across the program.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "base/command_line.h"
#include "base/readiness.h"
#include "base/text.h"

// The system's text for an error code, trimmed as file messages show it; empty when the
// system has none.
std::string SystemErrorMessage(DWORD code);

// The system's text for an error code as the system gives it, without the line end that
// closes it; empty when the system has none.
std::string SystemErrorText(DWORD code);

// Raises EOSError "System Error.  Code: %d.\r\n%s" for the calling thread's last error.
[[noreturn]] void RaiseLastOSError();
[[noreturn]] void RaiseOSError(DWORD code);
// The failure for a COM error code: the system's text for it, else "OLE error %.8x".
[[noreturn]] void RaiseOleError(long errorCode);

// A library of the system folder, loaded by its full path: a library that is not one of the
// system's known DLLs would otherwise be looked for beside the program first. Null when it
// cannot be loaded.
HMODULE LoadSystemLibrary(const wchar_t* name);

// The full path of the running executable, and its directory with the trailing backslash.
std::string ExecutablePath();
std::string ExecutableDirectory();

// The file-exists test: a directory search finds an entry that is no directory and whose
// last-write time, in local time, is a valid DOS date and time (years 1980 to 2107).
bool FileExists(const std::string& path);

// The file-exists test as the change rule asks it: Readable when the test finds the file,
// else how the failed search is judged (ReadinessAfterFailure): a picture on a share that does
// not answer yet is NotYet, one that is not on a local disk is Missing. Whether the file can be
// read yet is FileReadiness's question.
TReadiness FilePresence(const std::string& path);

// Whether a file can be read now: opened and its first bytes read.
TReadiness FileReadiness(const std::string& path);

// The path lies on a network share (a UNC name), on a mapped network drive, or on a drive
// letter that names no drive now (a network drive not reconnected yet).
bool OnNetworkPath(const std::string& path);

// The user's decimal separator.
char LocaleDecimalSeparator();

// Lead bytes of the system's ANSI code page, for the command-line splitting.
LeadBytePredicate AnsiLeadBytes();

// The system's conversions between code pages and UTF-16, strict both ways.
TCodePageConversion SystemCodePageConversion();

// Text of the ANSI code page as wide text, converted as the system's ANSI calls convert it:
// a wide call given it names the same file as the ANSI call given the text.
std::wstring WideText(std::string_view text);

// Security attributes for the named objects that the instances of one user's session share:
// full access for the user and the system, and a medium integrity label, so that a Lumo run
// as administrator makes objects that a normal Lumo of the same user can open too (by
// default they would be the administrators' and of high integrity). Without them (a system
// that cannot build them) Get is null and the object gets the default.
class TUserObjectSecurity {
public:
    TUserObjectSecurity();
    ~TUserObjectSecurity();
    TUserObjectSecurity(const TUserObjectSecurity&) = delete;
    TUserObjectSecurity& operator=(const TUserObjectSecurity&) = delete;
    SECURITY_ATTRIBUTES* Get() { return attributes_.lpSecurityDescriptor ? &attributes_ : nullptr; }

private:
    SECURITY_ATTRIBUTES attributes_{sizeof attributes_, nullptr, FALSE};
};

// The logon session's security identifier (S-1-5-5-x-y), the same for a normal and an elevated
// program of one logon and new at every logon; empty when the token has none.
std::string LogonSessionSid();
