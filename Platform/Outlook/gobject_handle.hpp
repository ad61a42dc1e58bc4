#pragma once
// An owning handle over a GObject (GMime's messages, parts, streams): one reference, dropped at
// scope exit. Private to the files that speak GMime, so no other header sees its C types.

#include <glib-object.h>

#include <memory>

namespace lumora::pim {

struct GObjectUnref {
    void operator()(void* object) const noexcept {
        if (object) g_object_unref(object);
    }
};

template <class T>
using GObjectHandle = std::unique_ptr<T, GObjectUnref>;

// Takes over the reference a GMime constructor returned.
template <class T>
GObjectHandle<T> owned(T* object) {
    return GObjectHandle<T>(object);
}

}  // namespace lumora::pim
