// The registry object: a root key, an access mask and at most one open key.
#pragma once

#include <windows.h>

#include <string>

#include "base/handles_win.h"

class TRegistry {
public:
    explicit TRegistry(REGSAM access = KEY_ALL_ACCESS) : access_(access) {}
    TRegistry(const TRegistry&) = delete;
    TRegistry& operator=(const TRegistry&) = delete;

    HKEY RootKey() const { return root_; }
    void SetRootKey(HKEY root);
    const std::string& CurrentPath() const { return path_; }
    bool HasOpenKey() const { return static_cast<bool>(key_); }

    // A path beginning with "\" starts at the root key, any other at the open key (or the
    // root when none is open). Returns false on failure and raises nothing.
    bool OpenKey(const std::string& path, bool canCreate);
    void CloseKey();

    // Raises ERegistryException "Failed to set data for '%s'" on any failure.
    void WriteString(const std::string& name, const std::string& value);
    // The value's text up to its first NUL; empty when absent or no key is open. Raises
    // ERegistryException for a value of a non-text type or a failed read.
    std::string ReadString(const std::string& name);
    bool ValueExists(const std::string& name);
    // The value's bytes, of any type; empty when absent or no key is open.
    std::string ReadBytes(const std::string& name);
    // Raises ERegistryException "Failed to set data for '%s'" on any failure.
    void WriteBinary(const std::string& name, const std::string& bytes);
    // Whether the value is REG_SZ data of exactly the text and its terminating NUL.
    bool HoldsText(const std::string& name, const std::string& text);
    void DeleteValue(const std::string& name);
    // The system's result of the last opening, write or deletion (ERROR_ACCESS_DENIED when it
    // was refused for lack of rights).
    LONG LastResult() const { return lastResult_; }

private:
    HKEY root_ = HKEY_CURRENT_USER;
    REGSAM access_;
    TKeyHandle key_;
    std::string path_;
    LONG lastResult_ = ERROR_SUCCESS;
};
