#pragma once
// Device identification against the Windows raw input, device set-up and configuration
// manager services.
#include "devices/device_identity.h"

#include <windows.h>

// Identifies the raw input device `device` (the hDevice of a RAWINPUTHEADER); texts by
// string-table id, for example from the program's resources.
IdentificationResult IdentifyRawInputDevice(HANDLE device, const TextLookup& texts);

// Shows a result in the interface field and the details field of the keyboard test page: the
// interface field keeps its text when detection failed; the details field always changes.
void ShowIdentification(const IdentificationResult& result, HWND interfaceField, HWND detailsField);
