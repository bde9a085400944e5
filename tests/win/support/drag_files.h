// Files of one folder dropped at a point of the screen as from Explorer: the shell's own data
// object of them through OLE's drag loop, onto a window of this process or another. The effect
// the window chose: DROPEFFECT_NONE when it refused them. Paths of the ANSI code page.
#pragma once

#include <windows.h>

#include <oleidl.h>

#include <string>
#include <vector>

DWORD DropFiles(const std::vector<std::string>& paths, POINT at);
