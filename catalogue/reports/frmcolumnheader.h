#pragma once

// frmColumnHeader: the window in which the user picks which columns of a report list show,
// puts the columns back to their standard state, and switches the main window's optional
// category column on and off. It works directly on the report grid's columns; changes reach
// the grid by "Übernehmen" (also run by "OK"), the reset "Standard" at once.

#include <QDialog>
#include <QString>
#include <functional>
#include <memory>

class QFrame;
class QPushButton;

namespace vantile {
class ListView;
}

namespace tv {

class ImageList;

// What only the main window knows: the caption (column key) of its category column, and how
// to rebuild its view with that column added when the grid has none yet.
struct ColumnHeaderHost {
    QString categoryCaption = QStringLiteral("Kategorie");
    std::function<void()> addCategoryColumn;
};
void SetColumnHeaderHost(ColumnHeaderHost host);
const ColumnHeaderHost& columnHeaderHost();

class frmColumnHeader : public QDialog {
    Q_OBJECT
public:
    // Loads the window for the columns of `target`: placement, texts, the filled list.
    explicit frmColumnHeader(vantile::ListView* target, QWidget* parent = nullptr);
    ~frmColumnHeader() override;

    vantile::ListView* lvHeaders() const { return lvHeaders_; }
    // The buttons by their numbers: 2 "Anzeigen", 3 "Ausblenden", 4 "Standard".
    QPushButton* cmdAction(int index) const;
    QPushButton* cmdApply() const { return cmdApply_; }
    QPushButton* cmdOk() const { return cmdOk_; }
    QPushButton* cmdExit() const { return cmdExit_; }
    // 0: the target has no category column; 1: it has one and shows it; 2: it hides it.
    int16_t categoryState() const { return categoryState_; }

    void cmdAction_Click(int index);
    void cmdApply_Click();
    void cmdOk_Click();
    void cmdExit_Click() { close(); }
    void done(int result) override;
    // A click on the list: on the current row's icon (x 2..18) it toggles the row.
    void lvHeaders_ItemClick(int32_t row, int32_t col, int16_t button, int16_t keyState, int32_t x, int32_t y);

protected:
    void resizeEvent(QResizeEvent* e) override;

private:
    void FillList();
    void UpdateButtons();
    bool IsChanged() const;
    bool AllowHide(int32_t row) const;
    int32_t rowHidden(int32_t row) const;
    QString rowKey(int32_t row) const;
    void setRowHidden(int32_t row, int32_t hidden);
    void refuseHide();

    vantile::ListView* target_ = nullptr;
    vantile::ListView* lvHeaders_ = nullptr;
    std::shared_ptr<ImageList> ImageList1_;
    QPushButton* cmdAction_[3] = {};
    QPushButton* cmdApply_ = nullptr;
    QPushButton* cmdOk_ = nullptr;
    QPushButton* cmdExit_ = nullptr;
    QFrame* fraConfig_ = nullptr;
    QFrame* fraAction_ = nullptr;
    QFrame* fraLinie_ = nullptr;
    int16_t categoryState_ = 0;
    bool loaded_ = false;
};

} // namespace tv
