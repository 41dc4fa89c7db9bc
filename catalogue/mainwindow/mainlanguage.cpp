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
#include "platform/gui/msgbox.h"

#include <QActionGroup>
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
}

} // namespace tv
