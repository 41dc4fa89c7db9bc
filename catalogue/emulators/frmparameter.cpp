#include "frmparameter.h"

#include "catalogue/core/formlayout.h"
#include "catalogue/core/modglobals.h"
#include "catalogue/core/modlang.h"
#include "catalogue/core/modsettings.h"
#include "catalogue/emulators/editorhelpers.h"
#include "platform/gui/msgbox.h"
#include "platform/system/textfile.h"

#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QPushButton>
#include <QStyle>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <utility>

namespace tv {

QString gtLastParamPath;

namespace {
constexpr int kTagRole = Qt::UserRole;       // the parameter of a level-3 node
constexpr int kKeyRole = Qt::UserRole + 1;   // the node key ("\0\n\i\")
}

frmParameter::frmParameter(QWidget* parent)
    : QDialog(parent),
      treeParams(new QTreeWidget(this)),
      cmdOk(new QPushButton(QStringLiteral("OK"), this)),
      cmdCancel(new QPushButton(QStringLiteral("Abbrechen"), this))
{
    setObjectName(QStringLiteral("frmParameter"));
    setWindowTitle(QStringLiteral("Parameter"));
    treeParams->setHeaderHidden(true);
    treeParams->setMinimumSize(420, 320);
    cmdOk->setDefault(true);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(treeParams);
    auto* buttons = ButtonRow({cmdOk, cmdCancel});
    layout->addLayout(buttons);

    connect(treeParams, &QTreeWidget::itemClicked, this, [this] { treeParams_Click(); });
    connect(treeParams, &QTreeWidget::currentItemChanged, this, [this] { treeParams_Click(); });
    connect(treeParams, &QTreeWidget::itemDoubleClicked, this, [this] {
        if (IsParameter(treeParams->currentItem())) cmdOk_Click();
    });
    connect(cmdOk, &QPushButton::clicked, this, [this] { cmdOk_Click(); });
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
}

QString frmParameter::FullPath(const QTreeWidgetItem* node)
{
    QStringList parts;
    for (; node; node = node->parent()) parts.prepend(node->text(0));
    return parts.join(QLatin1Char('\\'));
}

bool frmParameter::IsParameter(const QTreeWidgetItem* node)
{
    // The level is the number of key parts minus 2: "\0\n\i\" splits into 5 parts.
    return node && node->data(0, kKeyRole).toString().split(QLatin1Char('\\')).size() - 2 == 3;
}

void frmParameter::Form_Load()
{
    LoadFormPos(this);
    TranslateForm(this, true, false);
    cmdOk->setEnabled(false);
    treeParams->clear();

    auto* root = new CaptionItem(treeParams, {EmulatorsRootText()});
    root->setData(0, kKeyRole, QStringLiteral("\\0\\"));
    root->setIcon(0, style()->standardIcon(QStyle::SP_DirIcon));
    root->setExpanded(true);

    const QDir dir(gtLangPath);
    const QStringList files = dir.entryList({QStringLiteral("*.prm")}, QDir::Files, QDir::Name);
    int n = 0;
    QTreeWidgetItem* selected = nullptr;
    for (const QString& f : files) {
        QString text, error;
        if (!ReadTextFile(dir.filePath(f), text, &error)) {
            // The nodes read so far stay; the window opens with them.
            MsgBox(Translate(QStringLiteral("Fehler beim Einlesen der Sprachdatei: '@1'"), f) + error, vbOKOnly,
                   {}, this);
            break;
        }
        if (text.isEmpty()) {
            MsgBox(Translate(QStringLiteral("Fehler beim Einlesen der Sprachdatei: ")) + f, vbOKOnly, {}, this);
            continue;
        }
        // Lines end in CR LF; a file edited here may end its lines in LF alone.
        const QStringList lines = text.split(QLatin1Char('\n'));
        ++n;
        const QString emuKey = QStringLiteral("\\0\\%1\\").arg(n);
        auto* emu = new CaptionItem(root, {QFileInfo(f).completeBaseName()});
        emu->setData(0, kKeyRole, emuKey);
        emu->setIcon(0, style()->standardIcon(QStyle::SP_ComputerIcon));
        for (int i = 0; i < lines.size(); ++i) {
            QString line = lines[i];
            if (line.endsWith(QLatin1Char('\r'))) line.chop(1);
            const QStringList parts = line.split(QStringLiteral("@@"));
            if (parts.size() != 2) continue;
            // The descriptions are German texts of the program like any other.
            auto* node = new CaptionItem(emu, {Translate(parts[1]) + QStringLiteral(" - ") + parts[0]});
            node->setData(0, kKeyRole, emuKey + QString::number(i) + QLatin1Char('\\'));
            node->setData(0, kTagRole, parts[0]);
            node->setIcon(0, style()->standardIcon(QStyle::SP_FileIcon));
            if (!selected && FullPath(node) == gtLastParamPath) selected = node;
        }
        emu->sortChildren(0, Qt::AscendingOrder);
    }
    root->sortChildren(0, Qt::AscendingOrder);
    root->setExpanded(true);
    if (selected) {
        // Scrolling now would measure the tree before the window has its size; the row would
        // end up at an edge or out of sight. It is scrolled to when the window shows.
        treeParams->setCurrentItem(selected);
    } else {
        treeParams->setCurrentItem(nullptr);
    }
    scrollOnShow_ = selected != nullptr;
    treeParams_Click();
    Parameter.clear();
    loaded_ = true;
}

void frmParameter::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!std::exchange(scrollOnShow_, false)) return;
    if (QTreeWidgetItem* node = treeParams->currentItem())
        treeParams->scrollToItem(node, QAbstractItemView::PositionAtCenter);
}

void frmParameter::treeParams_Click()
{
    cmdOk->setEnabled(IsParameter(treeParams->currentItem()));
}

void frmParameter::cmdOk_Click()
{
    if (const QTreeWidgetItem* node = treeParams->currentItem(); IsParameter(node))
        Parameter = FileParameter(node->data(0, kTagRole).toString());
    accept();
}

void frmParameter::done(int result)
{
    if (loaded_) {
        loaded_ = false;
        ResetLangContext();
        SaveFormPos(this);
        if (const QTreeWidgetItem* node = treeParams->currentItem()) gtLastParamPath = FullPath(node);
    }
    QDialog::done(result);
}

QString FileParameter(const QString& parameter)
{
    // The file's path may hold blanks: between double quotes it stays one argument. A
    // parameter file that quotes "<image>" itself keeps its quotes.
    QString out;
    qsizetype from = 0;
    const QLatin1String image("<image>");
    for (qsizetype at; (at = parameter.indexOf(image, from)) >= 0; from = at + image.size()) {
        const bool quoted = at > 0 && parameter.at(at - 1) == QLatin1Char('"');
        out += parameter.mid(from, at - from)
               + (quoted ? QStringLiteral("<$Filepath$>") : QStringLiteral("\"<$Filepath$>\""));
    }
    return out + parameter.mid(from);
}

QString PickParameter(QWidget* owner)
{
    frmParameter form(owner);
    form.Form_Load();
    form.exec();
    return form.Parameter;
}

} // namespace tv
