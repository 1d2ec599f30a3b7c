#include "view/key_image_cache_win.h"

const CachedFace* KeyImageCache::Find(const KeyImageKey& key) const {
    const auto found = faces_.find(key);
    return found != faces_.end() ? &found->second : nullptr;
}

void KeyImageCache::Add(const KeyImageKey& key, const CachedFace& face) {
    if (face.bitmap == nullptr || face.bits == nullptr) {
        return;
    }
    auto [entry, inserted] = faces_.try_emplace(key, face);
    if (!inserted) {
        ::DeleteObject(entry->second.bitmap);
        entry->second = face;
    }
}

void KeyImageCache::Clear() {
    for (auto& [key, face] : faces_) {
        ::DeleteObject(face.bitmap);
    }
    faces_.clear();
}
