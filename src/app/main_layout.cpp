#include "app/main_layout.h"

int HitTestDragStrip(int clientY, int stripHeight) {
    return clientY <= stripHeight ? kHitCaption : kHitClient;
}

FrameExtent FrameAroundPage(int pageWidth, int pageHeight, int minimumFrameWidth, int margin) {
    FrameExtent frame{pageWidth + 2 * margin, pageHeight + 2 * margin};
    if (frame.width < minimumFrameWidth) {
        frame.width = minimumFrameWidth;
    }
    return frame;
}

FrameExtent OverflowOf(const FrameExtent& window, int workWidth, int workHeight) {
    return {window.width > workWidth ? window.width - workWidth : 0,
            window.height > workHeight ? window.height - workHeight : 0};
}

FrameExtent WindowAroundFrame(const PixelRect& frameInClient, int margin) {
    return {frameInClient.right + margin, frameInClient.bottom + margin};
}
