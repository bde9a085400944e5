// The start-up routine: brings up the main window, restores the settings and runs either the
// automatic change of an "/autorun" start or the interactive program.
#pragma once

#include <string>

// Runs the program for a command line; returns the exit code. Failures leave as exceptions.
int RunLumo(const std::string& commandLine);

// The text of the start-up failure box.
std::string StartupFailureText(const char* className, const std::string& message, const void* address);
