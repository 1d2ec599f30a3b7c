#pragma once
// Rendered key faces by (width, height, state). The cache owns every bitmap in it.
#include "view/key_geometry.h"

#include <windows.h>

#include <cstddef>
#include <map>

class KeyImageCache {
public:
    KeyImageCache() = default;
    ~KeyImageCache() { Clear(); }
    KeyImageCache(const KeyImageCache&) = delete;
    KeyImageCache& operator=(const KeyImageCache&) = delete;

    // Null when there is no face for the key.
    HBITMAP Find(const KeyImageKey& key) const;
    // Takes ownership; a face already there for the key is released.
    void Add(const KeyImageKey& key, HBITMAP face);
    void Clear();
    std::size_t Size() const { return faces_.size(); }

private:
    std::map<KeyImageKey, HBITMAP> faces_;
};
