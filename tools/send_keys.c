/* Sends key strokes with SendInput, as another program or a keyboard would, at exact gaps
 * (a busy wait on the performance counter between strokes), whichever window has the focus.
 * Each argument is one stroke: a letter a-z pressed ("a+"), released ("a-"), or pressed and
 * released at once ("a"); "@MS" sets the gap before the following strokes in milliseconds
 * (fractions allowed, default 0). The virtual key and the scan code are both given, as a
 * keyboard driver gives them. Built with MinGW by the end-to-end tests.
 * usage: send_keys.exe [@MS] STROKE... */
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>

static LARGE_INTEGER frequency;

static double NowMs(void) {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return (double)now.QuadPart * 1000.0 / (double)frequency.QuadPart;
}

static int Send(WORD virtualKey, int release) {
    INPUT input;
    ZeroMemory(&input, sizeof input);
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = virtualKey;
    input.ki.wScan = (WORD)MapVirtualKeyW(virtualKey, MAPVK_VK_TO_VSC);
    input.ki.dwFlags = release ? KEYEVENTF_KEYUP : 0;
    return SendInput(1, &input, sizeof input) == 1;
}

int main(int argc, char** argv) {
    double gap = 0;
    double next = 0;
    int i;
    QueryPerformanceFrequency(&frequency);
    next = NowMs();
    for (i = 1; i < argc; ++i) {
        const char* stroke = argv[i];
        WORD key;
        if (stroke[0] == '@') {
            gap = atof(stroke + 1);
            continue;
        }
        if (stroke[0] < 'a' || stroke[0] > 'z' || (stroke[1] != '\0' && stroke[2] != '\0') ||
            (stroke[1] != '\0' && stroke[1] != '+' && stroke[1] != '-')) {
            fprintf(stderr, "send_keys: bad stroke '%s'\n", stroke);
            return 2;
        }
        key = (WORD)(stroke[0] - 'a' + 'A');
        while (NowMs() < next) {
        }
        if ((stroke[1] != '-' && !Send(key, 0)) || (stroke[1] != '+' && !Send(key, 1))) {
            fprintf(stderr, "send_keys: SendInput failed (%lu)\n", GetLastError());
            return 1;
        }
        next += gap;
    }
    return 0;
}
