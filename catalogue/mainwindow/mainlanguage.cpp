// The main window's language: the language menu and applying a translation file.
#include "frmmain.h"
#include "columnstate.h"
#include "previewpane.h"
#include "sidepane.h"
#include "viewsql.h"

#include "catalogue/core/modfiles.h"
#include "catalogue/core/modlang.h"
#include "catalogue/core/modmain.h"
#include "catalogue/emulators/modemulator.h"
#include "catalogue/reports/frmcolumnheader.h"
#include "catalogue/reports/reportview.h"
#include "catalogue/reports/simplereport.h"
#include "catalogue/tree/ctreeitem.h"
#include "catalogue/tree/usertree.h"
#include "platform/gui/msgbox.h"

#include <QActionGroup>
#include <QApplication>
#include <QDir>
#include <QMenu>
#include <QPointer>

namespace tv {

void frmMain::BuildLanguageMenu(QMenu* view)
{
    mnuLanguage_ = view->addMenu(QStringLiteral("Sprache"));
    mnuLanguage_->setObjectName(QStringLiteral("mnuLanguage"));
    auto* group = new QActionGroup(mnuLanguage_);
    LanguageFiles = {QString()};
    const QStringList files = QDir(gtLangPath).entryList({QStringLiteral("*.lng")}, QDir::Files, QDir::Name);
    QStringList captions = {QStringLiteral("Deutsch")};
    for (const QString& file : files) {
        LanguageFiles << file;
        QString caption = file.left(file.size() - 4);
        const QPair<const char*, const char*> german[] = {
            {"English", "Englisch"}, {"French", "Französisch"}, {"Italian", "Italienisch"}, {"Spanish", "Spanisch"}};
        for (const auto& [english, name] : german)
            if (caption == QLatin1String(english)) caption = QString::fromUtf8(name);
        captions << caption;
    }
    for (int i = 0; i < captions.size(); ++i) {
        QAction* item = mnuLanguage_->addAction(captions[i]);
        item->setObjectName(QStringLiteral("mnuLang"));
        item->setCheckable(true);
        item->setChecked(LanguageFiles[i].compare(gtLanguageFile, Qt::CaseInsensitive) == 0);
        group->addAction(item);
        connect(item, &QAction::triggered, this, [this, i] { mnuLang_Click(i); });
    }
    view->addSeparator();
}

void frmMain::ApplyLanguage()
{
    if (!gtLanguageFile.isEmpty() && !FileExists(gtLangPath + gtLanguageFile)) {
        MsgBox(Translate(QStringLiteral("Ungültiger Pfad der Sprachdatei: ")) + gtLangPath + gtLanguageFile,
               vbExclamation | vbOKOnly, kAppTitle);
        gtLanguageFile.clear();
    }
    if (!LoadLanguage()) gtLanguageFile.clear();
    ApplyQtTranslations();
    TranslateEmulTypeNames();
    SetColumnCaptions();
    // The column-layout dialog knows the category column by its caption in this language, and
    // adds it by having this window build its view again with the column.
    SetColumnHeaderHost({gtCategoryCaption, [window = QPointer<frmMain>(this)] {
                             bool showCategory = true;
                             if (window) window->BuildView(0, showCategory, true);
                         }});
    TranslateForm(this, false, false);
    TranslatePanes();
    // The preview's headers are made in the language of the moment: made again.
    preview_->ClearPreview();
    UpdatePreview();
    const QList<QAction*> items = mnuLanguage_->actions();
    for (int i = 0; i < items.size() && i < LanguageFiles.size(); ++i)
        items[i]->setChecked(LanguageFiles[i].compare(gtLanguageFile, Qt::CaseInsensitive) == 0);
}

// The pane rows are no controls of their own: their texts are set from the German ones.
void frmMain::TranslatePanes()
{
    const char* views[] = {"Dateien", "Neue Dateien", "Kategorien", "Verlauf"};
    for (int i = 0; i < 4; ++i) lvViews_->SetText(i, Translate(QString::fromUtf8(views[i])));
    lvFilter_->SetText(0, Translate(QStringLiteral("Filter aus")));
    for (SidePane* pane : {lvViews_, lvStart_, lvFilter_}) pane->TranslateTitle();
}

void frmMain::mnuLang_Click(int index)
{
    if (index < 0 || index >= LanguageFiles.size()) return;
    if (LanguageFiles[index].compare(gtLanguageFile, Qt::CaseInsensitive) == 0) return;
    // The German texts come back first, so that the new file finds its source texts.
    if (!gtLanguageFile.isEmpty()) TranslateForm(this, false, true);
    // The view is built again below: the chosen tree row and file are chosen again after it,
    // and tree or list keeps the keys and the commands.
    const bool drillDown = ViewMode() == kViewCategories || ViewMode() == kViewHistory;
    const qint32 selectedFile = std::abs(SelectedFileID());
    const bool treeFocused = TreeFocused;
    const QPointer<QWidget> focused = QApplication::focusWidget();
    QString treeKey;
    int treeLevel = 0;
    if (const auto item = drillDown ? treeMain_->SelectedItem() : nullptr) {
        treeKey = item->Key;
        treeLevel = item->Level;
    }
    // The list columns are keyed by their captions: what is kept of them moves to the new ones.
    GetListLayout();
    const QStringList oldKeys = ViewColumnKeys();
    gtLanguageFile = LanguageFiles[index];
    ApplyLanguage();
    const QStringList newKeys = ViewColumnKeys();
    ColumnKeyRenames renames;
    for (int i = 0; i < oldKeys.size() && i < newKeys.size(); ++i)
        if (oldKeys[i] != newKeys[i]) renames.insert(oldKeys[i], newKeys[i]);
    for (QString& layout : mSettings.ListLayouts) layout = RenameLayoutKeys(layout, renames);
    MainListColumns = RenameFieldList(MainListColumns, renames);
    // The shown list's columns still carry the old keys until the view is built again.
    PendingKeyRenames = renames;
    ShowInfo(QString());
    BuildView(ViewMode());
    PendingKeyRenames.clear();
    if (drillDown && treeLevel > 0) treeMain_->SelectItem(treeKey, treeLevel);
    if (selectedFile != 0) {
        if (drillDown) lstMain_->Find(Variant(QStringLiteral("ID")), Variant(selectedFile));
        else lstMainFiles_->Find(Variant(QStringLiteral("ID")), Variant(selectedFile));
    }
    if (focused) focused->setFocus();
    TreeFocused = treeFocused;
    // A file chosen in the drill-down list was what the commands acted on: so it stays.
    UpdateActions(drillDown && selectedFile != 0 ? QStringLiteral("lstMain") : QString());
}

} // namespace tv
