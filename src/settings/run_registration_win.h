// Start with the system: the Run value "Лумо", which Windows runs at logon. The machine-wide
// value (HKEY_LOCAL_MACHINE) needs administrator rights to be written or removed; where they
// are refused, the same value under the current user's Run key (HKEY_CURRENT_USER) starts the
// program at this user's logon.
#pragma once

#include <string>

// Whether either Run value exists, of any type. Looks with read access only and writes nothing.
bool RunRegistered();

// Makes `command` the Run value: the machine-wide one, or this user's where writing the
// machine-wide one is refused for lack of rights. A value that already holds the command is
// not written again (security programs ask the user at every write of a Run value), and this
// user's value goes when the machine-wide one holds the command, so that the program does not
// start twice. Raises ERegistryException "Failed to set data for 'Лумо'" when nothing could
// be written.
void RegisterRun(const std::string& command);

// Removes both Run values as far as the rights allow. False when the machine-wide value stays
// because removing it was refused for lack of rights.
bool UnregisterRun();
