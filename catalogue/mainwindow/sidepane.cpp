#include "sidepane.h"

#include "catalogue/core/modlang.h"
#include "controls/grid/column.h"
#include "controls/grid/columns.h"
#include "controls/grid/listview.h"
#include "platform/gui/imagelist.h"

#include <QVBoxLayout>

namespace tv {

SidePane::SidePane(const QString& name, const QString& title, QWidget* parent) : QWidget(parent), title_(title)
{
    setObjectName(name);
    list_ = new vantile::ListView(this);
    list_->setObjectName(name + QStringLiteral("List"));
    list_->AllowReorder = false;
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(list_);
    const auto& columns = list_->Columns();
    columns->Add(QStringLiteral("Name"), 160, 0, 0, 0, false, {}, Translate(title), {}, Variant(QStringLiteral("Typ")));
    columns->Add(QStringLiteral("Typ"), 64, vantile::vtlHiddenAllways, 0, 0, false, {}, {}, {}, Variant(QString()));
    columns->Add(QStringLiteral("Key"), 64, vantile::vtlHiddenAllways, 0, 0, false, {}, {}, {}, Variant(QString()));
    list_->RowColChange.connect([this](int32_t previousRow, int32_t) {
        const int row = CurrentRow();
        if (!setting_ && row >= 0 && row != previousRow) RowChosen.raise(Key(row));
    });
}

void SidePane::AddRow(const QString& text, qint32 key, const QString& imageKey, int position)
{
    const int32_t row = position < 0 || position > list_->RowCount() ? list_->RowCount() : position;
    list_->InsertRows(1, row);
    list_->setData(Variant(QStringLiteral("Name")), row, Variant(text));
    list_->setData(Variant(QStringLiteral("Key")), row, Variant(key));
    // The grid takes the picture's number; the key waits in its place until the list is known.
    if (!imageKey.isEmpty())
        list_->setData(Variant(QStringLiteral("Typ")), row,
                       images_ ? Variant(int32_t(images_->IndexOfKey(imageKey))) : Variant(imageKey));
}

void SidePane::setImages(std::shared_ptr<ImageList> images)
{
    images_ = std::move(images);
    list_->setIcons(images_);
    if (!images_) return;
    const Variant typ(QStringLiteral("Typ"));
    for (int row = 0; row < RowCount(); ++row)
        if (const Variant key = list_->Data(typ, row); key.isString() && !key.text().isEmpty())
            list_->setData(typ, row, Variant(int32_t(images_->IndexOfKey(key.text()))));
    list_->Refresh();
}

void SidePane::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    // The name column fills the pane, leaving room for the vertical scroll bar.
    if (const auto name = list_->Columns()->Item(Variant(QStringLiteral("Name")))) name->SetWidth(std::max(width() - 24, 40));
}

void SidePane::TranslateTitle()
{
    const auto name = list_->Columns()->Item(Variant(QStringLiteral("Name")));
    if (!name || !name->Header()) return;
    name->Header()->Text = Translate(title_);
    list_->Refresh();
}

void SidePane::RemoveRow(int row)
{
    list_->RemoveRows(1, row);
    list_->Refresh();
}

int SidePane::FindKey(qint32 key) const
{
    for (int row = 0; row < RowCount(); ++row)
        if (Key(row) == key) return row;
    return -1;
}

int SidePane::RowCount() const { return list_->RowCount(); }

int SidePane::CurrentRow() const { return list_->CurrentRow(); }

void SidePane::SetCurrentRow(int row)
{
    setting_ = true;
    list_->SetBookmark(row, -1, 0);
    setting_ = false;
}

void SidePane::SetText(int row, const QString& text)
{
    list_->setData(Variant(QStringLiteral("Name")), row, Variant(text));
    list_->Refresh();
}

qint32 SidePane::Key(int row) const { return list_->Data(Variant(QStringLiteral("Key")), row).toLong(); }

QString SidePane::Text(int row) const { return list_->Data(Variant(QStringLiteral("Name")), row).text(); }

} // namespace tv
