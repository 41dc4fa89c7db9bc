#pragma once

#include "platform/component/component.h"
#include "platform/component/event.h"

namespace tv {

// The way a child object talks to its owner without holding it. The owner creates one
// connector, keeps it, listens to its Notify and Request events and hands the same connector
// to every child it creates. A child calls SendNotify to report a change and SendRequest to
// ask for something; the owner's handler runs before the call returns and may write its
// answer into an argument declared by reference. Nobody listening: the call returns with the
// arguments unchanged.
//
// The connector holds no data and no reference to the owner, so no cycle forms. An owner
// that may die before its children disconnects its handlers (ScopedConnection members).
// Example: EventConnector<int32_t, int32_t, Variant&> for (Index, PropID, Value).
template <class... Args>
class EventConnector : public Component {
public:
    Event<Args...> Notify;
    Event<Args...> Request;

    void SendNotify(Args... args)
    {
        auto self = keepAlive();   // the owner's handler may drop the connector
        Notify.raise(args...);
    }
    void SendRequest(Args... args)
    {
        auto self = keepAlive();
        Request.raise(args...);
    }
};

} // namespace tv
