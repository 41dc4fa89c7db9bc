#include "modlang.h"

#include "modglobals.h"
#include "modmain.h"
#include "modsettings.h"
#include "platform/gui/msgbox.h"
#include "platform/runtime/collection.h"
#include "platform/runtime/format.h"
#include "platform/system/files.h"
#include "platform/system/textfile.h"

#include <QAbstractButton>
#include <QAction>
#include <QCheckBox>
#include <QGroupBox>
#include <QHash>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QSet>
#include <QTabBar>
#include <QTabWidget>
#include <QToolBar>
#include <QToolButton>
#include <memory>
#include <vector>

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace tv {

namespace {

const QString kMainContext = QStringLiteral("frmMain");

// One collection of texts: source text -> translation, in file order, keys case-blind.
// A hash keeps lookups fast for files of thousands of lines.
class LangSection {
public:
    bool add(const QString& key, const QString& value)
    {
        const QString folded = foldKey(key);
        if (index_.contains(folded)) return false;
        index_.insert(folded, entries_.size());
        entries_.push_back({key, value});
        return true;
    }
    const QString* find(const QString& key) const
    {
        const auto it = index_.constFind(foldKey(key));
        return it == index_.constEnd() ? nullptr : &entries_[*it].second;
    }
    const std::vector<std::pair<QString, QString>>& entries() const { return entries_; }

private:
    std::vector<std::pair<QString, QString>> entries_;
    QHash<QString, size_t> index_;
};
using SectionPtr = std::shared_ptr<LangSection>;

struct LangState {
    Collection<SectionPtr> sections; // by window name; "frmMain" holds the file's entries
    SectionPtr current;              // the context being translated
    QStringList forms;               // context stack, "frmMain" at the bottom
};

LangState& state()
{
    static LangState s;
    return s;
}

std::vector<ControlTranslator>& translators()
{
    static std::vector<ControlTranslator> list;
    return list;
}

bool fileSelected() { return !gtLanguageFile.isEmpty(); }
bool collecting() { return gtLanguageFile.compare(QLatin1String("NEW"), Qt::CaseInsensitive) == 0; }

SectionPtr commonSection()
{
    const SectionPtr* p = state().sections.item(kMainContext);
    return p ? *p : nullptr;
}

// A text split into the lookup key and what Translate puts back around the result.
struct Prepared {
    QString key;
    QString suffix;
    bool accessKey = false;
};

Prepared prepare(const QString& text, bool stripAccessKey)
{
    Prepared p{text, QString(), false};
    if (stripAccessKey && p.key.startsWith(QLatin1Char('&'))) {
        p.key.remove(0, 1);
        p.accessKey = true;
    }
    if (p.key.endsWith(QLatin1Char(':'))) {
        p.suffix = QStringLiteral(":");
    } else if (p.key.endsWith(QLatin1String(": "))) {
        p.suffix = QStringLiteral(": ");
    }
    p.key.chop(p.suffix.size());
    return p;
}

QString withoutAccessKey(QString s)
{
    const qsizetype amp = s.indexOf(QLatin1Char('&'));
    if (amp >= 0) s.remove(amp, 1);
    return s;
}

// A caption that had an access key keeps one: the translation's own, else one in front.
QString finish(QString result, const Prepared& p)
{
    if (p.accessKey && !result.isEmpty() && !result.contains(QLatin1Char('&'))) result.prepend(QLatin1Char('&'));
    return result + p.suffix;
}

bool loadFailed(const QString& reason)
{
    MsgBox(Translate(QStringLiteral("Fehler beim Einlesen der Sprachdatei: ")) + reason, vbOKOnly, kAppTitle);
    return false;
}

QString tagOf(const QObject* o) { return o->property("Tag").toString(); }

class FormTranslator {
public:
    FormTranslator(const QString& windowName, bool reverse) : windowName_(windowName), reverse_(reverse) {}

    void walk(QWidget* parent)
    {
        for (QObject* child : parent->children()) {
            auto* w = qobject_cast<QWidget*>(child);
            if (!w) continue;
            // Dialogs owned by this window are windows of their own; its menus are not.
            if (w->isWindow() && !qobject_cast<QMenu*>(w)) continue;
            translateControl(w);
            walk(w);
        }
    }

private:
    QString tr(const QString& s) const { return s.isEmpty() ? s : TranslateBack(s, reverse_); }

    template <class Get, class Set>
    void apply(Get get, Set set) const
    {
        const QString before = get();
        const QString after = tr(before);
        if (after != before) set(after);
    }

    void translateAction(QAction* a, bool withToolTip)
    {
        if (!a || a->isSeparator() || visited_.contains(a)) return;
        visited_.insert(a);
        if (a->text() == QLatin1String("-")) return;
        const bool ownToolTip = withToolTip && a->toolTip() != withoutAccessKey(a->text());
        const QString tip = a->toolTip();
        apply([a] { return a->text(); }, [a](const QString& s) { a->setText(s); });
        // A tool tip that only repeats the text follows the translated text.
        if (ownToolTip) a->setToolTip(tr(tip));
        else if (withToolTip) a->setToolTip(QString());
    }

    void translateControl(QWidget* w)
    {
        const std::function<QString(const QString&)> fn = [this](const QString& s) { return tr(s); };
        for (const auto& t : translators())
            if (t(w, windowName_, fn)) return;

        if (auto* bar = qobject_cast<QToolBar*>(w)) {
            for (QAction* a : bar->actions()) {
                translateAction(a, true);
                if (QMenu* m = a->menu())
                    for (QAction* entry : m->actions())
                        if (tagOf(entry).isEmpty()) translateAction(entry, false);
            }
        } else if (auto* menu = qobject_cast<QMenu*>(w)) {
            QAction* own = menu->menuAction();
            if (tagOf(menu).isEmpty() && tagOf(own).isEmpty()) translateAction(own, false);
            for (QAction* a : menu->actions())
                if (!a->menu() && tagOf(a).isEmpty()) translateAction(a, false);
        } else if (auto* menuBar = qobject_cast<QMenuBar*>(w)) {
            for (QAction* a : menuBar->actions())
                if (!a->menu() && tagOf(a).isEmpty()) translateAction(a, false);
        } else if (auto* tabs = qobject_cast<QTabBar*>(w)) {
            auto* owner = qobject_cast<QTabWidget*>(tabs->parentWidget());
            if (!tagOf(tabs).isEmpty() || (owner && !tagOf(owner).isEmpty())) return;
            for (int i = 0; i < tabs->count(); ++i)
                apply([=] { return tabs->tabText(i); }, [=](const QString& s) { tabs->setTabText(i, s); });
        } else if (!tagOf(w).isEmpty()) {
            return;
        } else if (auto* check = qobject_cast<QCheckBox*>(w)) {
            if (check->text() != QLatin1String("-"))
                apply([=] { return check->text(); }, [=](const QString& s) { check->setText(s); });
        } else if (auto* label = qobject_cast<QLabel*>(w)) {
            apply([=] { return label->text(); }, [=](const QString& s) { label->setText(s); });
            translateToolTip(w);
        } else if (auto* group = qobject_cast<QGroupBox*>(w)) {
            apply([=] { return group->title(); }, [=](const QString& s) { group->setTitle(s); });
            translateToolTip(w);
        } else if (auto* button = qobject_cast<QAbstractButton*>(w)) {
            // Tool buttons that show an action get their text from it.
            auto* tool = qobject_cast<QToolButton*>(w);
            if (tool && tool->defaultAction()) return;
            apply([=] { return button->text(); }, [=](const QString& s) { button->setText(s); });
            translateToolTip(w);
        }
    }

    void translateToolTip(QWidget* w)
    {
        apply([=] { return w->toolTip(); }, [=](const QString& s) { w->setToolTip(s); });
    }

    QString windowName_;
    bool reverse_;
    QSet<QAction*> visited_;
};

} // namespace

bool LoadLanguage()
{
    if (!fileSelected()) return true;
    const QString path = gtLangPath + gtLanguageFile;
    auto section = std::make_shared<LangSection>();
    if (!(collecting() && !IsFile(path))) {
        QString text, error;
        if (!ReadTextFile(path, text, &error)) return loadFailed(error);
        if (text.isEmpty()) return loadFailed(gtLanguageFile);
        int lineNo = 0;
        for (const QString& raw : text.split(QLatin1Char('\n'))) {
            ++lineNo;
            QString line = raw;
            if (line.endsWith(QLatin1Char('\r'))) line.chop(1);
            const QStringList parts = line.split(QStringLiteral("@@"));
            if (parts.size() != 2 || parts[0].isEmpty()) continue;
            if (!section->add(parts[0], parts[1]))
                return loadFailed(QStringLiteral("%1 (%2): \"%3\" doppelt").arg(gtLanguageFile).arg(lineNo).arg(parts[0]));
        }
    }
    LangState& s = state();
    s.sections.clear();
    s.sections.add(section, kMainContext);
    s.current = section;
    s.forms = QStringList{kMainContext};
    return true;
}

QString Translate(const QString& text, const QString& parameter)
{
    if (text.isEmpty()) return QString();
    Prepared p{text, QString(), false};
    QString result = text;
    if (fileSelected()) {
        p = prepare(text, true);
        result = p.key;
        LangState& s = state();
        if (s.current) {
            const SectionPtr common = commonSection();
            if (const QString* cached = s.current->find(p.key)) {
                result = *cached;
            } else if (!collecting()) {
                if (const QString* found = common ? common->find(p.key) : nullptr) result = *found;
                // Texts without a translation are cached as themselves.
                s.current->add(p.key, result);
            } else if (common) {
                common->add(p.key, p.key);
            }
        }
    }
    if (!parameter.isEmpty()) result.replace(QLatin1String("@1"), parameter, Qt::CaseInsensitive);
    return finish(result, p);
}

QString TranslateBack(const QString& text, bool reverse)
{
    if (!reverse) return Translate(text);
    Prepared p = prepare(text, false);
    p.accessKey = p.key.contains(QLatin1Char('&'));
    QString result = p.key;
    if (const SectionPtr& current = state().current) {
        const QString wanted = withoutAccessKey(p.key);
        for (const auto& [key, value] : current->entries())
            if (withoutAccessKey(value).compare(wanted, Qt::CaseInsensitive) == 0) {
                result = key;
                return finish(result, p);
            }
    }
    return result + p.suffix;
}

void SetLangContext(const QString& windowName)
{
    LangState& s = state();
    SectionPtr* existing = s.sections.item(windowName);
    SectionPtr section = existing ? *existing : std::make_shared<LangSection>();
    if (!existing) s.sections.add(section, windowName);
    s.current = section;
    if (windowName.compare(kMainContext, Qt::CaseInsensitive) != 0) s.forms << windowName;
}

void ResetLangContext()
{
    if (!fileSelected()) return;
    LangState& s = state();
    if (s.forms.size() > 1) s.forms.removeLast();
    if (s.forms.isEmpty()) return;
    const SectionPtr* top = s.sections.item(s.forms.last());
    if (top) s.current = *top;
}

QStringList LangContextStack() { return state().forms; }

void TranslateForm(QWidget* window, bool withCaption, bool reverse)
{
    if (!window || !fileSelected()) return;
    const QString name = FormName(window);
    if (!reverse) SetLangContext(name);
    FormTranslator translator(name, reverse);
    if (withCaption) {
        const QString caption = window->windowTitle();
        if (!caption.isEmpty()) window->setWindowTitle(TranslateBack(caption, reverse));
    }
    translator.walk(window);
}

int LangMsgBox(const QString& prompt, int buttons, const QString& title)
{
    return MsgBox(Translate(prompt), buttons, Translate(title));
}

QString FailureText(const QString& whatFailed, const QString& engineText)
{
    return Translate(whatFailed) + engineText;
}

void AddControlTranslator(ControlTranslator translator) { translators().push_back(std::move(translator)); }

QChar DecimalSeparator()
{
    return fileSelected() && !collecting() ? QLatin1Char('.') : QLatin1Char(',');
}

QString FormatDecimal(double value, const QString& pattern)
{
    // Format writes German numbers, without thousands separators in these patterns.
    return Format(Variant(value), pattern).replace(QLatin1Char(','), DecimalSeparator());
}

bool ApplyQtTranslations()
{
    static QTranslator* qtGerman = nullptr;
    if (!qtGerman) qtGerman = new QTranslator(QCoreApplication::instance());
    QCoreApplication::removeTranslator(qtGerman);
    if (!gtLanguageFile.isEmpty()) return true;
    if (!qtGerman->load(QStringLiteral("qtbase_de"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) return false;
    QCoreApplication::installTranslator(qtGerman);
    return true;
}

} // namespace tv
