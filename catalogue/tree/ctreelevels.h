#pragma once

#include "catalogue/tree/cdistinctbuffer.h"
#include "platform/component/event.h"
#include "platform/db/dberror.h"
#include "platform/runtime/variant.h"

#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

namespace tv {

class Database;
class QueryDef;
class Recordset;

// The rows of one level query under one parent: item key, parent key, icon number and
// display text, read by position. Wraps the open recordset, which it owns.
class TreeNodes {
public:
    explicit TreeNodes(std::shared_ptr<Recordset> recordset);
    ~TreeNodes();
    int Count() const { return count_; }
    // Column `column` of row `row` (both from 0); Null outside the rows.
    Variant Value(int row, int column) const;
    // The named column's value on a row; Null when there is no such column or row.
    Variant FieldValue(int row, const QString& name) const;

private:
    std::shared_ptr<Recordset> rs_;
    int count_ = 0;
};

// The level definitions of one database tree: per level the SQL text the host gave, the
// prepared item query and (unless the tree runs in plus/minus mode) the sorted buffer of
// the next level's parent keys. Owned by the tree control, created when it is given a
// database and dropped with it; shares the database with the control.
//
// Every level SELECT returns the item key, the parent key, the icon number and the display
// text, in this order. Levels 1 and 2 are read whole; from level 3 on a level's rows are
// those whose parent key equals the key of the expanded row above (the parameter xxx).
class CTreeLevels {
public:
    CTreeLevels();
    ~CTreeLevels();

    // For the host.
    bool ReInit = true;        // whether Setup ends with Changed
    Variant Key = Variant::null();   // the host's own value; the levels never read it
    Event<> Changed;   // the level definitions changed

    // Adds one level at the end. Fails (and keeps the level without its item query) when
    // the database rejects the SQL.
    DbError AddNew(const Variant& key, const QString& sql);
    int Count() const { return int(levels_.size()); }
    // Replaces all levels, first level first; a failing level ends the setup with the
    // tree error box.
    void Setup(const QStringList& sqls);
    void Setup() { Setup(QStringList()); }
    template <class... S>
    void Setup(const QString& first, const S&... rest) { Setup(QStringList{first, rest...}); }
    // The key of a level; Empty outside 1..Count (and setting it there does nothing).
    Variant id(int level) const;
    void setId(int level, const Variant& key);
    QString LevelSQL(int level) const;

    // For the tree's own classes.
    void Create(std::shared_ptr<Database> database, int plusMinusMode);
    void Clear();
    // The rows of a level under a parent (levels 1 and 2 ignore the parent key); none
    // above Count or when the query fails (after the tree error box).
    std::shared_ptr<TreeNodes> Getnodes(int level, const QString& parentKey);
    std::shared_ptr<Database> database() const { return db_; }
    const CDistinctBuffer* ParentBuffer(int level) const;
    int PlusMinusMode() const { return plusMinusMode_; }
    // A new buffer of the distinct parent keys of level + 1, or none for the last level.
    DbError OpenParentBuffer(int level, std::unique_ptr<CDistinctBuffer>* buffer);
    // Fills the missing buffers, or all of them when `rebuild` is set.
    DbError CreateParentBuffers(bool rebuild);
    // The parent key (as text) of the item with that key on that level; "" when there is
    // none. The key is a copy: the caller's text is never changed.
    QString FindParentKey(const QString& itemKey, int level);

private:
    struct LevelRecord;
    LevelRecord* record(int level) const;

    std::shared_ptr<Database> db_;
    int plusMinusMode_ = 0;
    bool inSetup_ = false;
    std::vector<std::unique_ptr<LevelRecord>> levels_;   // level i is element i - 1
};

// Whether a row's key value matches a key given as text: numbers by value, everything
// else by its text.
bool TreeKeyMatches(const Variant& value, const QString& key);

} // namespace tv
