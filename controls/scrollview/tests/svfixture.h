#pragma once

// A scroll view on a shown window with a host that records every event it gets.

#include "controls/scrollview/scrollview.h"
#include "platform/gui/keys.h"
#include "platform/gui/subclasser.h"
#include "platform/gui/surface.h"
#include "platform/gui/systimer.h"

#include <QApplication>
#include <QRegularExpression>

#include <QStringList>
#include <QTest>
#include <gtest/gtest.h>

// Readable QString values in failure messages.
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

namespace vantile {

class ScrollViewTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        tv::SysTimer::SetManualMode(true);
        sv = new ScrollView(&top);
        sv->ReadProperties(tv::PropertyBag());
        sv->setBorderStyle(bsNone);
        top.resize(400, 300);
        sv->setGeometry(0, 0, 200, 100);
        top.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&top));
        QCoreApplication::processEvents();
        record();
    }
    void TearDown() override
    {
        // The recording handlers write into this fixture: the control goes first.
        delete sv;
        sv = nullptr;
        tv::SysTimer::SetManualMode(false);
    }

    // Client area height = control height while there is no horizontal bar and no border.
    void setAreaHeight(int h) { sv->resize(sv->width(), h); }

    void record()
    {
        sv->BeforeDraw.connect([this](int32_t s, int32_t e, int16_t& action, tv::HandleId) {
            log << QStringLiteral("BeforeDraw %1 %2").arg(s).arg(e);
            action = nextAction;
        });
        sv->DrawRow.connect([this](int32_t i, int16_t state, int32_t x1, int32_t y1, int32_t x2, int32_t y2,
                                   tv::HandleId) {
            log << QStringLiteral("DrawRow %1 s%2 %3,%4-%5,%6").arg(i).arg(state).arg(x1).arg(y1).arg(x2).arg(y2);
        });
        sv->Draw.connect([this](int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
            log << QStringLiteral("Draw %1,%2-%3,%4").arg(x1).arg(y1).arg(x2).arg(y2);
        });
        sv->AfterDraw.connect([this] { log << QStringLiteral("AfterDraw"); });
        sv->EraseBackground.connect([this](tv::HandleId, bool& cancel) {
            log << QStringLiteral("EraseBackground");
            cancel = cancelErase;
        });
        sv->EraseBackgroundEx.connect([this](tv::HandleId, int16_t& state) {
            log << QStringLiteral("EraseBackgroundEx");
            if (eraseState >= 0) state = int16_t(eraseState);
        });
        sv->Scroll.connect([this](int32_t bar, int32_t& value, int32_t change, bool track) {
            log << QStringLiteral("Scroll %1 %2 %3%4").arg(bar).arg(value).arg(change).arg(track ? " track" : "");
            if (onScroll) onScroll(bar, value);
        });
        sv->FirstVisibleChanged.connect([this] { log << QStringLiteral("FirstVisibleChanged"); });
        sv->MouseDown.connect([this](int16_t b, int16_t&, int32_t x, int32_t y) {
            log << QStringLiteral("MouseDown %1 %2,%3").arg(b).arg(x).arg(y);
        });
        sv->MouseUp.connect([this](int16_t b, int16_t&, int32_t x, int32_t y) {
            log << QStringLiteral("MouseUp %1 %2,%3").arg(b).arg(x).arg(y);
        });
        sv->MouseMove.connect([this](int16_t, int16_t&, int32_t x, int32_t y) {
            log << QStringLiteral("MouseMove %1,%2").arg(x).arg(y);
        });
        sv->MouseDrag.connect([this](int32_t state, int16_t, int32_t x, int32_t y, bool& cancel) {
            log << QStringLiteral("MouseDrag %1 %2,%3").arg(state).arg(x).arg(y);
            cancel = cancelDrag;
        });
    }
    tv::OwnerDrawSurface* client() const { return sv->findChild<tv::OwnerDrawSurface*>(); }
    // Events of the given kinds, in order.
    QStringList only(const QString& prefix) const { return log.filter(QRegularExpression(QStringLiteral("^(") + prefix + QStringLiteral(")"))); }

    QWidget top;
    ScrollView* sv = nullptr;
    QStringList log;
    int16_t nextAction = 0;
    bool cancelErase = false;
    int eraseState = -1;
    bool cancelDrag = false;
    std::function<void(int32_t bar, int32_t& value)> onScroll;
};

} // namespace vantile
