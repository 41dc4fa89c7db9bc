#pragma once

#include "platform/component/event.h"

#include <QDialog>

class QComboBox;
class QLineEdit;
class QPushButton;

namespace tv {

class SimpleReport;

// The find window of a report list: a text, one of the list's visible columns, and a button
// that walks from hit to hit, asking at the end of the list whether to go on from the top.
// It reaches its list only through GetClientCtrl, which the list answers with itself.
class frmSearch : public QDialog {
    Q_OBJECT
public:
    explicit frmSearch(QWidget* parent = nullptr);
    ~frmSearch() override;

    // Call after connecting GetClientCtrl: places, translates and fills the window.
    void Load();
    // Fills the columns from the list and starts a new search.
    void ReInit();
    bool IsLoaded = false;

    Event<SimpleReport*& /*report*/> GetClientCtrl;

    QLineEdit* edSearch = nullptr;
    QComboBox* cboFields = nullptr;
    QPushButton* cmdSearch[2] = {nullptr, nullptr};
    QPushButton* cmdCancel = nullptr;
    int32_t lastFound() const { return lastFound_; }

    void cmdSearch_Click();

protected:
    void closeEvent(QCloseEvent* e) override;

private:
    SimpleReport* client();
    void resetSearch();
    int message(int number);
    void unload();
    int32_t lastFound_ = -1;
};

} // namespace tv
