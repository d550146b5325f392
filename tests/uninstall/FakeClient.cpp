// Stands in for the installed client in the remover's tests: it only waits
// to be ended, two minutes at most, so a failed test leaves nothing running.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    Sleep(120000);
    return 0;
}
