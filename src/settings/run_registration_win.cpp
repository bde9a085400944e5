#include "settings/run_registration_win.h"

#include "base/exceptions.h"
#include "base/format.h"
#include "settings/registry_win.h"

namespace {

const char kRunKey[] = "\\Software\\Microsoft\\Windows\\CurrentVersion\\Run";
// The start-up switches of Task Manager and Settings, under each root for that root's Run
// values. Microsoft documents neither the key nor its values: as Windows 8 to 11 write them, a
// binary value named as the Run value whose first byte is 02 when the start is on and 03 when it
// is off (then followed by the time it was switched off). No value, or an even first byte, is on.
const char kSwitchKey[] = "\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\StartupApproved\\Run";
const char kRunValue[] = "Лумо";

bool ValueExists(HKEY root) {
    TRegistry reader(KEY_QUERY_VALUE);
    reader.SetRootKey(root);
    return reader.OpenKey(kRunKey, false) && reader.ValueExists(kRunValue);
}

bool SwitchedOff(HKEY root) {
    TRegistry reader(KEY_QUERY_VALUE);
    reader.SetRootKey(root);
    const std::string bytes = reader.OpenKey(kSwitchKey, false) ? reader.ReadBytes(kRunValue) : std::string();
    return !bytes.empty() && (bytes[0] & 1) != 0;
}

bool Starts(HKEY root) { return ValueExists(root) && !SwitchedOff(root); }

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

// The start-up switch under `root` is on afterwards; false when switching it on was refused for
// lack of rights.
bool SwitchOn(HKEY root) {
    return !SwitchedOff(root) || Written(root, kSwitchKey, [](TRegistry& writer) {
        writer.WriteBinary(kRunValue, std::string("\x02\0\0\0\0\0\0\0\0\0\0\0", 12));
    });
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
    if (PutValue(HKEY_LOCAL_MACHINE, command) && SwitchOn(HKEY_LOCAL_MACHINE)) {
        RemoveValue(HKEY_CURRENT_USER);
        return TRunRegistration::Done;
    }
    // This account may not change the machine-wide value or its switch. One that starts another
    // command, or one switched off where this user has none, is not joined by this user's value:
    // from the next logon both would start.
    if (Starts(HKEY_LOCAL_MACHINE)) {
        TRegistry reader(KEY_QUERY_VALUE);
        reader.SetRootKey(HKEY_LOCAL_MACHINE);
        const std::string bytes = reader.OpenKey(kRunKey, false) ? reader.ReadBytes(kRunValue) : std::string();
        found = bytes.substr(0, bytes.find('\0'));
        return TRunRegistration::OtherCopyForAll;
    }
    if (ValueExists(HKEY_LOCAL_MACHINE) && !ValueExists(HKEY_CURRENT_USER)) return TRunRegistration::SwitchedOffForAll;
    if (!PutValue(HKEY_CURRENT_USER, command) || !SwitchOn(HKEY_CURRENT_USER))
        throw ERegistryException(Format("Failed to set data for '%s'", kRunValue));
    return TRunRegistration::Done;
}

bool UnregisterRun() {
    RemoveValue(HKEY_CURRENT_USER);
    return RemoveValue(HKEY_LOCAL_MACHINE) || !Starts(HKEY_LOCAL_MACHINE);
}
