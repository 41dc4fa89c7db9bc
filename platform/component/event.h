#pragma once

#include <functional>
#include <memory>
#include <utility>
#include <vector>

namespace tv {

namespace detail {
struct EventSlotBase {
    virtual ~EventSlotBase() = default;
    bool connected = true;
};
} // namespace detail

// A handle on one handler of an Event. Copies refer to the same handler; disconnect() from
// any of them ends it. Outliving the event is harmless.
class Connection {
public:
    Connection() = default;
    explicit Connection(std::weak_ptr<detail::EventSlotBase> slot) : slot_(std::move(slot)) {}
    void disconnect()
    {
        if (auto s = slot_.lock()) s->connected = false;
        slot_.reset();
    }
    bool connected() const
    {
        auto s = slot_.lock();
        return s && s->connected;
    }

private:
    std::weak_ptr<detail::EventSlotBase> slot_;
};

// Disconnects its handler when it goes: a listener keeps one per connection so that an event
// raised after the listener died never reaches it.
class ScopedConnection {
public:
    ScopedConnection() = default;
    ScopedConnection(Connection c) : c_(std::move(c)) {}
    ScopedConnection(ScopedConnection&& o) noexcept : c_(std::exchange(o.c_, Connection())) {}
    ScopedConnection& operator=(ScopedConnection&& o) noexcept
    {
        if (this != &o) { c_.disconnect(); c_ = std::exchange(o.c_, Connection()); }
        return *this;
    }
    ScopedConnection(const ScopedConnection&) = delete;
    ScopedConnection& operator=(const ScopedConnection&) = delete;
    ~ScopedConnection() { c_.disconnect(); }
    void disconnect() { c_.disconnect(); }
    bool connected() const { return c_.connected(); }

private:
    Connection c_;
};

// A synchronous event: raise() calls every connected handler in the order they connected,
// on the caller's thread, before it returns. Arguments declared as references
// (Event<int32_t, Variant&>) reach the handlers by reference, so the raiser reads back what
// the handlers wrote (Cancel flags, fetched values, answers to requests).
//
// A handler may connect or disconnect handlers, or destroy the event and its owner: raise()
// works on a copy of the handler list and touches nothing of the event after a handler ran.
// A handler disconnected during a raise is not called any more by that raise. To keep the
// owner itself alive until its method is done, see Component::keepAlive().
//
// Owned by the object that raises it (a member); not copyable.
template <class... Args>
class Event {
public:
    using Handler = std::function<void(Args...)>;

    Event() = default;
    Event(const Event&) = delete;
    Event& operator=(const Event&) = delete;
    ~Event() { disconnectAll(); }

    Connection connect(Handler handler)
    {
        std::erase_if(slots_, [](const auto& s) { return !s->connected; });
        auto slot = std::make_shared<Slot>(std::move(handler));
        slots_.push_back(slot);
        return Connection(slot);
    }

    void disconnectAll()
    {
        for (const auto& s : slots_) s->connected = false;
        slots_.clear();
    }

    bool hasHandlers() const
    {
        for (const auto& s : slots_)
            if (s->connected) return true;
        return false;
    }

    void raise(Args... args) const
    {
        if (slots_.size() == 1) {   // the usual case: one listener, no list copy
            const std::shared_ptr<Slot> s = slots_.front();
            if (s->connected) s->fn(args...);
            return;
        }
        const std::vector<std::shared_ptr<Slot>> slots = slots_;
        for (const auto& s : slots)
            if (s->connected) s->fn(args...);
    }

private:
    struct Slot : detail::EventSlotBase {
        explicit Slot(Handler h) : fn(std::move(h)) {}
        Handler fn;
    };
    std::vector<std::shared_ptr<Slot>> slots_;
};

} // namespace tv
