#include "gdiobject.h"

#include "dc.h"
#include "textedge.h"

namespace tv {

GdiObject::~GdiObject()
{
    if (handle_ == 0) return;
    if (GetObjectType(handle_) == ObjMemDC)
        DeleteDC(handle_);
    else
        DeleteObject(handle_);
    handle_ = 0;
}

GdiObjectPtr ColorBrush(uint32_t oleColor)
{
    if (IsSysColor(oleColor)) return MakeGdiObject(GetSysColorBrush(int(oleColor & 0xFF)));
    return MakeGdiObject(CreateSolidBrush(oleColor & 0xFFFFFF));
}

DeviceContext::~DeviceContext() { release(); }

void DeviceContext::release()
{
    if (hdc_ == 0) return;
    if (savedState_ != 0) {
        RestoreDC(hdc_, -1);
        savedState_ = 0;
    }
    // Freed only now that the restore has deselected them.
    for (auto& s : slots_) s.reset();
    if (GetObjectType(hdc_) == ObjMemDC) DeleteDC(hdc_);
    hdc_ = 0;
}

void DeviceContext::setHandle(HandleId hdc)
{
    release();
    hdc_ = hdc;
}

GdiObjectPtr DeviceContext::SelectObject(const GdiObjectPtr& object, bool* ok)
{
    if (ok) *ok = true;
    if (savedState_ == 0) savedState_ = SaveDC(hdc_);
    const int type = object ? object->TypeID() : 0;
    if (type < 1 || type > 8) {
        if (ok) *ok = false;
        return nullptr;
    }
    tv::SelectObject(hdc_, object->Handle());
    return std::exchange(slots_[size_t(type - 1)], object);
}

int DeviceContext::Save() { return SaveDC(hdc_); }
bool DeviceContext::Restore() { return RestoreDC(hdc_, -1); }
void DeviceContext::setBkMode(int mode) { SetBkMode(hdc_, mode); }
void DeviceContext::setStretchBltMode(int mode) { SetStretchBltMode(hdc_, mode); }
void DeviceContext::setTextColor(uint32_t sysColor) { SetTextColor(hdc_, GetSysColor(int(sysColor & 0xFFFF))); }

void DeviceContext::FillRect(int left, int top, int right, int bottom, HandleId brush)
{
    tv::FillRect(hdc_, Rect{left, top, right, bottom}, brush);
}

void DeviceContext::DrawEdge(int left, int top, int right, int bottom, int edge, const Variant& flags)
{
    Rect r{left, top, right, bottom};
    tv::DrawEdge(hdc_, r, edge, flags.toLong());
}

int DeviceContext::DrawText(int left, int top, int right, int bottom, QString& text, int length, uint32_t format)
{
    if (length < 1) return 0;
    Rect r{left, top, right, bottom};
    return tv::DrawText(hdc_, text.left(length), r, format);
}

int DeviceContext::TextWidth(const QString& text, int length)
{
    Rect r;
    tv::DrawText(hdc_, length < 0 ? text : text.left(length), r, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    return r.Right - r.Left + 1;
}

bool DeviceContext::BitBlt(HandleId destDC, int x, int y, int width, int height, int srcX, int srcY, uint32_t rop)
{
    return tv::BitBlt(destDC, x, y, width, height, hdc_, srcX, srcY, rop);
}

bool DeviceContext::StretchBlt(HandleId destDC, int x, int y, int width, int height, int srcX, int srcY,
                               int srcWidth, int srcHeight, uint32_t rop)
{
    return tv::StretchBlt(destDC, x, y, width, height, hdc_, srcX, srcY, srcWidth, srcHeight, rop);
}

HandleId DeviceContext::GetFont(bool* ok) const
{
    const auto& f = slots_[ObjFont - 1];
    if (ok) *ok = bool(f);
    return f ? f->Handle() : 0;
}

} // namespace tv
