#include "settings/registry_win.h"

#include <vector>

#include "base/exceptions.h"
#include "base/format.h"

void TRegistry::SetRootKey(HKEY root) {
    CloseKey();
    root_ = root;
}

bool TRegistry::OpenKey(const std::string& path, bool canCreate) {
    std::string relative = path;
    const bool absolute = !relative.empty() && relative[0] == '\\';
    if (absolute) relative.erase(0, 1);
    const HKEY base = absolute || !key_ ? root_ : key_.Get();
    HKEY opened = nullptr;
    LONG result;
    if (canCreate && !relative.empty())
        result = RegCreateKeyExA(base, relative.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, access_, nullptr, &opened,
                                 nullptr);
    else
        result = RegOpenKeyExA(base, relative.c_str(), 0, access_, &opened);
    lastResult_ = result;
    if (result != ERROR_SUCCESS) return false;
    const std::string newPath = absolute || !key_ ? relative : path_ + "\\" + relative;
    key_.Reset(opened);
    path_ = newPath;
    return true;
}

void TRegistry::CloseKey() {
    key_.Reset();
    path_.clear();
}

namespace {
void SetValue(HKEY key, const std::string& name, DWORD type, const char* data, size_t size, LONG& result) {
    result = RegSetValueExA(key, name.c_str(), 0, type, reinterpret_cast<const BYTE*>(data), static_cast<DWORD>(size));
    if (!key || result != ERROR_SUCCESS) throw ERegistryException(Format("Failed to set data for '%s'", name.c_str()));
}
}  // namespace

void TRegistry::WriteString(const std::string& name, const std::string& value) {
    SetValue(key_.Get(), name, REG_SZ, value.c_str(), value.size() + 1, lastResult_);
}

void TRegistry::WriteBinary(const std::string& name, const std::string& bytes) {
    SetValue(key_.Get(), name, REG_BINARY, bytes.data(), bytes.size(), lastResult_);
}

std::string TRegistry::ReadString(const std::string& name) {
    if (!key_) return {};
    DWORD type = 0, size = 0;
    if (RegQueryValueExA(key_.Get(), name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return {};
    std::vector<char> data(size + 1, '\0');
    DWORD got = size;
    if (RegQueryValueExA(key_.Get(), name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &got) !=
        ERROR_SUCCESS)
        throw ERegistryException(Format("Failed to get data for '%s'", name.c_str()));
    if (type != REG_SZ && type != REG_EXPAND_SZ)
        throw ERegistryException(Format("Invalid data type for '%s'", name.c_str()));
    return std::string(data.data());
}

bool TRegistry::ValueExists(const std::string& name) {
    return key_ && RegQueryValueExA(key_.Get(), name.c_str(), nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

std::string TRegistry::ReadBytes(const std::string& name) {
    DWORD size = 0;
    if (!key_ || RegQueryValueExA(key_.Get(), name.c_str(), nullptr, nullptr, nullptr, &size) != ERROR_SUCCESS)
        return {};
    std::string data(size, '\0');
    if (RegQueryValueExA(key_.Get(), name.c_str(), nullptr, nullptr, reinterpret_cast<BYTE*>(data.data()), &size) !=
        ERROR_SUCCESS)
        return {};
    data.resize(size);
    return data;
}

bool TRegistry::HoldsText(const std::string& name, const std::string& text) {
    // One byte more than the text needs tells a longer value from it.
    std::string data(text.size() + 2, '\0');
    DWORD type = 0, size = static_cast<DWORD>(data.size());
    return key_ &&
           RegQueryValueExA(key_.Get(), name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &size) ==
               ERROR_SUCCESS &&
           type == REG_SZ && size == text.size() + 1 && data.compare(0, size, text.c_str(), size) == 0;
}

void TRegistry::DeleteValue(const std::string& name) {
    lastResult_ = key_ ? RegDeleteValueA(key_.Get(), name.c_str()) : ERROR_INVALID_HANDLE;
}
