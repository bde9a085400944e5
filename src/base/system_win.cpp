#include "base/system_win.h"

#include "base/exceptions.h"
#include "base/format.h"
#include "base/handles_win.h"
#include "base/text.h"

std::string SystemErrorMessage(DWORD code) {
    char* buffer = nullptr;
    const DWORD length = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                            FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_MAX_WIDTH_MASK,
                                        nullptr, code, 0, reinterpret_cast<char*>(&buffer), 0, nullptr);
    std::string text = length ? std::string(buffer, length) : std::string();
    if (buffer) LocalFree(buffer);
    return TrimSystemMessage(text);
}

std::string SystemErrorText(DWORD code) {
    char* buffer = nullptr;
    const DWORD length =
        FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, code, 0, reinterpret_cast<char*>(&buffer), 0, nullptr);
    std::string text = length ? std::string(buffer, length) : std::string();
    if (buffer) LocalFree(buffer);
    while (!text.empty() && (text.back() == '\r' || text.back() == '\n')) text.pop_back();
    return text;
}

void RaiseLastOSError() { RaiseOSError(GetLastError()); }

void RaiseOSError(DWORD code) {
    if (code == 0) throw EOSError("A call to an OS function failed", 0);
    throw EOSError(Format("System Error.  Code: %d.\r\n%s", static_cast<int>(code), SystemErrorMessage(code).c_str()),
                   code);
}

void RaiseOleError(long errorCode) {
    std::string message = SystemErrorMessage(static_cast<DWORD>(errorCode));
    if (message.empty()) message = Format("OLE error %.8lx", static_cast<unsigned long>(errorCode));
    throw EOleSysError(message, static_cast<int32_t>(errorCode));
}

HMODULE LoadSystemLibrary(const wchar_t* name) {
    wchar_t folder[MAX_PATH];
    const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return nullptr;
    return LoadLibraryW((std::wstring(folder, length) + L"\\" + name).c_str());
}

std::string ExecutablePath() {
    std::string path(MAX_PATH, '\0');
    for (;;) {
        const DWORD length = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

std::string ExecutableDirectory() { return ExtractFilePath(ExecutablePath()); }

bool FileExists(const std::string& path) {
    WIN32_FIND_DATAA data;
    TFindHandle find(FindFirstFileA(path.c_str(), &data));
    if (!find) return false;
    do {
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
        // A DOS date holds the years 1980 to 2107.
        FILETIME local;
        SYSTEMTIME time;
        if (FileTimeToLocalFileTime(&data.ftLastWriteTime, &local) && FileTimeToSystemTime(&local, &time) &&
            time.wYear >= 1980 && time.wYear <= 2107)
            return true;
    } while (FindNextFileA(find.Get(), &data));
    return false;
}

char LocaleDecimalSeparator() {
    char buffer[8] = {};
    if (GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, buffer, sizeof buffer) > 1) return buffer[0];
    return '.';
}

LeadBytePredicate AnsiLeadBytes() {
    return [](unsigned char c) { return IsDBCSLeadByte(c) != FALSE; };
}

TCodePageConversion SystemCodePageConversion() {
    TCodePageConversion conversion;
    conversion.Decode = [](unsigned codePage, std::string_view bytes) -> std::optional<std::wstring> {
        const int size = static_cast<int>(bytes.size());
        const int length = MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, bytes.data(), size, nullptr, 0);
        if (length <= 0) return std::nullopt;
        std::wstring text(static_cast<size_t>(length), L'\0');
        MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, bytes.data(), size, text.data(), length);
        return text;
    };
    conversion.Encode = [](unsigned codePage, std::wstring_view text) -> std::optional<std::string> {
        // UTF-8 holds every character and takes neither the flag nor the question.
        const bool utf8 = codePage == CP_UTF8;
        const DWORD flags = utf8 ? WC_ERR_INVALID_CHARS : WC_NO_BEST_FIT_CHARS;
        BOOL usedDefault = FALSE;
        BOOL* const askDefault = utf8 ? nullptr : &usedDefault;
        const int size = static_cast<int>(text.size());
        const int length = WideCharToMultiByte(codePage, flags, text.data(), size, nullptr, 0, nullptr, askDefault);
        if (length <= 0) return std::nullopt;
        std::string bytes(static_cast<size_t>(length), '\0');
        WideCharToMultiByte(codePage, flags, text.data(), size, bytes.data(), length, nullptr, askDefault);
        if (usedDefault) return std::nullopt;
        return bytes;
    };
    return conversion;
}

namespace {
// The failures of a file that is there but not available yet; a later try may succeed.
bool NotAvailableYet(DWORD error) {
    switch (error) {
        case ERROR_SHARING_VIOLATION:
        case ERROR_LOCK_VIOLATION:
        case ERROR_NOT_READY:
        case ERROR_BAD_NETPATH:
        case ERROR_NETWORK_BUSY:
        case ERROR_UNEXP_NET_ERR:
        case ERROR_NETNAME_DELETED:
        case ERROR_BAD_NET_NAME:
        case ERROR_SEM_TIMEOUT:
        case ERROR_NO_NETWORK:
        case ERROR_NETWORK_UNREACHABLE:
        case 362:  // ERROR_CLOUD_FILE_PROVIDER_NOT_RUNNING
        case 388:  // ERROR_CLOUD_FILE_NETWORK_UNAVAILABLE
        case 389:  // ERROR_CLOUD_FILE_UNSUCCESSFUL
        case 404:  // ERROR_CLOUD_FILE_PROVIDER_TERMINATED
            return true;
        default:
            return false;
    }
}
}  // namespace

TReadiness FileReadiness(const std::string& path) {
    const TFileHandle file(CreateFileA(path.c_str(), GENERIC_READ,
                                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                       FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return NotAvailableYet(GetLastError()) ? TReadiness::NotYet : TReadiness::Missing;
    // A cloud file that is online only opens, and is fetched at the first read.
    char buffer[512];
    DWORD read = 0;
    if (ReadFile(file.Get(), buffer, sizeof buffer, &read, nullptr)) return TReadiness::Readable;
    return NotAvailableYet(GetLastError()) ? TReadiness::NotYet : TReadiness::Missing;
}

std::wstring WideText(std::string_view text) {
    if (text.empty()) return {};
    const int length = static_cast<int>(text.size());
    const int size = MultiByteToWideChar(CP_ACP, 0, text.data(), length, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(size > 0 ? size : 0), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), length, wide.data(), size);
    return wide;
}
