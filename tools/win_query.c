/* Lists what a user can read in the visible dialogs of a running program under Wine: for each
 * visible top-level dialog and every control inside it, one line
 *   <window> <parent> <id> <visible 0|1> <left> <top> <right> <bottom> <class> "<text>"
 * with window handles in hexadecimal, screen rectangles and UTF-8 text; a dialog's own line has
 * parent 0; after a combo box, one line per list item:  <window> item <index> "<text>".
 * With "choose ID INDEX" it instead picks item INDEX of the visible combo box ID the way the
 * list does when a user clicks an item: the selection changes and the owner is told.
 * With "text ID" it prints the whole text of the visible control ID as UTF-8, line breaks as
 * they are (the listing cuts texts at 1023 characters).
 * Built with MinGW by the end-to-end tests.
 * usage: win_query.exe [choose ID INDEX | text ID] */
#include <windows.h>

#include <fcntl.h>
#include <io.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

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
    if (lstrcmpiW(className, L"ComboBox") == 0) {
        DWORD_PTR count = 0;
        SendMessageTimeoutW(window, CB_GETCOUNT, 0, 0, SMTO_ABORTIFHUNG, 2000, &count);
        for (int i = 0; i < (int)count && i < 200; ++i) {
            text[0] = L'\0';
            DWORD_PTR length = 0;
            SendMessageTimeoutW(window, CB_GETLBTEXTLEN, (WPARAM)i, 0, SMTO_ABORTIFHUNG, 2000,
                                &length);
            if (length < 1024) {
                SendMessageTimeoutW(window, CB_GETLBTEXT, (WPARAM)i, (LPARAM)text,
                                    SMTO_ABORTIFHUNG, 2000, NULL);
            }
            printf("%lx item %d \"", (unsigned long)(UINT_PTR)window, i);
            PrintUtf8(text);
            fputs("\"\n", stdout);
        }
    }
    return TRUE;
}

static int chooseId = 0;
static int chooseIndex = -1;
static int chosen = 0;

static BOOL CALLBACK ChooseInChild(HWND window, LPARAM unused) {
    (void)unused;
    if (GetDlgCtrlID(window) == chooseId && IsWindowVisible(window)) {
        SendMessageW(window, CB_SETCURSEL, (WPARAM)chooseIndex, 0);
        PostMessageW(GetParent(window), WM_COMMAND, MAKEWPARAM(chooseId, CBN_SELCHANGE),
                     (LPARAM)window);
        chosen = 1;
        return FALSE;
    }
    return TRUE;
}

static BOOL CALLBACK ChooseInDialog(HWND window, LPARAM unused) {
    (void)unused;
    if (IsWindowVisible(window) && !chosen) {
        EnumChildWindows(window, ChooseInChild, 0);
    }
    return !chosen;
}

static int textId = 0;
static int printed = 0;

static BOOL CALLBACK PrintTextOfChild(HWND window, LPARAM unused) {
    (void)unused;
    DWORD_PTR length = 0;
    wchar_t* text;
    char* utf8;
    int size;
    if (GetDlgCtrlID(window) != textId || !IsWindowVisible(window)) {
        return TRUE;
    }
    SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 10000, &length);
    text = calloc(length + 1, sizeof(wchar_t));
    if (text == NULL) {
        return FALSE;
    }
    SendMessageTimeoutW(window, WM_GETTEXT, length + 1, (LPARAM)text, SMTO_ABORTIFHUNG, 10000,
                        NULL);
    size = WideCharToMultiByte(CP_UTF8, 0, text, -1, NULL, 0, NULL, NULL);
    utf8 = malloc(size > 0 ? (size_t)size : 1);
    if (utf8 != NULL && size > 0) {
        WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8, size, NULL, NULL);
        fwrite(utf8, 1, strlen(utf8), stdout);
        printed = 1;
    }
    free(utf8);
    free(text);
    return FALSE;
}

static BOOL CALLBACK PrintTextInDialog(HWND window, LPARAM unused) {
    (void)unused;
    if (IsWindowVisible(window) && !printed) {
        EnumChildWindows(window, PrintTextOfChild, 0);
    }
    return !printed;
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

int main(int argc, char** argv) {
    /* Rectangles in the screen's own pixels, whatever its scale. */
    SetProcessDPIAware();
    if (argc == 4 && strcmp(argv[1], "choose") == 0) {
        chooseId = atoi(argv[2]);
        chooseIndex = atoi(argv[3]);
        EnumWindows(ChooseInDialog, 0);
        return chosen ? 0 : 1;
    }
    if (argc == 3 && strcmp(argv[1], "text") == 0) {
        textId = atoi(argv[2]);
        _setmode(_fileno(stdout), _O_BINARY);
        EnumWindows(PrintTextInDialog, 0);
        return printed ? 0 : 1;
    }
    EnumWindows(PrintDialog, 0);
    return dialogNumber > 0 ? 0 : 1;
}
