// What a user waits for in the main window, on a generated catalogue (100,000 files with 500
// categories and 20,000 starts in the history; another number of files as the argument):
// opening the catalogue to the first painted list, switching to each view, a search by file
// name once typing pauses, sorting by the file name, 100 page-downs and End, in the real main window shown offscreen at 1280 x 1024.
// Each beside its reference: the same SQL texts the window's lists read, run through the
// engine's C interface into plain arrays, and the visible rows painted with QPainter in the
// columns the list shows, where it shows them.
// The catalogue is built once and kept beside the benchmark (mainwindow_bench_<files>.MDB).
// Output lines:
//   figure <name> <median seconds>      ratio <name> <window / reference>
//   figure peak_resident_mb <MB>

#include "benchcatalogue.h"
#include "rawreference.h"

#include "catalogue/core/moddatabase.h"
#include "catalogue/core/modglobals.h"
#include "catalogue/core/modmain.h"
#include "catalogue/mainwindow/frmmain.h"
#include "catalogue/mainwindow/searchpane.h"
#include "catalogue/mainwindow/viewsql.h"
#include "catalogue/reports/reportview.h"
#include "catalogue/reports/simplereport.h"
#include "controls/grid/column.h"
#include "controls/grid/columns.h"
#include "controls/grid/listview.h"
#include "platform/gui/msgbox.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QComboBox>
#include <QKeyEvent>
#include <QPainter>
#include <QTemporaryDir>

#include <sys/resource.h>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>

using namespace tv;

namespace {

constexpr int kCategories = 500;
constexpr int kWidth = 1280, kHeight = 1024;
constexpr int kPageDowns = 100;

void check(const DbError& e, const char* what)
{
    if (!e) return;
    std::fprintf(stderr, "%s: %s\n", what, qPrintable(e.description));
    std::exit(1);
}

// One started file in five has one start in the history: 20,000 rows at 100,000 files.
void buildCatalogue(const QString& path, int files)
{
    const QString part = path + QStringLiteral(".part");
    QFile::remove(part);
    DbError e;
    auto db = CreateCatalogue(part, kProgramKey, &e);
    check(e, "create");
    check(db->Execute(QStringLiteral("BEGIN")), "begin");
    auto category = db->CreateQueryDef(QString(), QStringLiteral(
        "PARAMETERS pID Long, pName Text; Insert Into Category (ID, tCategory) Values (pID, pName)"));
    auto insert = db->CreateQueryDef(QString(), QStringLiteral(
        "PARAMETERS pFile Text, pPath Text, pUnpack Text, pType Short, pSize Long, pCat Long, pCreated DateTime,"
        " pStarted DateTime, pCount Long; Insert Into MainFiles (tFile, tPath, tUnpackPath, iFileType, lSize,"
        " Category_ID, tsCreated, tsLastStarted, lStartCount) Values (pFile, pPath, pUnpack, pType, pSize, pCat,"
        " pCreated, pStarted, pCount)"));
    auto history = db->CreateQueryDef(QString(), QStringLiteral(
        "PARAMETERS pID Long, pStarted DateTime; Insert Into History (MainFiles_ID, tsStarted) Values (pID, pStarted)"));
    if (!category || !insert || !history) check(db->LastError(), "query definitions");
    for (int c = 1; c <= kCategories; ++c) {
        category->Parameters(0).Value = int32_t(c);
        category->Parameters(1).Value = BenchFileGenerator::categoryName(c);
        check(category->Execute(), "category");
    }
    BenchFileGenerator g(kCategories);
    for (int n = 1; n <= files; ++n) {
        const BenchFile f = g.next(n);
        BindBenchFile(*insert, f);
        check(insert->Execute(), "insert");
        if (f.started > 0) {
            history->Parameters(0).Value = int32_t(n);
            history->Parameters(1).Value = Variant::fromDate(f.started);
            check(history->Execute(), "history");
        }
    }
    check(db->Execute(QStringLiteral("COMMIT")), "commit");
    db->Close();
    if (!QFile::rename(part, path)) {
        std::fprintf(stderr, "cannot keep the catalogue as %s\n", qPrintable(path));
        std::exit(1);
    }
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

void report(const char* name, double window, double reference)
{
    std::printf("figure %s %.6f\n", name, window);
    std::printf("figure %s_reference %.6f\n", name, reference);
    std::printf("ratio %s %.3f\n", name, reference > 0 ? window / reference : 0.0);
    std::fflush(stdout);
}

// Counts the paint events of a list and everything inside it.
class PaintWatch : public QObject {
public:
    void watch(QWidget* w)
    {
        w->installEventFilter(this);
        for (QWidget* child : w->findChildren<QWidget*>()) child->installEventFilter(this);
    }
    int paints = 0;

protected:
    bool eventFilter(QObject*, QEvent* e) override
    {
        if (e->type() == QEvent::Paint) ++paints;
        return false;
    }
};

// What a list shows after a step: its visible columns where they stand, its row height and
// the rows that fit. The reference paints the same.
struct Surface {
    struct Column {
        QString name;
        int left, width;
    };
    std::vector<Column> columns;
    QSize size;
    QFont font;
    int rowHeight = 16, rows = 0;
};

Surface surfaceOf(vantile::ListView* grid)
{
    Surface s;
    s.size = grid->size();
    s.font = grid->font();
    s.rowHeight = std::max(1, int(grid->RowHeight()));
    s.rows = grid->ScrollWnd()->VisibleRows();
    for (const auto& c : grid->Columns()->Items())
        if (c->Width() > 0) s.columns.push_back({c->Key(), c->ScreenLeft(), c->Width()});
    return s;
}

// The queries the lists read during one step, as the layer ran them.
struct Query {
    QString sql;
    std::vector<QVariant> parameters;
};
std::vector<Query> gQueries;

QVariant plain(const Variant& v)
{
    switch (v.type()) {
    case VarType::Empty:
    case VarType::Null: return {};
    case VarType::String: return v.text();
    case VarType::Boolean:
    case VarType::Integer:
    case VarType::Long:
    case VarType::Byte: return qlonglong(v.toLong());
    default: return v.toDouble();
    }
}

class Bench {
public:
    Bench(const QString& catalogue, const QString& empty, RawReference& raw, int runs)
        : catalogue_(catalogue), empty_(empty), raw_(raw), runs_(runs)
    {
        // A query the window reads twice in one step is read once by the reference.
        SetRecordsetQueryHook([](const QString& sql, const std::vector<Variant>& parameters) {
            Query q{sql, {}};
            for (const Variant& v : parameters) q.parameters.push_back(plain(v));
            if (qEnvironmentVariableIsSet("MAINWINDOW_BENCH_QUERIES")) std::fprintf(stderr, "query: %s\n", qPrintable(sql));
            for (const Query& seen : gQueries)
                if (seen.sql == q.sql && seen.parameters == q.parameters) return;
            gQueries.push_back(std::move(q));
        });
        window_ = std::make_unique<frmMain>();
        window_->setGeometry(0, 0, kWidth, kHeight);
        window_->show();
        settle();
        files_.watch(window_->lstMainFiles());
        drill_.watch(window_->lstMain());
    }
    ~Bench() { SetRecordsetQueryHook(nullptr); }

    // The window's steps first, so that the peak resident memory is the window's; then the
    // references. Paging, where a step lasts milliseconds, takes turns with its reference, so
    // that both see the machine in the same state.
    void run()
    {
        open();
        views();
        search();
        sort();
        paging();
        for (const Step& step : steps_) report(step.name, step.seconds, reference(step.queries, step.surface, 0));
        report("page_down_100", pages_, pagesReference_);
        report("end", end_, endReference_);
        std::printf("figure files_shown %d\n", window_->lstMainFiles()->ItemCount());
        std::printf("figure peak_resident_mb %.0f\n", peak_);
    }

private:
    static void settle()
    {
        for (int i = 0; i < 3; ++i) QApplication::processEvents();
    }

    // Runs one step and waits until the watched list painted after it.
    double timeStep(PaintWatch& watch, const std::function<void()>& step)
    {
        const int mark = watch.paints;
        QElapsedTimer t;
        t.start();
        step();
        while (watch.paints == mark && t.elapsed() < 10000) QApplication::processEvents();
        const double seconds = double(t.nsecsElapsed()) / 1e9;
        settle();
        return seconds;
    }

    // The reference of a step: its queries into plain arrays, then the visible rows of the
    // largest result painted from `firstRow` (-1: the last page).
    double reference(const std::vector<Query>& queries, const Surface& surface, int firstRow)
    {
        std::vector<double> times;
        for (int i = 0; i < runs_; ++i) {
            QElapsedTimer t;
            t.start();
            std::vector<RawTable> tables(queries.size());
            size_t largest = 0;
            for (size_t q = 0; q < queries.size(); ++q) {
                if (!raw_.run(queries[q].sql, queries[q].parameters, tables[q])) {
                    std::fprintf(stderr, "reference: %s\n%s\n", qPrintable(raw_.lastError()),
                                 qPrintable(queries[q].sql));
                    std::exit(1);
                }
                if (tables[q].rows() > tables[largest].rows()) largest = q;
            }
            if (!tables.empty()) paintRows(tables[largest], surface, firstRow);
            times.push_back(double(t.nsecsElapsed()) / 1e9);
            if (i == 0) lastTable_ = std::move(tables[largest]);
        }
        return median(times);
    }

    // The list's visible columns, each painted from the result's column of the same name.
    void paintRows(const RawTable& table, const Surface& surface, int firstRow)
    {
        if (image_.size() != surface.size) image_ = QImage(surface.size, QImage::Format_RGB32);
        const int rows = surface.rows;
        if (firstRow < 0) firstRow = std::max(0, table.rows() - rows);
        std::vector<std::pair<const Surface::Column*, int>> shown;
        for (const Surface::Column& c : surface.columns)
            if (const int index = table.column(c.name); index >= 0) shown.emplace_back(&c, index);
        QPainter p(&image_);
        p.fillRect(image_.rect(), Qt::white);
        p.setFont(surface.font);
        const int h = surface.rowHeight;
        for (int r = 0; r < rows && firstRow + r < table.rows(); ++r)
            for (const auto& [c, index] : shown)
                p.drawText(QRect(c->left, r * h, c->width, h), Qt::AlignLeft | Qt::AlignVCenter,
                           table.display(firstRow + r, index));
    }

    void open()
    {
        std::vector<double> times;
        std::vector<Query> queries;
        for (int i = 0; i < runs_; ++i) {
            window_->OpenDatabaseFile(empty_);
            settle();
            gQueries.clear();
            times.push_back(timeStep(files_, [this] { window_->OpenDatabaseFile(catalogue_); }));
            if (i == 0) queries = gQueries;
        }
        if (window_->lstMainFiles()->ItemCount() == 0) {
            std::fprintf(stderr, "the catalogue opened with no files shown\n");
            std::exit(1);
        }
        steps_.push_back({"open_to_painted_list", median(times), queries, surfaceOf(window_->lstMainFiles()->grid())});
    }

    void views()
    {
        struct View { int mode; const char* name; };
        const View views[] = {{kViewNewFiles, "view_new_files"}, {kViewCategories, "view_categories"},
                              {kViewHistory, "view_history"}, {kViewFiles, "view_files"}};
        std::vector<std::vector<double>> times(std::size(views));
        std::vector<std::vector<Query>> queries(std::size(views));
        std::vector<Surface> surfaces(std::size(views));
        for (int i = 0; i < runs_; ++i)
            for (size_t v = 0; v < std::size(views); ++v) {
                const int mode = views[v].mode;
                PaintWatch& watch = mode == kViewFiles || mode == kViewNewFiles ? files_ : drill_;
                gQueries.clear();
                times[v].push_back(timeStep(watch, [this, mode] { window_->BuildView(mode); }));
                if (i == 0) {
                    queries[v] = gQueries;
                    surfaces[v] = surfaceOf(&watch == &files_ ? window_->lstMainFiles()->grid() : window_->lstMain()->grid());
                }
            }
        for (size_t v = 0; v < std::size(views); ++v)
            steps_.push_back({views[v].name, median(times[v]), queries[v], surfaces[v]});
    }

    // A search by file name as the pause after typing starts it; the next run begins from the
    // whole list again.
    void search()
    {
        QComboBox* box = window_->searchPane()->cboSearch(1);
        std::vector<double> times;
        std::vector<Query> queries;
        for (int i = 0; i < runs_; ++i) {
            box->setEditText(QString());
            window_->moTimer_Timer();
            settle();
            box->setEditText(QStringLiteral("dash"));
            gQueries.clear();
            times.push_back(timeStep(files_, [this] { window_->moTimer_Timer(); }));
            if (i == 0) queries = gQueries;
        }
        std::printf("figure search_rows %d\n", window_->lstMainFiles()->ItemCount());
        const Surface surface = surfaceOf(window_->lstMainFiles()->grid());
        box->setEditText(QString());
        window_->moTimer_Timer();
        settle();
        steps_.push_back({"search_after_pause", median(times), queries, surface});
    }

    void sort()
    {
        SimpleReport* list = window_->lstMainFiles();
        const auto column = list->grid()->Columns()->Item(Variant(gtFileCaption));
        if (!column) {
            std::fprintf(stderr, "no column %s\n", qPrintable(gtFileCaption));
            std::exit(1);
        }
        std::vector<double> times;
        std::vector<Query> queries;
        for (int i = 0; i < runs_; ++i) {
            const bool ascending = i % 2 == 1;
            gQueries.clear();
            times.push_back(timeStep(files_, [&] { list->Resort(int16_t(column->Index()), ascending); }));
            if (i == 1) queries = gQueries;
        }
        steps_.push_back({"sort_by_name", median(times), queries, surfaceOf(list->grid())});
        sortQueries_ = queries;
    }

    // Keys go to the list's surface, as a user's would.
    QWidget* keyTarget() const
    {
        QWidget* grid = window_->lstMainFiles()->grid();
        for (QWidget* w : grid->findChildren<QWidget*>())
            if (w->focusPolicy() & Qt::StrongFocus) return w;
        return grid;
    }

    static void press(QWidget* target, int key)
    {
        QKeyEvent down(QEvent::KeyPress, key, Qt::NoModifier);
        QApplication::sendEvent(target, &down);
        QKeyEvent up(QEvent::KeyRelease, key, Qt::NoModifier);
        QApplication::sendEvent(target, &up);
    }

    static double peakResidentMb()
    {
        rusage usage{};
        getrusage(RUSAGE_SELF, &usage);
        return double(usage.ru_maxrss) / 1024.0;
    }

    static double seconds(const std::function<void()>& body)
    {
        QElapsedTimer t;
        t.start();
        body();
        return double(t.nsecsElapsed()) / 1e9;
    }

    // Each run pages the window and moves it to the end, then does the same with its reference
    // (the array the sort's reference reads, painted a page at a time): each End follows its
    // own paging, as a user's End follows the pages before it. (Timed after the reference's
    // paging, the window's End found the caches flushed by it, and the reference's End ran in
    // caches the window's End had just filled.)
    void paging()
    {
        SimpleReport* list = window_->lstMainFiles();
        QWidget* target = keyTarget();
        target->setFocus();
        list->setSelectedIndex(0);
        press(target, Qt::Key_Home);
        settle();
        // The reference's array is read after the window's high-water mark is taken: paging
        // the window reads a few blocks of rows only.
        peak_ = peakResidentMb();
        const Surface surface = surfaceOf(list->grid());
        reference(sortQueries_, surface, 0);
        const RawTable table = std::move(lastTable_);
        // A page down moves by the rows that fit whole.
        const int page = std::max(1, list->grid()->ScrollWnd()->ScrollAreaHeight() / surface.rowHeight);

        std::vector<double> pages, ends, pagesReference, endsReference;
        for (int i = 0; i < runs_; ++i) {
            list->setSelectedIndex(0);
            press(target, Qt::Key_Home);
            settle();
            pages.push_back(timeStep(files_, [&] {
                for (int p = 0; p < kPageDowns; ++p) {
                    const int mark = files_.paints;
                    press(target, Qt::Key_PageDown);
                    while (files_.paints == mark) QApplication::processEvents();
                }
            }));
            ends.push_back(timeStep(files_, [&] { press(target, Qt::Key_End); }));
            pagesReference.push_back(seconds([&] {
                for (int p = 1; p <= kPageDowns; ++p) paintRows(table, surface, p * page);
            }));
            endsReference.push_back(seconds([&] { paintRows(table, surface, -1); }));
        }
        if (list->SelectedIndex() != list->ItemCount() - 1) {
            std::fprintf(stderr, "End selected row %d of %d\n", list->SelectedIndex(), list->ItemCount());
            std::exit(1);
        }
        pages_ = median(pages);
        end_ = median(ends);
        pagesReference_ = median(pagesReference);
        endReference_ = median(endsReference);
    }

    QString catalogue_, empty_;
    RawReference& raw_;
    int runs_;
    std::unique_ptr<frmMain> window_;
    PaintWatch files_, drill_;
    QImage image_;
    RawTable lastTable_;
    struct Step {
        const char* name;
        double seconds;
        std::vector<Query> queries;
        Surface surface;
    };
    std::vector<Step> steps_;
    std::vector<Query> sortQueries_;
    double pages_ = 0, end_ = 0, pagesReference_ = 0, endReference_ = 0, peak_ = 0;
};

} // namespace

int main(int argc, char** argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int files = argc > 1 ? std::atoi(argv[1]) : 100000;
    if (files < 1) {
        std::fprintf(stderr, "usage: mainwindow_bench [files]\n");
        return 2;
    }
    const QString catalogue =
        QCoreApplication::applicationDirPath() + QStringLiteral("/mainwindow_bench_%1.MDB").arg(files);

    QTemporaryDir program;
    InitProgramPaths(program.path());
    InitProgramValues();
    SetMsgBoxHook([](const QString& prompt, int, const QString&) {
        std::fprintf(stderr, "message box: %s\n", qPrintable(prompt));
        return vbOK;
    });
    SetFirstRunWizardHook([](const WizardHost&) {});
    if (!QFile::exists(catalogue)) {
        QElapsedTimer build;
        build.start();
        buildCatalogue(catalogue, files);
        std::printf("figure build_catalogue %.3f\n", double(build.nsecsElapsed()) / 1e9);
    }
    // A second, empty catalogue: opening it between the runs makes each run a real opening.
    const QString empty = CreateDBFile(program.filePath(QStringLiteral("Empty.MDB")));
    QFile ini(gtIniFile);
    if (empty.isEmpty() || !ini.open(QIODevice::WriteOnly)) return 1;
    ini.write((QStringLiteral("[MAIN]\r\nDatabase=") + empty + QStringLiteral("\r\n")).toUtf8());
    ini.close();

    RawReference raw;
    if (!raw.open(catalogue, kProgramKey)) {
        std::fprintf(stderr, "reference cannot open %s\n", qPrintable(catalogue));
        return 1;
    }
    {
        Bench bench(catalogue, empty, raw, files >= 1000000 ? 3 : 5);
        bench.run();
    }
    CloseDB();
    return 0;
}
