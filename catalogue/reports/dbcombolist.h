#pragma once

#include "catalogue/reports/dbcombosource.h"

#include <QDialog>

#include <memory>

class QMenu;

namespace tv {

class Database;
class SimpleReport;
class StdFont;

// The drop-down of the database combo box: a report list of the combo's rows under the combo,
// sorted by the combo's text column so that typing finds rows. The combo fills the public
// fields, shows the window modally and reads Value once it closed: the chosen row's value
// column, or Null for no choice. Sizes are in twips. The list has the keyboard while open;
// a click anywhere outside closes it without a choice and goes no further.
// Owned by the combo for the time it is open; one at a time.
class frmDBCombo : public QDialog {
public:
    explicit frmDBCombo(QWidget* parent = nullptr);
    ~frmDBCombo() override;

    int32_t Def = 0;
    uint32_t BColor = 0x80000005u;
    uint32_t FColor = 0x80000008u;
    std::shared_ptr<StdFont> Fnt;
    bool CaseSensitive = false;
    std::shared_ptr<Database> ComboDB;
    QString RecordSource;
    const Collection<clsDBField>* Fields = nullptr;
    int32_t InvisibleColMode = 0;
    int16_t InvisibleCols = 0;
    int16_t SearchCol = 0;
    QString ValueField;
    Variant Value = Variant::null();
    int16_t Rows = 8;
    int32_t MinWidth = 0;
    double XPos = 0;
    double YPos = 0;
    double ControlHeight = 0;

    // Fills the list and places the window; done by showing it, callable before for tests.
    void Load();
    SimpleReport* srpCombo() const { return list_; }
    // The context menu while it is open (for tests), else null.
    QMenu* popupMenu() const { return menu_; }

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void reject() override;

private:
    void FillList();
    void SizeList();
    void AcceptRow();
    void CloseList();
    void ShowPopup();
    void SortByColumn(int32_t column);
    void SortByNeighbour(bool backwards);
    void onKeyDown(int16_t& key, int16_t& shift);
    // The field type of a grid column (the column's recordset field), 0 when unknown.
    int fieldType(int32_t column) const;

    SimpleReport* list_ = nullptr;
    QMenu* menu_ = nullptr;
    int32_t clickedColumn_ = -1;
    bool loaded_ = false;
};

} // namespace tv
