#include "settings/run_registration_win.h"

#include "base/exceptions.h"
#include "base/format.h"
#include "settings/registry_win.h"

namespace {

const char kRunKey[] = "\\Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const char kRunValue[] = "Лумо";

bool ValueExists(HKEY root) {
    TRegistry reader(KEY_QUERY_VALUE);
    reader.SetRootKey(root);
    return reader.OpenKey(kRunKey, false) && reader.ValueExists(kRunValue);
}

// The Run value under `root` holds `command` afterwards; false when writing it was refused for
// lack of rights. Raises ERegistryException on any other failure.
bool PutValue(HKEY root, const std::string& command) {
    {
        TRegistry reader(KEY_QUERY_VALUE);
        reader.SetRootKey(root);
        if (reader.OpenKey(kRunKey, false) && reader.HoldsText(kRunValue, command)) return true;
    }
    TRegistry writer(KEY_QUERY_VALUE | KEY_SET_VALUE);
    writer.SetRootKey(root);
    writer.OpenKey(kRunKey, true);
    if (writer.LastResult() == ERROR_ACCESS_DENIED) return false;
    try {
        writer.WriteString(kRunValue, command);
    } catch (const ERegistryException&) {
        if (writer.LastResult() == ERROR_ACCESS_DENIED) return false;
        throw;
    }
    return true;
}

// The Run value under `root` is gone afterwards; false when removing it was refused for lack
// of rights.
bool RemoveValue(HKEY root) {
    if (!ValueExists(root)) return true;
    TRegistry writer(KEY_QUERY_VALUE | KEY_SET_VALUE);
    writer.SetRootKey(root);
    if (writer.OpenKey(kRunKey, false)) writer.DeleteValue(kRunValue);
    return writer.LastResult() != ERROR_ACCESS_DENIED;
}

}  // namespace

bool RunRegistered() { return ValueExists(HKEY_LOCAL_MACHINE) || ValueExists(HKEY_CURRENT_USER); }

void RegisterRun(const std::string& command) {
    if (PutValue(HKEY_LOCAL_MACHINE, command)) {
        RemoveValue(HKEY_CURRENT_USER);
        return;
    }
    if (!PutValue(HKEY_CURRENT_USER, command))
        throw ERegistryException(Format("Failed to set data for '%s'", kRunValue));
}

bool UnregisterRun() {
    RemoveValue(HKEY_CURRENT_USER);
    return RemoveValue(HKEY_LOCAL_MACHINE);
}
