// Waits, so the process stopper's tests have processes of their own to stop.
#include <windows.h>

int main()
{
    Sleep(60000);
    return 0;
}
