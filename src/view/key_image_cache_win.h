#pragma once
// Rendered key faces by (width, height, state). The cache owns every bitmap in it.
#include "layouts/key_geometry.h"

#include <windows.h>

#include <cstddef>
#include <map>

// A rendered face: a top-down 32-bit DIB section, copied out straight from its bits so that
// drawing a key never has to select the face into a device context.
struct CachedFace {
    HBITMAP bitmap = nullptr;
    const void* bits = nullptr;
    int width = 0;
    int height = 0;
};

class KeyImageCache {
public:
    KeyImageCache() = default;
    ~KeyImageCache() { Clear(); }
    KeyImageCache(const KeyImageCache&) = delete;
    KeyImageCache& operator=(const KeyImageCache&) = delete;

    // Null when there is no face for the key.
    const CachedFace* Find(const KeyImageKey& key) const;
    // Takes ownership of face.bitmap; a face already there for the key is released.
    void Add(const KeyImageKey& key, const CachedFace& face);
    void Clear();
    std::size_t Size() const { return faces_.size(); }

private:
    std::map<KeyImageKey, CachedFace> faces_;
};
