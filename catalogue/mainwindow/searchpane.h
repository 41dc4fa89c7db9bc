#pragma once

#include "platform/component/event.h"

#include <QStringList>
#include <QWidget>
#include <memory>

class QComboBox;
class QLabel;
class QPushButton;

namespace tv {

class SysTimer;

// The search pane of the main window: the search boxes cboSearch(0..2) with their drop-down
// histories, the stop button and the pause timer. Box 0 takes part in change detection,
// history and clearing only and is not shown; box 1 searches file names, box 2 paths. Every
// change restarts the 800 ms timer; when it fires, on Enter in a box or on a text chosen from a
// box's list, SearchRequested is raised and the main window decides whether a search is due.
// Owned by the main window's side frame.
class SearchPane : public QWidget {
    Q_OBJECT
public:
    static constexpr int kBoxes = 3;
    static constexpr int kPauseMs = 800;

    explicit SearchPane(QWidget* parent = nullptr);
    ~SearchPane() override;

    QComboBox* cboSearch(int index) const { return boxes_[index]; }
    QPushButton* cmdStopSearch() const { return stop_; }
    SysTimer* moTimer() const { return timer_.get(); }

    // The texts of all boxes, box 0 first.
    QStringList Texts() const;
    bool HasSearchText() const;
    void EnableSearch(bool enabled);
    bool SearchEnabled() const;
    // Empties every box; the enabled state of the boxes stays as it was.
    void ResetSearch();
    // Puts each typed text (not one chosen from a list) on top of its box's history.
    void AddHistory();
    // The entries of one box's drop-down list, newest first.
    QStringList History(int index) const;

    // The timer fired, Enter was pressed or a history entry chosen.
    Event<> SearchRequested;
    // The stop button was pressed.
    Event<> StopRequested;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void RestartTimer();

    QComboBox* boxes_[kBoxes] = {};
    bool chosen_[kBoxes] = {};  // the box's text was taken from its list
    QLabel* title_ = nullptr;
    QPushButton* stop_ = nullptr;
    std::unique_ptr<SysTimer> timer_;
};

} // namespace tv
