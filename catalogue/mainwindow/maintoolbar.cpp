// The main window's toolbar and its pictures: the image lists the window owns and lends to
// its panes, lists, tree and the windows it opens.
#include "frmmain.h"
#include "sidepane.h"

#include "catalogue/images/imagelists.h"
#include "catalogue/reports/reportview.h"
#include "catalogue/reports/simplereport.h"
#include "catalogue/tree/usertree.h"
#include "platform/gui/imagelist.h"

#include <QCoreApplication>
#include <QCursor>
#include <QMenu>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

namespace tv {

namespace {

struct ToolbarButton {
    const char* key;
    const char* caption;
    const char* image;
    const char* toolTip;
};

// In the order they stand; the tool tip, where it is not the caption, is the button's own text
// to translate.
constexpr ToolbarButton kButtons[] = {
    {"NewDB", "Neu", "tb_NewDB", "Neue Datenbank"},
    {"OpenDB", "Öffnen", "tb_OpenDB", "Datenbank öffnen"},
    {"AddFile", "Datei", "tb_AddFile", "Datei importieren"},
    {"AddDir", "Ordner", "tb_AddDir", "Ordner importieren"},
    {"Filter", "Filter", "tb_View", "Selektion erstellen"},
    {"Start", "Starten", "tb_Start", "File starten"},
    {"Edit", "Details", "tb_Edit", "Eigenschaften"},
    {"Del", "Löschen", "tb_Del", "Löschen"},
    {"Options", "Optionen", "tb_Options", "Optionen"},
    {"Exit", "Beenden", "tb_Exit", "Beenden"},
};

} // namespace

void frmMain::BuildToolbar()
{
    imgToolbar_ = MakeToolbarImages();
    tlbMain_ = addToolBar(QStringLiteral("tlbMain"));
    tlbMain_->setObjectName(QStringLiteral("tlbMain"));
    tlbMain_->setMovable(false);
    tlbMain_->setStyleSheet(QStringLiteral("QToolBar { background: white; }"));
    tlbMain_->setIconSize(QSize(imgToolbar_->ImageWidth, imgToolbar_->ImageHeight));
    tlbMain_->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);

    const std::function<void()> commands[] = {
        [this] { NewDB(); },
        [this] { mnuOpenDB_Click(); },
        [this] { mnuAddFile_Click(); },
        [this] { mnuAddDir_Click(); },
        [this] { mnuFilter_Click(); },
        [this] { StartFile(); },
        [this] { EditSelected(); },
        [this] { mnuDel_Click(); },
        [this] { mnuOption_Click(); },
        [this] { close(); },
    };
    QHash<QString, QAction*> buttons;
    for (size_t i = 0; i < std::size(kButtons); ++i) {
        const ToolbarButton& b = kButtons[i];
        const QString caption = QString::fromUtf8(b.caption);
        const QString toolTip = QString::fromUtf8(b.toolTip);
        QAction* button = tlbMain_->addAction(ImageIcon(*imgToolbar_, QLatin1String(b.image)), caption);
        button->setObjectName(QStringLiteral("tb") + QLatin1String(b.key));
        // A tool tip equal to the caption is left to follow the caption when it is translated.
        if (toolTip != caption) button->setToolTip(toolTip);
        connect(button, &QAction::triggered, this, [command = commands[i]] { command(); });
        buttons.insert(QLatin1String(b.key), button);
    }
    // The import and selection buttons wait for a catalogue, as their menu items do; start,
    // details and delete follow the selection (UpdateActions).
    catalogueCommands_ << buttons.value(QStringLiteral("AddFile")) << buttons.value(QStringLiteral("AddDir"))
                       << buttons.value(QStringLiteral("Filter"));
    writeCommands_ << buttons.value(QStringLiteral("AddFile")) << buttons.value(QStringLiteral("AddDir"));
    tbStart_ = buttons.value(QStringLiteral("Start"));
    tbEdit_ = buttons.value(QStringLiteral("Edit"));
    tbDel_ = buttons.value(QStringLiteral("Del"));

    // Drop-downs: recent catalogues, recent import folders (twice) and the start profiles.
    auto dropDown = [this, &buttons](const char* key, std::function<void(const QString&)> open) {
        auto* menu = new QMenu(this);
        // The entry's command runs once the drop-down has closed and its button is up again,
        // not under a button drawn pressed (opening a catalogue may ask for its password).
        connect(menu, &QMenu::triggered, this, [this, open = std::move(open)](QAction* entry) {
            QTimer::singleShot(0, this, [open, chosen = entry->data().toString()] { open(chosen); });
        });
        if (auto* tool = qobject_cast<QToolButton*>(tlbMain_->widgetForAction(buttons.value(QLatin1String(key))))) {
            tool->setMenu(menu);
            tool->setPopupMode(QToolButton::MenuButtonPopup);
            // While the drop-down is open it has the mouse: the button hears nothing of a
            // pointer that left it, and would stay drawn hovered (raised, as if pressed)
            // after a click elsewhere closed the drop-down.
            connect(menu, &QMenu::aboutToHide, tool, [tool] {
                QTimer::singleShot(0, tool, [tool] {
                    if (tool->rect().contains(tool->mapFromGlobal(QCursor::pos()))) return;
                    tool->setAttribute(Qt::WA_UnderMouse, false);
                    QEvent leave(QEvent::Leave);
                    QCoreApplication::sendEvent(tool, &leave);
                    tool->update();
                });
            });
        }
        return menu;
    };
    recentDatabases_ = dropDown("OpenDB", [this](const QString& path) { OpenDatabaseFile(path); });
    recentFiles_ = dropDown("AddFile", [this](const QString& path) { AddFiles(path, false); });
    recentFolders_ = dropDown("AddDir", [this](const QString& path) { AddFiles(path, true); });
    startDropDown_ = dropDown("Start", [this](const QString& key) { StartEntry(key); });
    tlbMain_->setVisible(mSettings.ShowToolbar);
}

void frmMain::SetupImages()
{
    imgMain_ = MakeMainImages();
    // Pane rows name their pictures by key; the panes look the numbers up in the list.
    lvViews_->setImages(imgMain_);
    lvFilter_->setImages(imgMain_);
    lstMain_->setImages(imgMain_);
    lstMainFiles_->setImages(imgMain_);
    treeMain_->setStandardIcons(imgMain_);
}

QIcon frmMain::TypeIcon(const QString& key) const { return ImageIcon(*imgMain_, key); }

} // namespace tv
