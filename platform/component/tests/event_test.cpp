#include "platform/component/component.h"
#include "platform/component/event.h"
#include "platform/component/eventconnector.h"

#include <gtest/gtest.h>

using tv::Event;
using tv::Variant;

TEST(Event, ByReferenceArgumentsAreReadBackInConnectOrder)
{
    Event<int32_t, Variant&, bool&> fetch;
    QStringList calls;
    fetch.connect([&](int32_t row, Variant& value, bool&) {
        calls += QStringLiteral("first");
        value = Variant(row * 2);
    });
    fetch.connect([&](int32_t, Variant& value, bool& cancel) {
        calls += QStringLiteral("second");
        cancel = value.toLong() > 5;
    });
    Variant value;
    bool cancel = false;
    fetch.raise(3, value, cancel);
    EXPECT_EQ(value, Variant(int32_t(6)));
    EXPECT_TRUE(cancel);
    EXPECT_EQ(calls, QStringList({QStringLiteral("first"), QStringLiteral("second")}));
}

TEST(Event, HandlersMayDisconnectDuringARaise)
{
    Event<> e;
    int a = 0, b = 0;
    tv::Connection cb;
    tv::Connection ca = e.connect([&] { ++a; cb.disconnect(); });
    cb = e.connect([&] { ++b; });
    e.raise();
    EXPECT_EQ(a, 1);
    EXPECT_EQ(b, 0);   // disconnected before its turn
    ca.disconnect();
    e.raise();
    EXPECT_EQ(a, 1);
    EXPECT_FALSE(e.hasHandlers());

    int c = 0;
    {
        tv::ScopedConnection scoped = e.connect([&] { ++c; });
        e.raise();
    }
    e.raise();
    EXPECT_EQ(c, 1);
}

namespace {

// A sender whose handler releases it: the method that raised must finish on a live object.
class Ticker : public tv::Component {
public:
    explicit Ticker(bool* destroyed) : destroyed_(destroyed) {}
    ~Ticker() override { *destroyed_ = true; }
    Event<> Tick;
    bool fire()
    {
        auto self = keepAlive();
        Tick.raise();
        ++count_;                  // touches the object after the handler let go of it
        return !*destroyed_;
    }

private:
    bool* destroyed_;
    int count_ = 0;
};

} // namespace

TEST(Event, SenderLivesUntilItsRaisingMethodReturns)
{
    bool destroyed = false;
    auto ticker = std::make_shared<Ticker>(&destroyed);
    int second = 0;
    ticker->Tick.connect([&] { ticker.reset(); });
    ticker->Tick.connect([&] { ++second; });
    Ticker* raw = ticker.get();
    EXPECT_TRUE(raw->fire());
    EXPECT_TRUE(destroyed);
    EXPECT_EQ(second, 1);   // the raise finishes on its copy of the handler list
}

TEST(EventConnector, OwnerAnswersRequestsWithoutAChildHoldingIt)
{
    using Connector = tv::EventConnector<int32_t, int32_t, Variant&>;
    auto connector = std::make_shared<Connector>();

    Variant unanswered(QStringLiteral("unchanged"));
    connector->SendRequest(1, 2, unanswered);
    EXPECT_EQ(unanswered, Variant(QStringLiteral("unchanged")));

    struct Owner {
        std::vector<int32_t> notified;
        tv::ScopedConnection n, r;
    };
    auto owner = std::make_unique<Owner>();
    owner->n = connector->Notify.connect([o = owner.get()](int32_t, int32_t propId, Variant&) {
        o->notified.push_back(propId);
    });
    owner->r = connector->Request.connect([](int32_t index, int32_t, Variant& value) {
        value = Variant(index + 100);
    });
    Variant v;
    connector->SendNotify(0, 7, v);
    connector->SendRequest(4, 12, v);
    EXPECT_EQ(owner->notified, std::vector<int32_t>{7});
    EXPECT_EQ(v, Variant(int32_t(104)));

    owner.reset();   // a child that outlives its owner reaches nobody
    Variant after(int32_t(1));
    connector->SendRequest(4, 12, after);
    EXPECT_EQ(after, Variant(int32_t(1)));
}

TEST(EventConnector, HandlerMayDropTheConnector)
{
    using Connector = tv::EventConnector<Variant&>;
    auto connector = std::make_shared<Connector>();
    std::weak_ptr<Connector> watch = connector;
    connector->Notify.connect([&](Variant& v) { connector.reset(); v = Variant(true); });
    Variant v;
    watch.lock().get()->SendNotify(v);
    EXPECT_EQ(v, Variant(true));
    EXPECT_TRUE(watch.expired());
}
