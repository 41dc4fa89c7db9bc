#pragma once

#include "platform/component/eventconnector.h"
#include "platform/runtime/variant.h"

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
// owner, Columns, carrying (Index, PropID, Value). The owner creates it, listens to its Notify
// and Request events and hands it to every child; a child never holds its owner, so no
// reference cycle forms. The owner's handler may write its answer into Value before the
// child's call returns; with nobody listening, Value comes back unchanged.
using Connector = tv::EventConnector<int32_t, int32_t, tv::Variant&>;

} // namespace vantile
