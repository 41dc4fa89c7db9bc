#pragma once

#include "controls/grid/columns.h"

#include <QStringList>
#include <gtest/gtest.h>
#include <utility>
#include <vector>

namespace vantile {

using LayoutEvents = std::vector<std::pair<int32_t, int32_t>>;

// A column set with a recorder of its LayoutChange events.
class ColumnSetTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        set = Columns::Create(0);
        set->LayoutChange.connect([this](int32_t code, int32_t param) { events.emplace_back(code, param); });
    }

    // Adds columns by key with the default width; `fixed` puts them all in one group.
    void AddColumns(const QStringList& keys, int32_t fixed = vtlGrpCenter)
    {
        for (const QString& key : keys) ASSERT_TRUE(set->Add(key, 64, 0, fixed)) << qPrintable(key);
        events.clear();
    }

    // The keys of a group's members in their order.
    QStringList Keys(int32_t group) const
    {
        QStringList keys;
        auto g = set->Groups(group);
        for (int32_t p = 0; p < g->Count(); ++p) keys << g->Item(p)->Key();
        return keys;
    }

    std::shared_ptr<Column> Col(const char* key) const { return set->Item(key); }

    std::shared_ptr<Columns> set;
    LayoutEvents events;
};

} // namespace vantile
