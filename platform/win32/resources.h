#pragma once
// Pictures, icons and data stored as resources of the running program.
#include <windows.h>

#include <optional>
#include <string>

#include "platform/runtime/picture.h"
#include "platform/win32/gdi_handles.h"

namespace platform::win32 {

// A BITMAP resource as a picture; nothing when there is no such resource.
std::optional<Picture> LoadBitmapResource(int id);
// An ICON resource at the size asked for (the nearest image of the group);
// empty when there is none.
IconHandle LoadIconResource(int id, int size);
// The bytes of an RCDATA resource, e.g. a window's design data text.
std::optional<std::string> LoadDataResource(int id);

// The pixels of a bitmap, top row first; empty for a null or unreadable one.
Picture PictureFromBitmap(HBITMAP bitmap);

}  // namespace platform::win32
