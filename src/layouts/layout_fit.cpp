#include "layouts/layout_fit.h"

namespace {

bool Fits(const PixelSize& size, int maxWidth, int maxHeight) {
    return size.width <= maxWidth && size.height <= maxHeight;
}

} // namespace

int FittingKeySize(int keySize, int maxWidth, int maxHeight,
                   const std::function<PixelSize(int keySize)>& sizeAt) {
    if (keySize <= kMinimumKeySize || Fits(sizeAt(keySize), maxWidth, maxHeight)) {
        return keySize;
    }
    // Sizes only grow with the key size: search between the minimum and the configured size.
    int low = kMinimumKeySize; // the answer when nothing fits
    int high = keySize - 1;
    while (low < high) {
        const int middle = low + (high - low + 1) / 2;
        if (Fits(sizeAt(middle), maxWidth, maxHeight)) {
            low = middle;
        } else {
            high = middle - 1;
        }
    }
    return low;
}
