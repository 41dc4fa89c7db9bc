#pragma once

// A grid on a shown window with three columns and a host that records the events it gets.
// The inner view's events are raised directly, as the view raises them for real input.

#include "controls/grid/listview.h"
#include "platform/gui/systimer.h"

#include <QApplication>
#include <QStringList>
#include <QTest>
#include <gtest/gtest.h>

namespace vantile {

class ListViewTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        tv::SysTimer::SetManualMode(true);
        lv = new ListView(&top);
        lv->ScrollWnd()->setBorderStyle(bsNone);
        lv->setScrollbarStyle(sbStyleNone);
        top.resize(400, 300);
        lv->setGeometry(0, 0, 300, 200);
        for (const char* key : {"A", "B", "C"})
            lv->Columns()->Add(QString::fromLatin1(key), 60, 0, 0, 0, false, {}, QStringLiteral("Head") + key);
        top.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&top));
        QCoreApplication::processEvents();
        lv->ItemClick.connect([this](int32_t r, int32_t c, int16_t b, int16_t k, int32_t x, int32_t y) {
            log << QStringLiteral("ItemClick %1 %2 b%3 k%4 %5,%6").arg(r).arg(c).arg(b).arg(k).arg(x).arg(y);
        });
        lv->ItemDblClick.connect([this](int32_t r, int32_t c) { log << QStringLiteral("ItemDblClick %1 %2").arg(r).arg(c); });
        lv->HeaderClick.connect([this](int32_t i, int16_t b) { log << QStringLiteral("HeaderClick %1 b%2").arg(i).arg(b); });
        lv->RowColChange.connect([this](int32_t r, int32_t c) { log << QStringLiteral("RowColChange %1 %2").arg(r).arg(c); });
        lv->SelectionChanged.connect([this] { log << QStringLiteral("SelectionChanged"); });
        lv->MouseDown.connect([this](int16_t&, int16_t&, int32_t, int32_t, bool& cancel) { cancel = cancelMouse; });
    }
    void TearDown() override
    {
        delete lv;
        lv = nullptr;
        tv::SysTimer::SetManualMode(false);
    }

    // A left click (press and release) at a point of the inner view.
    void click(int32_t x, int32_t y, int16_t button = 1, int16_t shift = 0)
    {
        lv->ScrollWnd()->MouseDown.raise(button, shift, x, y);
        lv->ScrollWnd()->MouseUp.raise(button, shift, x, y);
    }
    // Fills rows x 3 cells with "r<row>c<col>".
    void fill(int32_t rows)
    {
        lv->setRowCount(rows);
        for (int32_t r = 0; r < rows; ++r)
            for (int32_t c = 0; c < 3; ++c) lv->setData(c, r, QStringLiteral("r%1c%2").arg(r).arg(c));
    }
    QImage screen() const { return lv->ScrollWnd()->Picture()->image(); }

    QWidget top;
    ListView* lv = nullptr;
    QStringList log;
    bool cancelMouse = false;
};

} // namespace vantile
