#include "searchpane.h"
#include "searchtext.h"

#include "platform/gui/systimer.h"

#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>

namespace tv {

SearchPane::SearchPane(QWidget* parent) : QWidget(parent), timer_(std::make_unique<SysTimer>())
{
    setObjectName(QStringLiteral("lvSearch"));
    timer_->setInterval(kPauseMs);
    timer_->Timer.connect([this] { SearchRequested.raise(); });

    auto* layout = new QGridLayout(this);
    layout->setContentsMargins(4, 2, 4, 4);
    layout->setVerticalSpacing(3);
    title_ = new QLabel(QStringLiteral("Suchen"), this);
    title_->setObjectName(QStringLiteral("lblSearch"));
    QFont bold = title_->font();
    bold.setBold(true);
    title_->setFont(bold);
    stop_ = new QPushButton(this);
    stop_->setObjectName(QStringLiteral("cmdStopSearch"));
    stop_->setIcon(style()->standardIcon(QStyle::SP_DialogCloseButton));
    stop_->setToolTip(QStringLiteral("Suche beenden"));
    stop_->setFlat(true);
    stop_->setEnabled(false);
    connect(stop_, &QPushButton::clicked, this, [this] { StopRequested.raise(); });
    layout->addWidget(title_, 0, 0);
    layout->addWidget(stop_, 0, 1, Qt::AlignRight);

    const char* captions[kBoxes] = {nullptr, "Datei", "Dateipfad"};
    for (int i = 0; i < kBoxes; ++i) {
        auto* box = new QComboBox(this);
        box->setObjectName(QStringLiteral("cboSearch%1").arg(i));
        box->setEditable(true);
        // The history is kept here, newest first; Enter adds nothing by itself.
        box->setInsertPolicy(QComboBox::NoInsert);
        // The text typed is the search: an editable box would otherwise complete it from the
        // history ("p" becoming "pic").
        box->setCompleter(nullptr);
        box->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        box->setMinimumContentsLength(6);
        box->setEnabled(false);
        boxes_[i] = box;
        box->lineEdit()->installEventFilter(this);
        connect(box, &QComboBox::editTextChanged, this, [this, i] {
            chosen_[i] = false;
            RestartTimer();
        });
        connect(box, &QComboBox::textActivated, this, [this, i](const QString& text) {
            // Enter on a text the list holds activates it too; only a pick from the list counts
            // as chosen.
            chosen_[i] = History(i).contains(text);
            SearchRequested.raise();
        });
        if (!captions[i]) {
            box->hide();
            continue;
        }
        auto* label = new QLabel(QString::fromUtf8(captions[i]), this);
        label->setObjectName(QStringLiteral("lblSearch%1").arg(i));
        layout->addWidget(label, i * 2 - 1, 0, 1, 2);
        layout->addWidget(box, i * 2, 0, 1, 2);
    }
    layout->setRowStretch(2 * kBoxes, 1);
}

SearchPane::~SearchPane() = default;

void SearchPane::RestartTimer()
{
    timer_->setEnabled(false);
    timer_->setEnabled(true);
}

bool SearchPane::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            SearchRequested.raise();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

QStringList SearchPane::Texts() const
{
    QStringList texts;
    for (const QComboBox* box : boxes_) texts << box->currentText();
    return texts;
}

bool SearchPane::HasSearchText() const { return tv::HasSearchText(Texts()); }

void SearchPane::EnableSearch(bool enabled)
{
    for (QComboBox* box : boxes_) box->setEnabled(enabled);
}

bool SearchPane::SearchEnabled() const { return boxes_[0]->isEnabled(); }

void SearchPane::ResetSearch()
{
    // Disabled while emptied, so that no box reacts to its own change; the last box is emptied
    // with the state restored.
    const bool enabled = SearchEnabled();
    EnableSearch(false);
    for (int i = 0; i < kBoxes; ++i) {
        if (i == kBoxes - 1) EnableSearch(enabled);
        boxes_[i]->setCurrentIndex(-1);
        boxes_[i]->setEditText(QString());
    }
}

void SearchPane::AddHistory()
{
    for (int i = 0; i < kBoxes; ++i) {
        QComboBox* box = boxes_[i];
        QStringList history = History(i);
        const QString text = box->currentText();
        if (!AddSearchHistory(history, text, chosen_[i])) continue;
        // Inserting into the list must not replace the typed text.
        const QSignalBlocker block(box);
        box->insertItem(0, text);
        box->setCurrentIndex(0);
        box->setEditText(text);
    }
}

QStringList SearchPane::History(int index) const
{
    QStringList items;
    const QComboBox* box = boxes_[index];
    for (int i = 0; i < box->count(); ++i) items << box->itemText(i);
    return items;
}

} // namespace tv
