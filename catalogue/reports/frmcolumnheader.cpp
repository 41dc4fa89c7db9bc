#include "catalogue/reports/frmcolumnheader.h"

#include "catalogue/core/modlang.h"
#include "catalogue/core/modsettings.h"
#include "controls/grid/cells.h"
#include "controls/grid/column.h"
#include "controls/grid/columns.h"
#include "controls/grid/listview.h"
#include "platform/gui/imagelist.h"
#include "platform/gui/msgbox.h"

#include <QFrame>
#include <QPainter>
#include <QPushButton>
#include <QScopeGuard>

namespace tv {

namespace {

ColumnHeaderHost& hostValue()
{
    static ColumnHeaderHost host;
    return host;
}

// Image 1 marks a shown column (a filled box), image 2 a hidden one (an empty box).
std::shared_ptr<ImageList> makeStateImages()
{
    auto list = std::make_shared<ImageList>();
    for (bool shown : {true, false}) {
        QImage image(16, 16, QImage::Format_ARGB32);
        image.fill(Qt::transparent);
        QPainter p(&image);
        p.setPen(QColor(64, 64, 64));
        p.setBrush(shown ? QBrush(QColor(40, 140, 60)) : QBrush(Qt::NoBrush));
        p.drawRect(3, 3, 9, 9);
        p.end();
        list->Add(image);
    }
    return list;
}

const QString kName = QStringLiteral("Name");
const QString kHidden = QStringLiteral("Hidden");
const QString kKey = QStringLiteral("Key");

} // namespace

void SetColumnHeaderHost(ColumnHeaderHost host) { hostValue() = std::move(host); }
const ColumnHeaderHost& columnHeaderHost() { return hostValue(); }

frmColumnHeader::frmColumnHeader(vantile::ListView* target, QWidget* parent) : QDialog(parent), target_(target)
{
    setObjectName(QStringLiteral("frmColumnHeader"));
    setWindowTitle(QStringLiteral("Spalten konfigurieren"));
    setModal(true);
    resize(420, 320);
    lvHeaders_ = new vantile::ListView(this);
    lvHeaders_->setObjectName(QStringLiteral("lvHeaders"));
    lvHeaders_->InitProperties();
    lvHeaders_->setShowHeader(false);
    lvHeaders_->setScrollbarStyle(1);
    fraConfig_ = new QFrame(this);
    fraAction_ = new QFrame(this);
    fraLinie_ = new QFrame(fraAction_);
    fraLinie_->setFrameShape(QFrame::HLine);
    const char* actions[] = {"Anzeigen", "Ausblenden", "Standard"};
    for (int i = 0; i < 3; ++i) {
        cmdAction_[i] = new QPushButton(QString::fromUtf8(actions[i]), fraConfig_);
        cmdAction_[i]->setGeometry(0, i * 30, 100, 25);
        connect(cmdAction_[i], &QPushButton::clicked, this, [this, i] { cmdAction_Click(i + 2); });
    }
    fraConfig_->setFixedSize(100, 90);
    cmdApply_ = new QPushButton(QStringLiteral("Übernehmen"), fraAction_);
    cmdOk_ = new QPushButton(QStringLiteral("OK"), fraAction_);
    cmdExit_ = new QPushButton(QStringLiteral("Beenden"), fraAction_);
    connect(cmdApply_, &QPushButton::clicked, this, &frmColumnHeader::cmdApply_Click);
    connect(cmdOk_, &QPushButton::clicked, this, &frmColumnHeader::cmdOk_Click);
    connect(cmdExit_, &QPushButton::clicked, this, &frmColumnHeader::cmdExit_Click);
    lvHeaders_->ItemClick.connect([this](int32_t row, int32_t col, int16_t b, int16_t k, int32_t x, int32_t y) {
        lvHeaders_ItemClick(row, col, b, k, x, y);
    });
    lvHeaders_->SelectionChanged.connect([this] { UpdateButtons(); });

    LoadFormPos(this);
    TranslateForm(this, true, false);
    ImageList1_ = makeStateImages();
    lvHeaders_->setIcons(ImageList1_);
    loaded_ = true;
    resizeEvent(nullptr);
    FillList();
    cmdApply_->setEnabled(false);
    cmdOk_->setEnabled(false);
}

frmColumnHeader::~frmColumnHeader() = default;

QPushButton* frmColumnHeader::cmdAction(int index) const
{
    return index >= 2 && index <= 4 ? cmdAction_[index - 2] : nullptr;
}

void frmColumnHeader::done(int result)
{
    if (loaded_) {
        loaded_ = false;
        ResetLangContext();
        SaveFormPos(this);
    }
    QDialog::done(result);
}

// ---- the list ---------------------------------------------------------------------------------

int32_t frmColumnHeader::rowHidden(int32_t row) const { return lvHeaders_->Data(Variant(kHidden), row).toLong(); }
QString frmColumnHeader::rowKey(int32_t row) const { return lvHeaders_->Data(Variant(kKey), row).text(); }
void frmColumnHeader::setRowHidden(int32_t row, int32_t hidden) { lvHeaders_->setData(Variant(kHidden), row, Variant(hidden)); }

void frmColumnHeader::FillList()
{
    const QString category = columnHeaderHost().categoryCaption;
    lvHeaders_->Reset();
    auto own = lvHeaders_->Columns();
    own->Add(kName, std::max(20, lvHeaders_->width() - 48), 0, 0, 0, false, {}, {}, {}, Variant(kHidden));
    own->Add(kHidden, 64, 1);
    own->Add(kKey, 64, 1);

    auto columns = target_->Columns();
    std::vector<std::shared_ptr<vantile::Column>> listed;
    bool found = false;
    for (int32_t i = 0; i < columns->Count(); ++i) {
        auto col = columns->Item(Variant(i), true);
        if (!col) continue;
        if (col->Key() == category) {
            found = true;
            categoryState_ = col->Hidden() == 0 ? 1 : 2;
        }
        if (col->Hidden() == vantile::vtlHiddenAllways || col->Fixed() == 1) continue;
        listed.push_back(col);
    }
    lvHeaders_->setRowCount(int32_t(listed.size()) + (found ? 0 : 1));
    int32_t row = 0;
    for (const auto& col : listed) {
        auto header = col->Header(0);
        lvHeaders_->setData(Variant(kName), row, Variant(header ? header->Text : col->Key()));
        lvHeaders_->setData(Variant(kHidden), row, Variant(col->Hidden() + 1));
        lvHeaders_->setData(Variant(kKey), row, Variant(col->Key()));
        ++row;
    }
    if (!found) {
        lvHeaders_->setData(Variant(kName), row, Variant(category));
        lvHeaders_->setData(Variant(kHidden), row, Variant(int32_t(2)));
        lvHeaders_->setData(Variant(kKey), row, Variant(category));
        categoryState_ = 0;
    }
    if (lvHeaders_->RowCount() > 0) lvHeaders_->SetBookmark(0, -1, 0);
    UpdateButtons();
}

bool frmColumnHeader::AllowHide(int32_t row) const
{
    const QString key = rowKey(row);
    if (key == columnHeaderHost().categoryCaption) return true;
    auto col = target_->Columns()->Item(Variant(key));
    return col && col->AllowHide;
}

void frmColumnHeader::refuseHide()
{
    LangMsgBox(QStringLiteral("Diese Spalte kann nicht ausgeblendet werden!"), vbInformation,
               QStringLiteral("Spalte ausblenden"));
}

bool frmColumnHeader::IsChanged() const
{
    const QString category = columnHeaderHost().categoryCaption;
    auto columns = target_->Columns();
    for (int32_t row = 0; row < lvHeaders_->RowCount(); ++row) {
        const int32_t hidden = rowHidden(row);
        if (rowKey(row) == category) {
            if ((hidden == 1 && categoryState_ != 1) || (hidden == 2 && categoryState_ == 1)) return true;
        } else if (auto col = columns->Item(Variant(rowKey(row))); col && hidden != col->Hidden() + 1) {
            return true;
        }
    }
    return false;
}

void frmColumnHeader::UpdateButtons()
{
    const int32_t row = lvHeaders_->CurrentRow();
    const bool canShow = row >= 0 && rowHidden(row) != 1;
    const bool canHide = row >= 0 && !canShow;
    // "Anzeigen" and "Ausblenden" take turns: the focus goes from the one that greys out to
    // the other, not on to "Standard", where the next Return would reset the whole layout.
    QPushButton* show = cmdAction_[0];
    QPushButton* hide = cmdAction_[1];
    if (canShow) show->setEnabled(true);
    if (canHide) hide->setEnabled(true);
    if (!canShow && show->hasFocus() && canHide) hide->setFocus(Qt::OtherFocusReason);
    if (!canHide && hide->hasFocus() && canShow) show->setFocus(Qt::OtherFocusReason);
    if (!canShow) show->setEnabled(false);
    if (!canHide) hide->setEnabled(false);
    const bool changed = IsChanged();
    cmdApply_->setEnabled(changed);
    cmdOk_->setEnabled(changed);
}

// ---- buttons and clicks -------------------------------------------------------------------------

void frmColumnHeader::cmdAction_Click(int index)
{
    const int32_t row = lvHeaders_->CurrentRow();
    switch (index) {
    case 2:
        if (row < 0) return;
        setRowHidden(row, 1);
        break;
    case 3:
        if (row < 0) return;
        if (!AllowHide(row)) {
            refuseHide();
            return;
        }
        setRowHidden(row, 2);
        break;
    case 4: {
        if (LangMsgBox(QStringLiteral("Wollen Sie das Spalten-Layout auf die Standardwerte zurücksetzen?"),
                       vbYesNo | vbQuestion, QStringLiteral("Spalten-Layout")) == vbNo)
            return;
        const QString category = columnHeaderHost().categoryCaption;
        const bool autoRefresh = target_->AutoRefresh();
        target_->setAutoRefresh(false);
        auto columns = target_->Columns();
        // The category column goes last, so that removing it shifts no position still to visit.
        for (int32_t i = 0; i < columns->Count(); ++i) {
            auto col = columns->Item(Variant(i));
            if (col && col->Key() != category && col->Hidden() != vantile::vtlHiddenAllways) col->SetHidden(0);
        }
        columns->Remove(Variant(category));
        for (int32_t i = 0; i < columns->Count(); ++i)
            if (auto col = columns->Item(Variant(i))) col->SetOrder(col->Index());
        for (int32_t i = 0; i < columns->Count(); ++i) target_->AutoSizeColumn(i, 1);
        target_->setAutoRefresh(autoRefresh);
        FillList();
        break;
    }
    default: return;
    }
    UpdateButtons();
    lvHeaders_->Refresh();
}

void frmColumnHeader::lvHeaders_ItemClick(int32_t row, int32_t, int16_t, int16_t, int32_t x, int32_t)
{
    if (row < 0 || row != lvHeaders_->CurrentRow()) return;
    if (x >= 2 && x <= 18) {
        if (!AllowHide(row)) {
            refuseHide();
            return;
        }
        setRowHidden(row, rowHidden(row) == 1 ? 2 : 1);
        UpdateButtons();
        lvHeaders_->Refresh();
        return;
    }
    UpdateButtons();
}

void frmColumnHeader::cmdApply_Click()
{
    const QString category = columnHeaderHost().categoryCaption;
    const bool autoRefresh = target_->AutoRefresh();
    target_->setAutoRefresh(false);
    auto restore = qScopeGuard([&] {
        target_->setAutoRefresh(autoRefresh);
        target_->Refresh();
    });
    auto columns = target_->Columns();
    int32_t categoryHidden = 0;   // 0: the category row is unchanged
    for (int32_t row = 0; row < lvHeaders_->RowCount(); ++row) {
        const int32_t hidden = rowHidden(row);
        if (rowKey(row) == category) {
            const bool differs = categoryState_ == 1 ? hidden != 1 : hidden == 1;
            if (differs) categoryHidden = hidden;
        } else if (auto col = columns->Item(Variant(rowKey(row))); col && col->AllowHide) {
            col->SetHidden(hidden - 1);
        }
    }
    if (categoryHidden != 0) {
        if (categoryHidden != 1) {
            columns->Remove(Variant(category));
            categoryState_ = 0;
        } else if (categoryState_ != 0) {
            if (auto col = columns->Item(Variant(category))) col->SetHidden(0);
            categoryState_ = 1;
        } else {
            if (columnHeaderHost().addCategoryColumn) columnHeaderHost().addCategoryColumn();
            categoryState_ = 1;
        }
    }
    UpdateButtons();
}

void frmColumnHeader::cmdOk_Click()
{
    if (cmdApply_->isEnabled()) cmdApply_Click();
    close();
}

void frmColumnHeader::resizeEvent(QResizeEvent*)
{
    if (isMinimized()) return;
    // The window never gets smaller than its controls need.
    if (height() < 235 || width() < 329) {
        resize(std::max(width(), 329), std::max(height(), 235));
        return;
    }
    lvHeaders_->setGeometry(8, 8, width() - 130, height() - 83);
    fraConfig_->move(width() - 117, 8);
    fraAction_->setGeometry(7, height() - 77, width() - 13, 70);
    fraLinie_->setGeometry(0, 0, fraAction_->width(), 4);
    cmdApply_->setGeometry(fraAction_->width() - 100, 20, 95, 27);
    cmdExit_->setGeometry(fraAction_->width() - 200, 20, 95, 27);
    cmdOk_->setGeometry(fraAction_->width() - 300, 20, 95, 27);
}

} // namespace tv
