#pragma once

#include "platform/component/event.h"

#include <QWidget>
#include <memory>

namespace vantile {
class ListView;
}

namespace tv {

class ImageList;

// One pane of the main window's side frame: a titled one-column list whose rows carry a
// hidden key ("Key") and image key ("Typ"). Choosing a row raises RowChosen with its key.
class SidePane : public QWidget {
    Q_OBJECT
public:
    SidePane(const QString& name, const QString& title, QWidget* parent = nullptr);

    // The pictures of the rows; image keys given before are looked up now.
    void setImages(std::shared_ptr<ImageList> images);
    // Adds a row at `position` (-1: at the end); its picture is the image of `imageKey`.
    void AddRow(const QString& text, qint32 key, const QString& imageKey = QString(), int position = -1);
    void RemoveRow(int row);
    // The row with that key, -1 for none.
    int FindKey(qint32 key) const;
    int RowCount() const;
    // The current row, -1 for none; setting it does not raise RowChosen.
    int CurrentRow() const;
    void SetCurrentRow(int row);
    qint32 Key(int row) const;
    void SetText(int row, const QString& text);
    // The pane's heading, translated now: the pane is made before the language is read.
    void TranslateTitle();
    QString Text(int row) const;
    vantile::ListView* list() const { return list_; }

    Event<qint32 /*Key*/> RowChosen;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    vantile::ListView* list_;
    QString title_; // the German heading
    std::shared_ptr<ImageList> images_;
    bool setting_ = false;
};

} // namespace tv
