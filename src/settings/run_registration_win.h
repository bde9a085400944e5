// Start with the system: the Run value "Лумо", which Windows runs at logon. The machine-wide
// value (HKEY_LOCAL_MACHINE) needs administrator rights to be written or removed; where they
// are refused, the same value under the current user's Run key (HKEY_CURRENT_USER) starts the
// program at this user's logon. Task Manager and Settings switch a Run value off without
// removing it (a value of the same name under the same root's StartupApproved\Run key); a value
// switched off starts nothing.
#pragma once

#include <string>

// Whether a Run value (of any type) exists that is not switched off. Looks with read access only
// and writes nothing.
bool RunRegistered();

// What checking the box found in its way, where it wrote nothing.
enum class TRunRegistration {
    Done,
    // The machine-wide value starts another command, and this account may not change it.
    OtherCopyForAll,
    // The machine-wide value is switched off, this account may not switch it on, and this user
    // has no value of their own.
    SwitchedOffForAll,
};

// Makes `command` start with the system: the machine-wide value, switched on, where the rights
// allow, else this user's. A value that already holds the command is not written again, nor a
// switch that is on (security programs ask the user at every write of a Run value), and this
// user's value goes when the machine-wide one starts the command, so that the program does not
// start twice. Never adds this user's value beside a machine-wide one it may not change: it
// says why instead (with the machine-wide command in `found`). Raises ERegistryException
// "Failed to set data for 'Лумо'" when nothing could be written.
TRunRegistration RegisterRun(const std::string& command, std::string& found);

// Removes both Run values as far as the rights allow. False when the machine-wide value stays,
// switched on, because removing it was refused for lack of rights.
bool UnregisterRun();
