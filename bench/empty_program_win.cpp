// An empty Windows program: what starting any program under Wine costs. bench/autorun.sh
// shows its time beside the wallpaper-change programs'.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) { return 0; }
