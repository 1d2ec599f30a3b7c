/* Lists what a user can read in the visible dialogs of a running program under Wine: for each
 * visible top-level dialog and every control inside it, one line
 *   <window> <parent> <id> <visible 0|1> <left> <top> <right> <bottom> <class> "<text>"
 * with window handles in hexadecimal, screen rectangles and UTF-8 text; a dialog's own line has
 * parent 0. Built with MinGW by the end-to-end tests.
 * usage: win_inspect.exe */
#include <windows.h>

#include <stdio.h>

static int dialogNumber = 0;

static void PrintUtf8(const wchar_t* text) {
    char buffer[4096];
    const int length = WideCharToMultiByte(CP_UTF8, 0, text, -1, buffer, sizeof buffer, NULL, NULL);
    if (length > 0) {
        for (const char* c = buffer; *c != '\0'; ++c) {
            if (*c == '\r') {
                fputs("\\r", stdout);
            } else if (*c == '\n') {
                fputs("\\n", stdout);
            } else {
                fputc(*c, stdout);
            }
        }
    }
}

static BOOL CALLBACK PrintChild(HWND window, LPARAM unused) {
    (void)unused;
    wchar_t className[64] = L"";
    wchar_t text[1024] = L"";
    RECT rect;
    GetClassNameW(window, className, 64);
    /* WM_GETTEXT reaches controls of another process, unlike GetWindowTextW. */
    SendMessageTimeoutW(window, WM_GETTEXT, 1024, (LPARAM)text, SMTO_ABORTIFHUNG, 2000, NULL);
    GetWindowRect(window, &rect);
    printf("%lx %lx %d %d %ld %ld %ld %ld ", (unsigned long)(UINT_PTR)window,
           (unsigned long)(UINT_PTR)GetParent(window), GetDlgCtrlID(window), IsWindowVisible(window) ? 1 : 0, rect.left, rect.top, rect.right,
           rect.bottom);
    PrintUtf8(className);
    fputs(" \"", stdout);
    PrintUtf8(text);
    fputs("\"\n", stdout);
    return TRUE;
}

static BOOL CALLBACK PrintDialog(HWND window, LPARAM unused) {
    (void)unused;
    wchar_t className[64] = L"";
    RECT rect;
    GetClassNameW(window, className, 64);
    if (!IsWindowVisible(window) || lstrcmpW(className, L"#32770") != 0) {
        return TRUE;
    }
    ++dialogNumber;
    GetWindowRect(window, &rect);
    printf("%lx 0 0 1 %ld %ld %ld %ld #32770 \"\"\n", (unsigned long)(UINT_PTR)window, rect.left,
           rect.top, rect.right, rect.bottom);
    EnumChildWindows(window, PrintChild, 0);
    return TRUE;
}

int main(void) {
    EnumWindows(PrintDialog, 0);
    return dialogNumber > 0 ? 0 : 1;
}
