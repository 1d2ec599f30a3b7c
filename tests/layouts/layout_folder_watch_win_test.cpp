#include "base/app_messages.h"
#include "layouts/layout_folder_watch_win.h"

#include "support/test_support.h"

#include <gtest/gtest.h>

#include <windows.h>

TEST(LayoutFolderWatch, AFileCopiedInIsReportedWithinTwoSeconds) {
    TempFolder folder;
    HWND window =
        CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    ASSERT_NE(window, nullptr);
    LayoutFolderWatch watch;
    ASSERT_TRUE(watch.Start(folder.Path().wstring(), window, UWM_LAYOUT_FOLDER_CHANGED));
    WriteFileBytes(folder.Path() / "copied.kbl", "Copied\n\nR1, 0x1E, \"A\", \"A\", 1\n");
    bool told = false;
    const DWORD start = GetTickCount();
    while (!told && GetTickCount() - start < 2000) {
        MSG message;
        while (PeekMessageW(&message, window, UWM_LAYOUT_FOLDER_CHANGED, UWM_LAYOUT_FOLDER_CHANGED,
                            PM_REMOVE)) {
            told = true;
        }
        Sleep(10);
    }
    EXPECT_TRUE(told);
    watch.Stop();
    EXPECT_FALSE(watch.Watching());
    // A folder that does not exist cannot be watched; nothing waits on it.
    EXPECT_FALSE(
        watch.Start((folder.Path() / "missing").wstring(), window, UWM_LAYOUT_FOLDER_CHANGED));
    EXPECT_FALSE(watch.Watching());
    DestroyWindow(window);
}
