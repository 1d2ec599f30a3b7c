#pragma once
// Fitting a layout on the screen: the largest key size at which a layout's picture fits a
// given room, when the configured size would make it larger.
#include <functional>

// The smallest key size a layout is ever drawn at.
constexpr int kMinimumKeySize = 10;

struct PixelSize {
    int width = 0;
    int height = 0;
};

// sizeAt(k) is the layout's picture at key size k (never smaller for a larger k). Returns
// keySize when that fits within maxWidth x maxHeight, else the largest smaller size that
// fits, and kMinimumKeySize when none does.
int FittingKeySize(int keySize, int maxWidth, int maxHeight,
                   const std::function<PixelSize(int keySize)>& sizeAt);
