#pragma once
// What a progress readout shows: its texts, each maybe in the alarm colour, and how far its bar
// is filled.
#include <cstddef>
#include <string>
#include <vector>

struct ReadoutPart {
    std::wstring text;
    bool alarm = false; // shown in the alarm colour
};

// The parts as one text, two spaces between them: the readout's window text, for whatever
// reads the screen other than eyes.
std::wstring ReadoutText(const std::vector<ReadoutPart>& parts);

// Pixels of a bar width wide filled for T of M keys; a layout without keys fills nothing, and
// the bar is full only when every key was tested.
int ProgressFill(int width, std::size_t tested, std::size_t keys);
