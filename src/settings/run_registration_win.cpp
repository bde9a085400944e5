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

bool Starts(HKEY root) { return ValueExists(root); }

// Runs a write of `root`'s key `path`; false when it was refused for lack of rights. Raises
// ERegistryException on any other failure.
template <typename Write>
bool Written(HKEY root, const char* path, Write write) {
    TRegistry writer(KEY_QUERY_VALUE | KEY_SET_VALUE);
    writer.SetRootKey(root);
    writer.OpenKey(path, true);
    if (writer.LastResult() == ERROR_ACCESS_DENIED) return false;
    try {
        write(writer);
    } catch (const ERegistryException&) {
        if (writer.LastResult() == ERROR_ACCESS_DENIED) return false;
        throw;
    }
    return true;
}

// The Run value under `root` holds `command` afterwards; false when writing it was refused for
// lack of rights.
bool PutValue(HKEY root, const std::string& command) {
    {
        TRegistry reader(KEY_QUERY_VALUE);
        reader.SetRootKey(root);
        if (reader.OpenKey(kRunKey, false) && reader.HoldsText(kRunValue, command)) return true;
    }
    return Written(root, kRunKey, [&](TRegistry& writer) { writer.WriteString(kRunValue, command); });
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

bool RunRegistered() { return Starts(HKEY_LOCAL_MACHINE) || Starts(HKEY_CURRENT_USER); }

TRunRegistration RegisterRun(const std::string& command, std::string& found) {
    if (PutValue(HKEY_LOCAL_MACHINE, command)) {
        RemoveValue(HKEY_CURRENT_USER);
        return TRunRegistration::Done;
    }
    // This account may not change the machine-wide value. One that starts another command is not
    // joined by this user's value: from the next logon both would start.
    if (Starts(HKEY_LOCAL_MACHINE)) {
        TRegistry reader(KEY_QUERY_VALUE);
        reader.SetRootKey(HKEY_LOCAL_MACHINE);
        const std::string bytes = reader.OpenKey(kRunKey, false) ? reader.ReadBytes(kRunValue) : std::string();
        found = bytes.substr(0, bytes.find('\0'));
        return TRunRegistration::OtherCopyForAll;
    }
    if (!PutValue(HKEY_CURRENT_USER, command))
        throw ERegistryException(Format("Failed to set data for '%s'", kRunValue));
    return TRunRegistration::Done;
}

bool UnregisterRun() {
    RemoveValue(HKEY_CURRENT_USER);
    return RemoveValue(HKEY_LOCAL_MACHINE);
}
