#pragma once

#include "catalogue/tree/cscreenbuffer.h"
#include "catalogue/tree/treepaint.h"
#include "platform/component/event.h"
#include "platform/gui/gdi.h"

#include <QWidget>
#include <memory>

namespace vantile {
class ScrollView;
}

namespace tv {

class CSubTree;
class CTreeItem;
class CTreeLevels;
class Database;
class ImageList;
class ImageListClass;
class PropertyBag;
class StdFont;

// The database tree: rows from SQL level queries over the catalogue, loaded when a row is
// expanded and painted by the control itself on a scroll view that fills it. The host gives
// it the open database (DataBase), defines the levels (levels()->Setup) and listens to its
// events. The control owns its levels, its root subtree and its screen buffer; the database
// is shared with the host.
class UserTree : public QWidget {
    Q_OBJECT
public:
    explicit UserTree(QWidget* parent = nullptr);
    ~UserTree() override;

    // Persistence under the keys "Enabled", "BorderStyle", "Font", "HideSelection",
    // "Indentation", "Style", "TextSpacer", "TranslateIcons", "PlusMinusMode",
    // "DblClickOnReturn".
    void ReadProperties(const PropertyBag& bag);
    void WriteProperties(PropertyBag& bag) const;

    int BorderStyle() const;
    void setBorderStyle(int style);
    std::shared_ptr<StdFont> Font() const;
    void setFont(std::shared_ptr<StdFont> font);
    bool HideSelection() const { return hideSelection_; }
    void setHideSelection(bool on) { hideSelection_ = on; changed(QStringLiteral("HideSelection")); }
    int Indentation() const { return indentation_; }
    void setIndentation(int n) { indentation_ = n; changed(QStringLiteral("Indentation")); }
    int Style() const { return style_; }   // 1: an icon before the text
    void setStyle(int style) { style_ = style; changed(QStringLiteral("Style")); }
    int TextSpacer() const { return textSpacer_; }
    void setTextSpacer(int px) { textSpacer_ = px; changed(QStringLiteral("TextSpacer")); }
    bool TranslateIcons() const { return translateIcons_; }
    void setTranslateIcons(bool on) { translateIcons_ = on; changed(QStringLiteral("TranslateIcons")); }
    // Takes effect at the next DataBase set.
    int PlusMinusMode() const { return plusMinusMode_; }
    void setPlusMinusMode(int mode) { plusMinusMode_ = mode; changed(QStringLiteral("PlusMinusMode")); }
    bool DblClickOnReturn() const { return dblClickOnReturn_; }
    void setDblClickOnReturn(bool on) { dblClickOnReturn_ = on; changed(QStringLiteral("DblClickOnReturn")); }

    // The database the level queries run on; none detaches the tree.
    void setDataBase(std::shared_ptr<Database> database);
    std::shared_ptr<Database> DataBase() const;
    std::shared_ptr<CTreeLevels> levels() const { return levels_; }
    // Image lists whose images the rows show by icon number (from 1); the expanded list,
    // when set, serves expanded rows.
    void setStandardIcons(std::shared_ptr<ImageList> icons);
    std::shared_ptr<ImageList> StandardIcons() const { return standardSource_; }
    void setExpandedIcons(std::shared_ptr<ImageList> icons);
    std::shared_ptr<ImageList> ExpandedIcons() const { return expandedSource_; }

    void Refresh();
    void ExpandAll();
    int ItemCount() const;
    // Re-reads the rows keeping expansion and selection by key; unless `keepBuffers`, the
    // levels' parent keys are read again first.
    void Requery(bool keepBuffers = false);
    std::shared_ptr<CTreeItem> SelectedItem() const;
    std::shared_ptr<CTreeItem> TreeItems(int index) const;
    // Selects the row with that key on that level, expanding the rows on the way.
    bool SelectItem(const QString& key, int level);
    // Selects the parent row of `item` (its ParentKey on its Level).
    void Synchronize(const CTreeItem* item);

    vantile::ScrollView* scrollView() const { return sv_; }

    Event<int16_t /*Level*/, int16_t& /*Icon*/> TranslateIcon;
    Event<> SelectionChange;
    Event<> DblClick;
    Event<> BeforeExpand;
    Event<> AfterExpand;
    Event<> BeforeSetup;
    Event<> AfterSetup;
    Event<int16_t& /*KeyCode*/, int16_t& /*Shift*/> KeyDown;
    Event<int16_t /*Button*/, int16_t /*Shift*/, float /*X*/, float /*Y*/> MouseMove;
    Event<int16_t, int16_t, float, float> MouseDown;
    Event<int16_t, int16_t, float, float> MouseUp;
    // A persisted property changed.
    Event<QString> PropertyChanged;

protected:
    void resizeEvent(QResizeEvent* e) override;

private:
    void changed(const QString& property) { PropertyChanged.raise(property); }
    void initControl();
    void selectRowInternal(const std::shared_ptr<CTreeItem>& item);
    bool toggleExpand(const std::shared_ptr<CTreeItem>& item, int mode);
    void onKeyDown(int16_t& keyCode, int16_t& shift);
    void onMouseDown(int16_t button, int16_t shift, int32_t x, int32_t y);
    std::shared_ptr<CTreeItem> hitTest(int x, int y, TreeHitPart* part) const;
    // A row whose text the tree's width cuts shows it whole in a tip while the pointer is on it.
    void showCutTextTip(int x, int y);
    void onBeforeDraw(int16_t& action);
    void onDraw();
    void paintItem(HandleId hdc, int row, CTreeItem& item);
    void paintText(HandleId hdc, const QString& text, int x, int y, bool selected);
    void selectAbsolute(int absolute);

    vantile::ScrollView* sv_ = nullptr;
    std::shared_ptr<CTreeLevels> levels_;
    std::shared_ptr<CSubTree> root_;
    std::unique_ptr<CScreenBuffer> buffer_;
    std::unique_ptr<ImageListClass> lines_;
    std::unique_ptr<ImageListClass> standardIcons_, expandedIcons_;
    std::shared_ptr<ImageList> standardSource_, expandedSource_;
    CLevelGlyphs glyphs_;
    std::vector<ScopedConnection> rootConnections_;
    ScopedConnection levelsConnection_;
    bool initialised_ = false;
    bool hideSelection_ = false;
    int indentation_ = 1;
    int style_ = 1;
    int textSpacer_ = 0;
    bool translateIcons_ = false;
    int plusMinusMode_ = 0;
    bool dblClickOnReturn_ = false;
    int lastUpX_ = 0, lastUpY_ = 0;
};

// The tree-line glyphs, numbered from 1: 1-12 the row glyphs (see treepaint.h), 13 the
// continuation line, 14 the connector segment.
std::shared_ptr<ImageList> MakeTreeLineGlyphs();

} // namespace tv
