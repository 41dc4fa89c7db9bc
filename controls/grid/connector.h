#pragma once

#include "platform/runtime/variant.h"

#include <functional>

namespace vantile {

// Message codes that the column model's children send through the connector. Notifications
// report a change that has happened; requests ask the owner to act or to hand back an object.
enum ConnectorCode : int32_t {
    kMsgColumnAdded = 0,   // notification: a column was added
    kMsgWidth = 1,         // notification: Column.Width changed
    kMsgOrder = 2,         // notification and request: Column.Order
    kMsgFixed = 3,         // notification and request: Column.Fixed (move between groups)
    kMsgHidden = 4,        // notification: Column.Hidden changed
    kReqNextInGroup = 6,   // request: the column at Order + 1 of the sender's group
    kReqPrevInGroup = 7,   // request: the column at Order - 1 of the sender's group
    kMsgRowSet = 8,        // notification: Rows, RowHeight or Visible of a row set changed
    kReqGroup = 9,         // request: the sender's group
    kReqOwner = 10,        // request: the owning Columns object
};

// The one link from the column model's children (Column, ColumnGroup, Cells, Cell) to their
// owner, Columns. The owner creates it, listens to its two events and hands it to every child;
// a child never holds its owner, so no reference cycle forms. Events are synchronous: the
// owner's handler may write its answer into `value` before the child's call returns. With
// nobody listening, `value` comes back unchanged.
class Connector {
public:
    using Handler = std::function<void(int32_t index, int32_t propId, tv::Variant& value)>;

    Handler Notify;
    Handler Request;

    void SendNotify(int32_t index, int32_t propId, tv::Variant& value) const { Raise(Notify, index, propId, value); }
    void SendRequest(int32_t index, int32_t propId, tv::Variant& value) const { Raise(Request, index, propId, value); }

private:
    static void Raise(const Handler& handler, int32_t index, int32_t propId, tv::Variant& value)
    {
        // A copy, so that a handler may replace or drop the connection while it runs.
        if (Handler h = handler) h(index, propId, value);
    }
};

} // namespace vantile
