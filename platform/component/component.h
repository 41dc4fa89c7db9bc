#pragma once

#include "platform/runtime/variant.h"

#include <memory>

namespace tv {

// Base of the reference-counted objects that raise events. Such objects are created with
// std::make_shared and live as long as someone holds them; a child reaches its owner through
// events (see EventConnector) or a std::weak_ptr, never through an owning back-link.
//
// A handler may drop the last reference to the object whose method raised the event. That
// method therefore takes a strong reference first and holds it until it returns:
//     void Timer::fire() { auto self = keepAlive(); Tick.raise(); enabled_ = false; }
// For an object not held by a shared_ptr (a plain member, a stack object in a test) the
// reference is empty and nothing is kept.
class Component : public Object, public std::enable_shared_from_this<Component> {
protected:
    std::shared_ptr<Component> keepAlive() { return weak_from_this().lock(); }
    std::shared_ptr<const Component> keepAlive() const { return weak_from_this().lock(); }
};

} // namespace tv
