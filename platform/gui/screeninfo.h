#pragma once

// ScreenInfo, SystemInfo and WindowEnumerator: the screen area at a point, the platform's
// version number, and a walk over the program's own top-level windows.

#include "gdi.h"
#include "platform/component/event.h"

#include <memory>

namespace tv {

// A screen's work area (the screen less panels), in the units the caller asked for.
struct ScreenArea {
    int32_t Left = 0, Top = 0, Right = 0, Bottom = 0;
};

class ScreenInfo {
public:
    // The work area of the screen holding (x, y); a point on no screen gets the nearest
    // screen's. `unitsPerPixel` is the scale of the point and of the answer (15 for twips).
    ScreenArea AreaFromPoint(int32_t x, int32_t y, int unitsPerPixel = 1) const;
};

// The one instance that serves the program, made on first use.
ScreenInfo& TheScreenInfo();

class SystemInfo {
public:
    // The platform's major version; callers compare it with 4 and take larger as "modern".
    int32_t Version() const { return 10; }
};

class WindowEnumerator {
public:
    WindowEnumerator() = default;
    ~WindowEnumerator() { *alive_ = false; }
    WindowEnumerator(const WindowEnumerator&) = delete;
    WindowEnumerator& operator=(const WindowEnumerator&) = delete;

    // Raises Enumerate once per top-level window of the program until a handler cancels
    // or releases the enumerator.
    void Run();
    tv::Event<HandleId /*hwnd*/, bool& /*Cancel*/> Enumerate;

private:
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

} // namespace tv
