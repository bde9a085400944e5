#include "base/system_win.h"

#include <sddl.h>

#include <vector>

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

namespace {
// The directory search of the file-exists test; `error` is the system's code when the search
// itself failed, and 0 when it found only entries that do not count.
bool FindPresentFile(const std::string& path, DWORD& error) {
    error = 0;
    WIN32_FIND_DATAA data;
    TFindHandle find(FindFirstFileA(path.c_str(), &data));
    if (!find) {
        error = GetLastError();
        return false;
    }
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
}  // namespace

bool FileExists(const std::string& path) {
    DWORD error;
    return FindPresentFile(path, error);
}

bool OnNetworkPath(const std::string& path) {
    if (IsUncPath(path)) return true;
    const char letter = path.empty() ? '\0' : static_cast<char>(path[0] & ~0x20);
    if (path.size() < 2 || path[1] != ':' || letter < 'A' || letter > 'Z') return false;
    // A mapped drive, also one not reconnected yet, or a letter that names no drive now.
    const char root[] = {path[0], ':', '\\', '\0'};
    const UINT type = GetDriveTypeA(root);
    return type == DRIVE_REMOTE || type == DRIVE_NO_ROOT_DIR;
}

namespace {
// The last failure of a look at the file at `path`, judged (the error is taken before the
// drive's type is asked, which sets it anew).
TReadiness ReadinessOfFailure(const std::string& path, DWORD error = GetLastError()) {
    return error ? ReadinessAfterFailure(error, OnNetworkPath(path)) : TReadiness::Missing;
}
}  // namespace

TReadiness FilePresence(const std::string& path) {
    DWORD error;
    if (FindPresentFile(path, error)) return TReadiness::Readable;
    return ReadinessOfFailure(path, error);
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

TReadiness FileReadiness(const std::string& path) {
    const TFileHandle file(CreateFileA(path.c_str(), GENERIC_READ,
                                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                       FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return ReadinessOfFailure(path);
    // A cloud file that is online only opens, and is fetched at the first read.
    char buffer[512];
    DWORD read = 0;
    if (ReadFile(file.Get(), buffer, sizeof buffer, &read, nullptr)) return TReadiness::Readable;
    return ReadinessOfFailure(path);
}

std::wstring WideText(std::string_view text) {
    if (text.empty()) return {};
    const int length = static_cast<int>(text.size());
    const int size = MultiByteToWideChar(CP_ACP, 0, text.data(), length, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(size > 0 ? size : 0), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), length, wide.data(), size);
    return wide;
}

namespace {
// A piece of the process token's information, or nothing.
std::vector<unsigned char> TokenInformation(TOKEN_INFORMATION_CLASS kind) {
    HANDLE raw = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &raw)) return {};
    const TKernelHandle token(raw);
    DWORD size = 0;
    GetTokenInformation(token.Get(), kind, nullptr, 0, &size);
    std::vector<unsigned char> data(size);
    if (size == 0 || !GetTokenInformation(token.Get(), kind, data.data(), size, &size)) return {};
    return data;
}

std::string SidText(PSID sid) {
    char* text = nullptr;
    if (!ConvertSidToStringSidA(sid, &text)) return {};
    std::string result(text);
    LocalFree(text);
    return result;
}
}  // namespace

TUserObjectSecurity::TUserObjectSecurity() {
    const std::vector<unsigned char> user = TokenInformation(TokenUser);
    if (user.empty()) return;
    const std::string sid = SidText(reinterpret_cast<const TOKEN_USER*>(user.data())->User.Sid);
    if (sid.empty()) return;
    const std::string descriptor = "D:P(A;;GA;;;" + sid + ")(A;;GA;;;SY)S:(ML;;NW;;;ME)";
    PSECURITY_DESCRIPTOR built = nullptr;
    if (ConvertStringSecurityDescriptorToSecurityDescriptorA(descriptor.c_str(), SDDL_REVISION_1, &built, nullptr))
        attributes_.lpSecurityDescriptor = built;
}

TUserObjectSecurity::~TUserObjectSecurity() {
    if (attributes_.lpSecurityDescriptor) LocalFree(attributes_.lpSecurityDescriptor);
}

std::string LogonSessionSid() {
    const std::vector<unsigned char> data = TokenInformation(TokenGroups);
    if (data.empty()) return {};
    const auto* groups = reinterpret_cast<const TOKEN_GROUPS*>(data.data());
    for (DWORD i = 0; i < groups->GroupCount; ++i)
        if ((groups->Groups[i].Attributes & SE_GROUP_LOGON_ID) == SE_GROUP_LOGON_ID)
            return SidText(groups->Groups[i].Sid);
    return {};
}
