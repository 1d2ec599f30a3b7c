#include "app/main_layout.h"

int HitTestDragStrip(int clientY, int stripHeight) {
    return clientY <= stripHeight ? kHitCaption : kHitClient;
}

FrameExtent FrameAroundPage(int pageWidth, int pageHeight, int minimumFrameWidth) {
    FrameExtent frame{pageWidth + 2 * kFrameMargin, pageHeight + 2 * kFrameMargin};
    if (frame.width < minimumFrameWidth) {
        frame.width = minimumFrameWidth;
    }
    return frame;
}

FrameExtent WindowAroundFrame(const PixelRect& frameInClient) {
    return {frameInClient.right + kFrameMargin, frameInClient.bottom + kFrameMargin};
}
