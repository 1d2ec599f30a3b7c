#include "pages/report_context_win.h"

#include "base/diagnostic_log.h"
#include "input/elapsed_clock.h"
#include "resources/resource.h"
#include "settings/app_settings.h"
#include "settings/settings_page.h"
#include "ui/gdi_objects.h"

#include <algorithm>

ReportContext PageReportContext(HWND page, const std::wstring& layoutName) {
    const AppSettings& settings = Settings();
    ReportContext context;
    context.layoutName = layoutName;
    context.threshold = static_cast<std::uint32_t>(std::max(0, settings.ChatterThreshold));
    context.interfaceText = WindowText(::GetDlgItem(page, IDC_KBD_INTERFACE), 1024);
    context.deviceText = WindowText(::GetDlgItem(page, IDC_KBD_INTERFACE_DETAILS), 1024);
    context.inputLanguage = WindowText(::GetDlgItem(page, IDC_KBD_LANGUAGE), 1024);
    context.programVersion = ProgramVersionText();
    context.colours = {settings.Unpressed, settings.Depressed, settings.Pressed, settings.Alarm};
    SYSTEMTIME now{};
    ::GetLocalTime(&now);
    context.clockNow = ElapsedMicroseconds();
    context.timeOfDayNow =
        ((now.wHour * 60u + now.wMinute) * 60u + now.wSecond) * 1000u + now.wMilliseconds;
    context.dateTime = FormatWide(L"%04u-%02u-%02u %02u:%02u:%02u", now.wYear, now.wMonth, now.wDay,
                                  now.wHour, now.wMinute, now.wSecond);
    return context;
}
