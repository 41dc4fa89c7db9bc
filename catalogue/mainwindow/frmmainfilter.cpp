#include "frmmainfilter.h"
#include "frmlegend.h"

#include "catalogue/core/frminputbox.h"
#include "catalogue/core/moddatabase.h"
#include "catalogue/core/modlang.h"
#include "catalogue/core/modsettings.h"
#include "catalogue/images/imagelists.h"
#include "catalogue/reports/dbcombo.h"
#include "platform/gui/msgbox.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QToolBar>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace tv {

namespace {

const QString kRootKey = QStringLiteral("\\0\\");
constexpr int kKeyRole = Qt::UserRole;
constexpr int kTagRole = Qt::UserRole + 1;
constexpr int kNameLimit = 50;

// The extensions of the type tree in their order; the type codes of the first eleven are their
// positions, ".PDF" has 19; archives, pictures and texts are tagged by their group.
struct TypeNode {
    const char* ext;
    const char* image;
    const char* tag;
};
const TypeNode kTypeNodes[] = {
    {".ATR", "ATR", "1"}, {".COM", "COM", "2"}, {".EXE", "EXE", "3"}, {".CAS", "CAS", "4"},
    {".PRO", "PRO", "5"}, {".DCM", "DCM", "6"}, {".BAS", "BAS", "7"}, {".XFD", "XFD", "8"},
    {".BIN", "BIN", "9"}, {".ROM", "ROM", "10"}, {".XEX", "XEX", "11"},
    {".ZIP", "ZIP", "ZIP"}, {".RAR", "ZIP", "ZIP"}, {".7Z", "ZIP", "ZIP"}, {".CAB", "ZIP", "ZIP"},
    {".BMP", "GFX", "GFX"}, {".GIF", "GFX", "GFX"}, {".JPG", "GFX", "GFX"}, {".PNG", "GFX", "GFX"},
    {".TIFF", "GFX", "GFX"}, {".PDF", "PDF", "19"},
    {".TXT", "TXT", "TXT"}, {".NFO", "TXT", "TXT"}, {".DIZ", "TXT", "TXT"},
};

QString Meaning(const QString& symbol)
{
    for (const auto& [s, meaning] : CompareSymbols())
        if (s == symbol) return meaning;
    return QString();
}

bool IsTypeGroup(const QString& tag)
{
    return tag == QLatin1String("TXT") || tag == QLatin1String("ZIP") || tag == QLatin1String("GFX");
}

} // namespace

QString FilterPaneText(const QString& name)
{
    return name.size() >= 21 ? name.left(17) + QStringLiteral("...") : name;
}

QList<qint32> FilterPaneKeys(const FilterCollection& filters)
{
    QStringList names{QString()};
    QList<qint32> keys{0};
    for (const auto& entry : filters) {
        const QString text = FilterPaneText(entry.value->Name);
        const int row = FilterRowPosition(names, text);
        names.insert(row, text);
        keys.insert(row, entry.value->id);
    }
    return keys;
}

frmMainFilter::frmMainFilter(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmMainFilter"));
    setWindowTitle(QStringLiteral("Filter"));

    cboFilter = new QComboBox(this);
    cboFilter->setObjectName(QStringLiteral("cboFilter"));
    tbFilter = new QToolBar(this);
    tbFilter->setObjectName(QStringLiteral("tbFilter"));
    tbFilter->setIconSize(QSize(16, 16));
    // Picture-only buttons; the text is the tool tip, and follows the language with it.
    auto addButton = [this](const char* key, const char* text, const char* picture) {
        QAction* a = tbFilter->addAction(QIcon(QPixmap::fromImage(RenderImage(QLatin1String(picture), 16))),
                                         QString::fromUtf8(text));
        a->setObjectName(QString::fromUtf8(key));
        // These commands are in no menu: Tab reaches them, and Space runs them.
        tbFilter->widgetForAction(a)->setFocusPolicy(Qt::TabFocus);
        return a;
    };
    cmdNew = addButton("cmdNew", "Neue Selektion", "sel_new");
    cmdEdit = addButton("cmdEdit", "Selektion ändern", "sel_edit");
    cmdReset = addButton("cmdReset", "Selektion zurücksetzen", "sel_reset");
    cmdDelete = addButton("cmdDelete", "Selektion löschen", "sel_delete");
    cmdInfo = addButton("cmdInfo", "Info", "sel_info");

    cboFile = new DBCombo(this);
    cboFile->setObjectName(QStringLiteral("cboFile"));
    cboFile->setRecordSource(QStringLiteral("Select Distinct tFile,tFile from Mainfiles"));
    txtPath = new QLineEdit(this);
    txtPath->setObjectName(QStringLiteral("txtPath"));
    txtSize = new QLineEdit(this);
    txtSize->setObjectName(QStringLiteral("txtSize"));
    cboCategory = new DBCombo(this);
    cboCategory->setObjectName(QStringLiteral("cboCategory"));
    cboCategory->setRecordSource(QStringLiteral("Select Distinct ID,tCategory from Category"));
    cboCategory->setValueField(QStringLiteral("ID"));

    // Rows top to bottom: Dateiname (4), Dateipfad (0/2), Größe (2/3), Kategorie (5).
    struct Row {
        int label;
        const char* caption;
        QWidget* field;
        int button;
        const char* symbols;
    };
    const Row rows[] = {
        {4, "Dateiname", cboFile, 4, "( ),=,>,<,<>"},
        {0, "Dateipfad", txtPath, 2, "( ),=,>,<,<>"},
        {2, "Größe", txtSize, 3, "=,<,>,<>"},
        {5, "Kategorie", cboCategory, 5, "=,>,<,<>,( )"},
    };
    auto* grid = new QGridLayout;
    int r = 0;
    for (const Row& row : rows) {
        auto* label = new QLabel(QString::fromUtf8(row.caption), this);
        label->setObjectName(QStringLiteral("lblField%1").arg(row.label));
        lblField[row.label] = label;
        auto* button = new QPushButton(this);
        button->setObjectName(QStringLiteral("cmdCompare%1").arg(row.button));
        // The captions are symbols, no words: Tag keeps them out of the translation.
        button->setProperty("Tag", QString::fromUtf8(row.symbols));
        button->setFixedWidth(36);
        // Return belongs to "OK"; a compare button changes its condition by a click or Space.
        button->setAutoDefault(false);
        cmdCompare[row.button] = button;
        grid->addWidget(label, r, 0);
        grid->addWidget(row.field, r, 1);
        grid->addWidget(button, r, 2);
        const int index = row.button;
        connect(button, &QPushButton::clicked, this, [this, index] { cmdCompare_Click(index); });
        SetOperatorCaption(index, QStringLiteral("X"));
        ++r;
    }
    chkCompressed = new QCheckBox(QStringLiteral("Archiv-Dateien"), this);
    chkCompressed->setObjectName(QStringLiteral("chkCompressed"));
    grid->addWidget(chkCompressed, r, 1);

    treeFiles = new QTreeWidget(this);
    treeFiles->setObjectName(QStringLiteral("treeFiles"));
    treeFiles->header()->hide();

    cmdApply = new QPushButton(QStringLiteral("Übernehmen"), this);
    cmdApply->setObjectName(QStringLiteral("cmdApply"));
    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdExit = new QPushButton(QStringLiteral("Beenden"), this);
    cmdExit->setObjectName(QStringLiteral("cmdExit"));
    cmdApply->setAutoDefault(false);
    cmdOK->setAutoDefault(false);
    cmdExit->setAutoDefault(false);
    // Return in a field applies the selection and closes the window, as "OK" does (nothing
    // while there is nothing to apply).
    cmdOK->setDefault(true);

    auto* top = new QHBoxLayout;
    top->addWidget(cboFilter, 1);
    top->addWidget(tbFilter);
    auto* middle = new QHBoxLayout;
    middle->addLayout(grid, 3);
    middle->addWidget(treeFiles, 2);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdApply);
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdExit);
    auto* main = new QVBoxLayout(this);
    main->addLayout(top);
    main->addLayout(middle);
    main->addLayout(buttons);

    connect(cboFilter, &QComboBox::currentIndexChanged, this, [this] { LoadSelection(); });
    connect(cmdNew, &QAction::triggered, this, [this] { NewSelection(); });
    connect(cmdEdit, &QAction::triggered, this, [this] { RenameSelection(); });
    connect(cmdReset, &QAction::triggered, this, [this] { ResetControls(); });
    connect(cmdDelete, &QAction::triggered, this, [this] { DeleteSelection(); });
    connect(cmdInfo, &QAction::triggered, this, [this] { ShowLegend(this); });
    connect(txtPath, &QLineEdit::textChanged, this, [this](const QString& t) { FieldChanged(2, t); });
    connect(txtSize, &QLineEdit::textChanged, this, [this] { SizeChanged(); });
    cboFile->Change.connect([this](const Variant&) { FieldChanged(4, cboFile->Text()); });
    cboCategory->Change.connect([this](const Variant&) { FieldChanged(5, cboCategory->Text()); });
    connect(chkCompressed, &QCheckBox::clicked, this, [this] { SetChanged(true); });
    connect(treeFiles, &QTreeWidget::itemChanged, this, [this](QTreeWidgetItem* item) { TreeItemChanged(item); });
    connect(treeFiles, &QTreeWidget::itemDoubleClicked, this, [this] {
        if (QTreeWidgetItem* root = Root()) root->setExpanded(true);
    });
    connect(cmdApply, &QPushButton::clicked, this, [this] { Apply(); });
    connect(cmdOK, &QPushButton::clicked, this, [this] {
        if (Apply()) accept();
    });
    connect(cmdExit, &QPushButton::clicked, this, &QDialog::reject);

    LoadFormPos(this);
    TranslateForm(this, true, false);
    mLoaded = true;
    SetChanged(false);
}

frmMainFilter::~frmMainFilter() { unload(); }

void frmMainFilter::unload()
{
    if (!mLoaded) return;
    mLoaded = false;
    ResetLangContext();
    SaveFormPos(this);
}

void frmMainFilter::done(int result)
{
    unload();
    QDialog::done(result);
}

void frmMainFilter::InitForm()
{
    cboFile->setDataBase(goDB);
    cboCategory->setDataBase(goDB);
    BuildTypeTree();

    const QSignalBlocker block(cboFilter);
    cboFilter->clear();
    // The window opens on the selection in use; with none in use ("Filter aus") on no entry,
    // its fields empty, so that it does not look as if a selection applied.
    int selected = -1;
    if (!Filters || Filters->isEmpty()) {
        cboFilter->addItem(Translate(QStringLiteral("Neue Selektion")), -1);
        selected = 0;
    } else {
        for (const auto& entry : *Filters) {
            if (entry.value->id == FilterIndex) selected = cboFilter->count();
            cboFilter->addItem(Translate(entry.value->Name), entry.value->id);
        }
    }
    cboFilter->setCurrentIndex(selected);
    ColorNodes();
    LoadSelection();
    if (selected < 0) {
        ResetControls();
        SetChanged(false);
    }
}

void frmMainFilter::SetOperatorCaption(int index, const QString& caption)
{
    QPushButton* button = cmdCompare[index];
    button->setText(caption);
    button->setToolTip(Translate(Meaning(caption)));
    button->setStyleSheet(caption == QLatin1String("X") ? QString()
                                                         : QStringLiteral("background-color: rgb(128, 255, 255)"));
}

void frmMainFilter::cmdCompare_Click(int index)
{
    QPushButton* button = cmdCompare[index];
    const QStringList symbols = button->property("Tag").toString().split(QLatin1Char(','));
    const QString caption = button->text();
    QString next;
    if (caption == QLatin1String("X")) {
        next = symbols.first();
    } else {
        const int at = symbols.indexOf(caption);
        next = at >= 0 && at + 1 < symbols.size() ? symbols[at + 1] : QStringLiteral("X");
    }
    SetOperatorCaption(index, next);
    SetChanged(true);
}

void frmMainFilter::FieldChanged(int index, const QString& text)
{
    if (!text.isEmpty()) {
        if (cmdCompare[index]->text() == QLatin1String("X")) cmdCompare_Click(index);
    } else {
        SetOperatorCaption(index, QStringLiteral("X"));
    }
    SetChanged(true);
}

void frmMainFilter::SizeChanged()
{
    QString text = txtSize->text();
    if (!text.isEmpty()) {
        // Only the amount of the leading number counts: "-12 KB" is 12, "abc" is 0.
        static const QRegularExpression leading(QStringLiteral("^\\s*[-+]?(\\d+)"));
        const auto m = leading.match(text);
        QString digits = m.hasMatch() ? m.captured(1) : QString();
        digits.remove(QRegularExpression(QStringLiteral("^0+(?=\\d)")));
        const QString cleaned = digits.isEmpty() ? QStringLiteral("0") : digits;
        if (cleaned != text) {
            txtSize->setText(cleaned); // comes back here with the clean text
            return;
        }
    }
    FieldChanged(3, text);
}

QTreeWidgetItem* frmMainFilter::Root() const { return treeFiles->topLevelItem(0); }

void frmMainFilter::BuildTypeTree()
{
    mTreeBusy = true;
    treeFiles->clear();
    auto image = [this](const QString& key) { return TypeImage ? TypeImage(key) : QIcon(); };
    auto* root = new QTreeWidgetItem(treeFiles);
    root->setText(0, Translate(QStringLiteral("Dateiendung")));
    root->setData(0, kKeyRole, kRootKey);
    root->setIcon(0, image(QStringLiteral("FILES")));
    QFont bold = root->font(0);
    bold.setBold(true);
    root->setFont(0, bold);
    root->setFlags(root->flags() | Qt::ItemIsUserCheckable);
    root->setCheckState(0, Qt::Checked);
    int n = 1;
    for (const TypeNode& t : kTypeNodes) {
        auto* node = new QTreeWidgetItem(root);
        node->setText(0, QString::fromLatin1(t.ext));
        node->setData(0, kKeyRole, kRootKey + QString::number(n++) + QLatin1Char('\\'));
        node->setData(0, kTagRole, QString::fromLatin1(t.tag));
        node->setIcon(0, image(QString::fromLatin1(t.image)));
        node->setFlags(node->flags() | Qt::ItemIsUserCheckable);
        node->setCheckState(0, Qt::Checked);
    }
    root->setExpanded(true);
    mTreeBusy = false;
}

void frmMainFilter::TreeItemChanged(QTreeWidgetItem* item)
{
    if (mTreeBusy) return;
    mTreeBusy = true;
    QTreeWidgetItem* root = Root();
    if (item == root) {
        for (int i = 0; i < root->childCount(); ++i) root->child(i)->setCheckState(0, root->checkState(0));
    } else {
        root->setCheckState(0, Qt::Unchecked);
        ShowRootState();
    }
    mTreeBusy = false;
    ColorNodes();
    SetChanged(true);
}

void frmMainFilter::ShowRootState()
{
    QTreeWidgetItem* root = Root();
    if (!root || root->checkState(0) == Qt::Checked) return;
    bool some = false;
    for (int i = 0; i < root->childCount() && !some; ++i) some = root->child(i)->checkState(0) == Qt::Checked;
    const bool wasBusy = mTreeBusy;
    mTreeBusy = true;
    root->setCheckState(0, some ? Qt::PartiallyChecked : Qt::Unchecked);
    mTreeBusy = wasBusy;
}

void frmMainFilter::ColorNodes()
{
    QTreeWidgetItem* root = Root();
    if (!root) return;
    const bool all = root->checkState(0) == Qt::Checked;
    const bool wasBusy = mTreeBusy;
    mTreeBusy = true;
    for (int i = 0; i < root->childCount(); ++i) {
        QTreeWidgetItem* node = root->child(i);
        const bool marked = !all && node->checkState(0) == Qt::Checked;
        QFont f = node->font(0);
        f.setBold(marked);
        node->setFont(0, f);
        node->setForeground(0, marked ? QColor(255, 0, 0) : QColor(0, 0, 0));
    }
    mTreeBusy = wasBusy;
}

void frmMainFilter::SetChanged(bool changed)
{
    mChanged = changed;
    cmdOK->setEnabled(changed);
    cmdApply->setEnabled(changed);
}

void frmMainFilter::UpdateDeleteButton()
{
    cmdDelete->setEnabled(cboFilter->currentIndex() >= 0 && cboFilter->currentData().toInt() != -1);
}

void frmMainFilter::ResetControls()
{
    chkCompressed->setChecked(false);
    // Every button goes to "X": a field that is empty already sends no change that would.
    for (int i = 2; i <= 5; ++i) SetOperatorCaption(i, QStringLiteral("X"));
    cboFile->setValue(Variant::null());
    cboCategory->setValue(Variant::null());
    txtPath->clear();
    txtSize->clear();
    mTreeBusy = true;
    QTreeWidgetItem* root = Root();
    if (root) {
        root->setCheckState(0, Qt::Checked);
        for (int i = 0; i < root->childCount(); ++i) root->child(i)->setCheckState(0, Qt::Checked);
    }
    mTreeBusy = false;
    ColorNodes();
    SetChanged(true);
}

void frmMainFilter::LoadSelection()
{
    UpdateDeleteButton();
    if (cboFilter->currentIndex() < 0) return;
    const int key = cboFilter->currentData().toInt();
    if (key == -1) {
        ColorNodes();
        SetChanged(true);
        return;
    }
    ResetControls();
    mCurrent = Filters ? Filters->item(QString::number(key)) ? *Filters->item(QString::number(key)) : nullptr : nullptr;
    QTreeWidgetItem* root = Root();
    mTreeBusy = true;
    root->setCheckState(0, Qt::Unchecked);
    for (int i = 0; i < root->childCount(); ++i) root->child(i)->setCheckState(0, Qt::Unchecked);
    bool namedType = false;
    auto checkNode = [&](auto match) {
        for (int i = 0; i < root->childCount(); ++i)
            if (match(root->child(i))) {
                root->child(i)->setCheckState(0, Qt::Checked);
                return;
            }
    };
    if (mCurrent) {
        for (const auto& entry : mCurrent->Conditions) {
            const clsFilterDef& c = *entry.value;
            const QString field = c.Field.toUpper();
            int button = 0;
            if (field == QLatin1String("CATEGORY_ID")) {
                bool number = false;
                const int id = c.Value.toInt(&number);
                cboCategory->setValue(number ? Variant(id) : Variant(c.Value));
                button = 5;
            } else if (field == QLatin1String("C.TCATEGORY")) {
                cboCategory->setValue(QStringLiteral("@") + c.Value);
                button = 5;
            } else if (field == QLatin1String("LSIZE")) {
                txtSize->setText(c.Value);
                button = 3;
            } else if (field == QLatin1String("TFILE")) {
                cboFile->setValue(c.Value.isEmpty() ? Variant::null() : Variant(QStringLiteral("@") + c.Value));
                button = 4;
            } else if (field == QLatin1String("TPATH")) {
                txtPath->setText(c.Value);
                button = 2;
            } else if (field == QLatin1String("TUNPACKPATH")) {
                chkCompressed->setChecked(true);
            } else if (field == QLatin1String("IFILETYPE")) {
                namedType = true;
                checkNode([&](QTreeWidgetItem* n) { return n->data(0, kTagRole).toString() == c.Value; });
            } else if (field == QLatin1String("TYPE")) {
                namedType = true;
                const QString text = QStringLiteral(".") + c.Value;
                checkNode([&](QTreeWidgetItem* n) { return n->text(0) == text; });
            }
            if (button) SetOperatorCaption(button, c.Compare);
        }
    }
    if (!namedType) {
        root->setCheckState(0, Qt::Checked);
        for (int i = 0; i < root->childCount(); ++i) root->child(i)->setCheckState(0, Qt::Checked);
    }
    ShowRootState();
    mTreeBusy = false;
    ColorNodes();
    SetChanged(key != FilterIndex);
}

bool frmMainFilter::Apply()
{
    if (!mChanged || !Filters) return true;
    if (cboFilter->currentIndex() < 0) {
        // Fields filled with no selection chosen: they are kept as a new one, not dropped.
        const QString name = AskNewName();
        if (name.isEmpty()) return false;
        const QSignalBlocker keepFields(cboFilter);
        cboFilter->addItem(name, -1);
        cboFilter->setCurrentIndex(cboFilter->count() - 1);
    }
    const int key = cboFilter->currentData().toInt();
    if (key != -1 && mCurrent) {
        FilterIndex = mCurrent->id;
        mCurrent->Conditions.clear();
    } else {
        qint32 highest = 0;
        for (const auto& entry : *Filters) highest = std::max(highest, entry.value->id);
        FilterIndex = highest;
        mCurrent = AddSelection(*Filters, cboFilter->currentText(), highest + 1);
        if (!mCurrent) return true;
        cboFilter->setItemData(cboFilter->currentIndex(), mCurrent->id);
        UpdateDeleteButton();
    }
    clsFilter& s = *mCurrent;
    if (chkCompressed->isChecked())
        s.Add(QStringLiteral("tUnpackPath"), QStringLiteral("<>"), QString(), QString());
    AddFilterCondition(s, QStringLiteral("tFile"), cmdCompare[4]->text(), cboFile->Text(), QString(),
                       QString(), QString());
    // A category number is only compared with = and <>; the text operators take the name.
    const QString categoryCompare = cmdCompare[5]->text();
    QString categoryValue = cboCategory->Value().toString();
    if (!categoryValue.isEmpty() && categoryCompare != QLatin1String("=") && categoryCompare != QLatin1String("<>"))
        categoryValue = QLatin1Char('@') + categoryValue;
    AddFilterCondition(s, QStringLiteral("Category_ID"), categoryCompare, categoryValue, QString(),
                       QStringLiteral("C.TCATEGORY"), cboCategory->Text());
    AddFilterCondition(s, QStringLiteral("tPath"), cmdCompare[2]->text(), txtPath->text(), QString(), QString(),
                       QString());
    AddFilterCondition(s, QStringLiteral("lSize"), cmdCompare[3]->text(), txtSize->text(), QString(), QString(),
                       QString());
    QTreeWidgetItem* root = Root();
    if (root && root->checkState(0) != Qt::Checked) {
        QString join;
        for (int i = 0; i < root->childCount(); ++i) {
            QTreeWidgetItem* node = root->child(i);
            if (node->checkState(0) != Qt::Checked) continue;
            const QString tag = node->data(0, kTagRole).toString();
            if (IsTypeGroup(tag))
                AddFilterCondition(s, QStringLiteral("Type"), QStringLiteral("="), node->text(0).mid(1), join,
                                   QString(), QString());
            else
                AddFilterCondition(s, QStringLiteral("iFileType"), QStringLiteral("="), tag, join, QString(),
                                   QString());
            join = QStringLiteral("Or");
        }
    }
    FilterIndex = s.id;
    if (Host.CreateFilter) Host.CreateFilter(s.id);
    SetChanged(false);
    return true;
}

QString frmMainFilter::AskNewName()
{
    const QString title = Translate(QStringLiteral("Neue Selektion"));
    const QString prompt = Translate(QStringLiteral("Bitte geben Sie eine Filter-Bezeichnung an:"));
    for (;;) {
        const QString name = SelectionName(InputText(prompt, title), kNameLimit);
        if (name.isEmpty()) return name;
        bool exists = false;
        for (int i = 0; i < cboFilter->count() && !exists; ++i) exists = cboFilter->itemText(i) == name;
        if (!exists) return name;
        MsgBox(Translate(QStringLiteral("Dieser Name besteht schon!")), vbInformation, title, this);
    }
}

void frmMainFilter::NewSelection()
{
    const QString name = AskNewName();
    if (name.isEmpty()) return;
    cboFilter->addItem(name, -1);
    cboFilter->setCurrentIndex(cboFilter->count() - 1);
}

void frmMainFilter::RenameSelection()
{
    const int index = cboFilter->currentIndex();
    if (index < 0) return;
    const QString old = cboFilter->currentText();
    const QString name = SelectionName(InputText(Translate(QStringLiteral("Selektion ändern:")), QStringLiteral("Filter"), old),
                                       kNameLimit);
    if (name.isEmpty() || name == old) return;
    for (int i = 0; i < cboFilter->count(); ++i) {
        if (i != index && cboFilter->itemText(i) == name) {
            MsgBox(Translate(QStringLiteral("Dieser Name besteht schon!")), vbInformation,
                   Translate(QStringLiteral("Selektion ändern")), this);
            return;
        }
    }
    cboFilter->setItemText(index, name);
    const int key = cboFilter->itemData(index).toInt();
    if (key == -1 || !Filters) return;
    if (FilterPtr* s = Filters->item(QString::number(key))) {
        (*s)->Name = name;
        if (Host.RenameFilter) Host.RenameFilter(key, FilterPaneText(name));
    }
}

void frmMainFilter::DeleteSelection()
{
    const int index = cboFilter->currentIndex();
    if (index < 0 || !Filters) return;
    const int key = cboFilter->itemData(index).toInt();
    if (key == -1) return;
    Filters->remove(QString::number(key));
    if (key == FilterIndex) FilterIndex = 0;
    if (mCurrent && mCurrent->id == key) mCurrent.reset();
    if (Host.RemoveFilter) Host.RemoveFilter(key);
    {
        const QSignalBlocker block(cboFilter);
        cboFilter->removeItem(index);
        if (cboFilter->count() == 0) cboFilter->addItem(Translate(QStringLiteral("Neue Selektion")), -1);
        cboFilter->setCurrentIndex(-1);
    }
    cboFilter->setCurrentIndex(cboFilter->count() - 1);
    UpdateDeleteButton();
}

} // namespace tv
