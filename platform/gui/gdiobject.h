#pragma once

// GdiObject: the holder of one drawing-object handle, shared by whoever uses the handle;
// the last reference frees it (a memory context with DeleteDC, anything else with
// DeleteObject). DeviceContext: a context wrapper that keeps the objects selected into it
// alive until they are deselected.

#include "gdi.h"
#include "platform/runtime/variant.h"

#include <array>
#include <memory>

namespace tv {

class GdiObject : public Object {
public:
    GdiObject() = default;
    explicit GdiObject(HandleId h) : handle_(h) {}
    ~GdiObject() override;
    GdiObject(const GdiObject&) = delete;
    GdiObject& operator=(const GdiObject&) = delete;

    HandleId Handle() const { return handle_; }
    // Takes a handle; a handle held before is not freed.
    void setHandle(HandleId h) { handle_ = h; }
    ObjectTypeEnum TypeID() const { return GetObjectType(handle_); }
    Variant Tag;

private:
    HandleId handle_ = 0;
};

using GdiObjectPtr = std::shared_ptr<GdiObject>;
inline GdiObjectPtr MakeGdiObject(HandleId h) { return std::make_shared<GdiObject>(h); }

// A brush for an OLE colour: the system colour brush for a value with the high bit set,
// else a new solid brush. The caller keeps the holder as long as it uses the handle.
GdiObjectPtr ColorBrush(uint32_t oleColor);

class DeviceContext {
public:
    DeviceContext() = default;
    ~DeviceContext();
    DeviceContext(const DeviceContext&) = delete;
    DeviceContext& operator=(const DeviceContext&) = delete;

    HandleId Handle() const { return hdc_; }
    // Releases a context held before (restoring it, freeing its objects, deleting a memory
    // context), then holds the new one.
    void setHandle(HandleId hdc);

    // Selects the object and keeps it in the slot of its type; returns the object that held
    // that slot. An object whose type is not 1 to 8 is refused: *ok turns false and nothing
    // is selected.
    GdiObjectPtr SelectObject(const GdiObjectPtr& object, bool* ok = nullptr);
    int Save();
    bool Restore();
    void setBkMode(int mode);
    void setStretchBltMode(int mode);
    // The value is a system colour: its low 16 bits name it.
    void setTextColor(uint32_t sysColor);
    void FillRect(int left, int top, int right, int bottom, HandleId brush);
    void DrawEdge(int left, int top, int right, int bottom, int edge, const Variant& flags);
    // Draws the first `length` characters; a length below 1 draws nothing and returns 0.
    int DrawText(int left, int top, int right, int bottom, QString& text, int length, uint32_t format);
    // -1 measures the whole text; the result is right - left + 1 of the measured rectangle.
    int TextWidth(const QString& text, int length = -1);
    bool BitBlt(HandleId destDC, int x, int y, int width, int height, int srcX, int srcY, uint32_t rop);
    bool StretchBlt(HandleId destDC, int x, int y, int width, int height, int srcX, int srcY,
                    int srcWidth, int srcHeight, uint32_t rop);
    // The font in the font slot; *ok turns false when none is held.
    HandleId GetFont(bool* ok = nullptr) const;

private:
    void release();

    HandleId hdc_ = 0;
    std::array<GdiObjectPtr, 8> slots_;   // object types 1 to 8
    int savedState_ = 0;
};

} // namespace tv
