#pragma once
// QMK keycodes to set-1 scan codes.
#include "base/scan_code.h"

#include <string>

// The scan code a keycode sends when the key is tapped: basic keycodes and their aliases,
// shifted symbols (KC_EXLM sends Shift and 1: the key is 1), modifier wrappers (LCTL(KC_C)),
// mod-tap and layer-tap keys (their tap keycode). False for layer keys (MO, TG, TO, TT, OSL,
// DF), KC_NO, KC_TRNS, macros, lighting, media-less system keys and anything unknown.
bool QmkKeycodeToScanCode(const std::string& keycode, ScanCode& code);
