/* Holds the Wine session's desktop open for as long as the session lasts.
 *
 * Wine closes a desktop shortly after the last program using it has ended,
 * and starts a new desktop process for the next program. Tests run one
 * program after another, and a program that starts while the old desktop
 * is going away can wait for it forever. One program that never ends keeps
 * the same desktop for every test. The session's teardown ends it. */
#include <windows.h>

int main(void) {
    GetDesktopWindow();
    for (;;)
        Sleep(INFINITE);
}
