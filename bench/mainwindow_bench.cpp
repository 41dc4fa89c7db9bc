// What a user waits for in the main window, on a generated catalogue (100,000 files with 500
// categories and 20,000 starts in the history; another number of files as the argument):
// opening the catalogue to the first painted list, switching to each view, a search by file
// name once typing pauses, sorting by the file name, 100 page-downs and End, in the real main
// window shown offscreen at 1280 x 1024.
//
// Each step beside its reference, which does the same work the plainest way, through the
// engine's C interface (its own copy, with the same Jet functions) and QPainter:
// - open: opens the catalogue file with its key (a new connection each run), then reads the
//   step's queries as below;
// - every step: runs the SQL texts the window's lists read in that step. A large result whose
//   first column is its table's key is read as its keys in the shown order, any other whole
//   (as the window decides); then the rows of the first screen of the largest result are read
//   by key (the query narrowed to those keys) and painted with QPainter in the columns the
//   list shows, where it shows them;
// - the views: the window switches through them in turn in each run, and their references
//   run in the same turns, so that each finds the caches as the view before it left them
//   (the history view's reads push the file list's index out of the cache); the search's
//   reference reads the whole list before each run, untimed, as the window does;
// - page-downs and End: from the keys of the sort's query, each page's rows read by key and
//   painted, then the last screen's.
// With MAINWINDOW_BENCH_WHOLE set, each step also gets the former reference, which reads every
// row of every query into arrays and paints the first screen from them ("_whole_reference"):
// it shows what reading keys first gains, not how close the window comes to the machine.
//
// The window reads as the program does: large reads run on its second connection while the
// window goes on painting.
// While each step runs, a timer of 2 ms records the longest time the window's event loop did
// not run, from the start of the step until its list painted and the events it left were
// handled; the step's first part (a view's queries, a search) runs inside one event, so it
// counts whole. The peak resident memory is taken before any reference runs.
// The catalogue is built once and kept beside the benchmark (mainwindow_bench_<files>.MDB).
// Output lines (medians over five runs):
//   figure <step> <seconds>    figure <step>_reference <seconds>    ratio <step> <window / reference>
//   figure <step>_longest_stall <seconds>
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
#include "platform/db/recordset.h"
#include "platform/gui/msgbox.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QComboBox>
#include <QKeyEvent>
#include <QPainter>
#include <QTemporaryDir>
#include <QTimer>

#include <sys/resource.h>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>

using namespace tv;

namespace {

constexpr int kCategories = 500;
constexpr int kWidth = 1280, kHeight = 1024;
constexpr int kPageDowns = 100;
constexpr int kViewsTurn = 1;  // the views are switched in turn, one after the other

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

void report(const char* name, double window, double reference, const char* referenceName = "reference")
{
    std::printf("figure %s %.6f\n", name, window);
    std::printf("figure %s_%s %.6f\n", name, referenceName, reference);
    if (std::strcmp(referenceName, "reference") == 0)
        std::printf("ratio %s %.3f\n", name, reference > 0 ? window / reference : 0.0);
    else
        std::printf("ratio %s_vs_%s %.3f\n", name, referenceName, reference > 0 ? window / reference : 0.0);
    std::fflush(stdout);
}

// The longest time the event loop did not run while watched: a timer of 2 ms notes each gap
// between its ticks, and the gaps before its first and after its last tick.
class StallWatch : public QObject {
public:
    StallWatch()
    {
        timer_.setTimerType(Qt::PreciseTimer);
        timer_.setInterval(2);
        connect(&timer_, &QTimer::timeout, this, [this] { tick(); });
    }
    void start()
    {
        longest_ = 0;
        last_ = 0;
        clock_.start();
        timer_.start();
    }
    double stop()
    {
        tick();
        timer_.stop();
        return longest_;
    }

private:
    void tick()
    {
        const qint64 now = clock_.nsecsElapsed();
        longest_ = std::max(longest_, double(now - last_) / 1e9);
        last_ = now;
    }
    QTimer timer_;
    QElapsedTimer clock_;
    qint64 last_ = 0;
    double longest_ = 0;
};

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
int gQueriesRead = 0;  // with repeats

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
        : catalogue_(catalogue), empty_(empty), raw_(raw), runs_(runs),
          whole_(qEnvironmentVariableIsSet("MAINWINDOW_BENCH_WHOLE"))
    {
        // A query the window reads twice in one step is read once by the reference.
        SetRecordsetQueryHook([](const QString& sql, const std::vector<Variant>& parameters) {
            ++gQueriesRead;
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
        std::vector<double> referenceTimes;
        for (const std::vector<const Step*>& turn : turns()) {
            const std::vector<double> r = references(turn);
            referenceTimes.insert(referenceTimes.end(), r.begin(), r.end());
        }
        for (size_t s = 0; s < steps_.size(); ++s) {
            const Step& step = steps_[s];
            report(step.name, step.seconds, referenceTimes[s]);
            if (whole_) report(step.name, step.seconds, wholeReference(step), "whole_reference");
            std::printf("figure %s_longest_stall %.6f\n", step.name, step.stall);
        }
        report("page_down_100", pages_, pagesReference_);
        std::printf("figure page_down_100_longest_stall %.6f\n", pagesStall_);
        report("end", end_, endReference_);
        std::printf("figure end_longest_stall %.6f\n", endStall_);
        std::printf("figure files_shown %d\n", window_->lstMainFiles()->ItemCount());
        std::printf("figure peak_resident_mb %.0f\n", peak_);
    }

private:
    struct Timing {
        double seconds, stall;
    };
    struct Step {
        const char* name;
        double seconds, stall;
        std::vector<Query> queries;
        Surface surface;
        bool opens;  // the step opens the catalogue
        int turn;    // steps of one turn ran one after the other in each run
        std::vector<Query> before;  // what the window read before each run, untimed
    };

    // The steps grouped by turn, in their order.
    std::vector<std::vector<const Step*>> turns() const
    {
        std::vector<std::vector<const Step*>> groups;
        for (size_t s = 0; s < steps_.size(); ++s) {
            if (s == 0 || steps_[s].turn != steps_[s - 1].turn) groups.emplace_back();
            groups.back().push_back(&steps_[s]);
        }
        return groups;
    }

    static void settle()
    {
        for (int i = 0; i < 3; ++i) QApplication::processEvents();
    }

    static double medianOf(const std::vector<Timing>& timings, double Timing::*part)
    {
        std::vector<double> v;
        for (const Timing& t : timings) v.push_back(t.*part);
        return median(v);
    }

    // Runs one step and waits until the watched list painted after it; the stall watch runs
    // on until the events the step left are handled.
    Timing timeStep(PaintWatch& watch, const std::function<void()>& step)
    {
        const int mark = watch.paints;
        stalls_.start();
        QElapsedTimer t;
        t.start();
        step();
        while (watch.paints == mark && t.elapsed() < 10000) QApplication::processEvents();
        const double seconds = double(t.nsecsElapsed()) / 1e9;
        settle();
        return {seconds, stalls_.stop()};
    }

    [[noreturn]] static void failed(RawReference& raw, const QString& sql)
    {
        std::fprintf(stderr, "reference: %s\n%s\n", qPrintable(raw.lastError()), qPrintable(sql));
        std::exit(1);
    }

    // The screen from `firstRow` (-1: the last screen) of a result: read by key when it is
    // keyed, then painted.
    void paintScreen(RawReference& raw, const Query& query, const RawResult& result, const Surface& surface,
                     int firstRow)
    {
        if (!result.keyed) {
            paintRows(result.table, surface, firstRow);
            return;
        }
        if (firstRow < 0) firstRow = std::max(0, result.rows() - surface.rows);
        RawTable screen;
        if (!raw.rowsByKey(query.sql, query.parameters, result, firstRow, surface.rows, screen)) failed(raw, query.sql);
        paintRows(screen, surface, 0);
    }

    // The reference of a step, once: the catalogue opened when the step opens it, the step's
    // queries read as the window reads them (keys first where it does), and the first screen
    // of the largest result read by key and painted.
    double referenceOnce(const Step& step)
    {
        for (const Query& q : step.before) {
            RawResult result;
            if (!raw_.read(q.sql, q.parameters, kKeyedRowsDefault, result)) failed(raw_, q.sql);
        }
        QElapsedTimer t;
        t.start();
        std::unique_ptr<RawReference> opened;
        RawReference* raw = &raw_;
        if (step.opens) {
            opened = std::make_unique<RawReference>();
            if (!opened->open(catalogue_, kProgramKey)) failed(*opened, catalogue_);
            raw = opened.get();
        }
        std::vector<RawResult> results(step.queries.size());
        size_t largest = 0;
        for (size_t q = 0; q < step.queries.size(); ++q) {
            if (!raw->read(step.queries[q].sql, step.queries[q].parameters, kKeyedRowsDefault, results[q]))
                failed(*raw, step.queries[q].sql);
            if (results[q].rows() > results[largest].rows()) largest = q;
        }
        if (!results.empty()) paintScreen(*raw, step.queries[largest], results[largest], step.surface, 0);
        return double(t.nsecsElapsed()) / 1e9;
    }

    // The references of steps the window ran in turn (the views): run in the same turns, so
    // that each finds the caches as the step before it left them, as the window's did.
    std::vector<double> references(const std::vector<const Step*>& steps)
    {
        std::vector<std::vector<double>> times(steps.size());
        for (int i = 0; i < runs_; ++i)
            for (size_t s = 0; s < steps.size(); ++s) times[s].push_back(referenceOnce(*steps[s]));
        std::vector<double> medians;
        for (const auto& t : times) medians.push_back(median(t));
        return medians;
    }

    // The former reference: every row of every query into plain arrays, the first screen of the
    // largest painted from them.
    double wholeReference(const Step& step)
    {
        std::vector<double> times;
        for (int i = 0; i < runs_; ++i) {
            QElapsedTimer t;
            t.start();
            std::vector<RawTable> tables(step.queries.size());
            size_t largest = 0;
            for (size_t q = 0; q < step.queries.size(); ++q) {
                if (!raw_.run(step.queries[q].sql, step.queries[q].parameters, tables[q])) failed(raw_, step.queries[q].sql);
                if (tables[q].rows() > tables[largest].rows()) largest = q;
            }
            if (!tables.empty()) paintRows(tables[largest], step.surface, 0);
            times.push_back(double(t.nsecsElapsed()) / 1e9);
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

    // A step of its own turn, or (`turn` given) of the turn of the steps added with it.
    void addStep(const char* name, const std::vector<Timing>& timings, std::vector<Query> queries,
                 const Surface& surface, bool opens = false, int turn = -1, std::vector<Query> before = {})
    {
        steps_.push_back({name, medianOf(timings, &Timing::seconds), medianOf(timings, &Timing::stall),
                          std::move(queries), surface, opens, turn >= 0 ? turn : int(steps_.size()) + 1000,
                          std::move(before)});
    }

    void open()
    {
        std::vector<Timing> timings;
        std::vector<Query> queries;
        for (int i = 0; i < runs_; ++i) {
            window_->OpenDatabaseFile(empty_);
            settle();
            gQueries.clear();
            timings.push_back(timeStep(files_, [this] { window_->OpenDatabaseFile(catalogue_); }));
            if (i == 0) queries = gQueries;
        }
        if (window_->lstMainFiles()->ItemCount() == 0) {
            std::fprintf(stderr, "the catalogue opened with no files shown\n");
            std::exit(1);
        }
        addStep("open_to_painted_list", timings, queries, surfaceOf(window_->lstMainFiles()->grid()), true);
    }

    void views()
    {
        struct View { int mode; const char* name; };
        const View views[] = {{kViewNewFiles, "view_new_files"}, {kViewCategories, "view_categories"},
                              {kViewHistory, "view_history"}, {kViewFiles, "view_files"}};
        std::vector<std::vector<Timing>> timings(std::size(views));
        std::vector<std::vector<Query>> queries(std::size(views));
        std::vector<Surface> surfaces(std::size(views));
        for (int i = 0; i < runs_; ++i)
            for (size_t v = 0; v < std::size(views); ++v) {
                const int mode = views[v].mode;
                PaintWatch& watch = mode == kViewFiles || mode == kViewNewFiles ? files_ : drill_;
                gQueries.clear();
                gQueriesRead = 0;
                timings[v].push_back(timeStep(watch, [this, mode] { window_->BuildView(mode); }));
                if (i == 0) {
                    if (qEnvironmentVariableIsSet("MAINWINDOW_BENCH_QUERIES"))
                        std::fprintf(stderr, "%s: %d queries read, %d different\n", views[v].name, gQueriesRead, int(gQueries.size()));
                    queries[v] = gQueries;
                    surfaces[v] = surfaceOf(&watch == &files_ ? window_->lstMainFiles()->grid() : window_->lstMain()->grid());
                }
            }
        for (size_t v = 0; v < std::size(views); ++v)
            addStep(views[v].name, timings[v], queries[v], surfaces[v], false, kViewsTurn);
    }

    // A search by file name as the pause after typing starts it; the next run begins from the
    // whole list again, and so does each run of its reference (untimed).
    void search()
    {
        QComboBox* box = window_->searchPane()->cboSearch(1);
        std::vector<Timing> timings;
        std::vector<Query> queries, before;
        for (int i = 0; i < runs_; ++i) {
            box->setEditText(QString());
            gQueries.clear();
            window_->moTimer_Timer();
            settle();
            if (i == 0) before = gQueries;
            box->setEditText(QStringLiteral("dash"));
            gQueries.clear();
            timings.push_back(timeStep(files_, [this] { window_->moTimer_Timer(); }));
            if (i == 0) queries = gQueries;
        }
        std::printf("figure search_rows %d\n", window_->lstMainFiles()->ItemCount());
        const Surface surface = surfaceOf(window_->lstMainFiles()->grid());
        box->setEditText(QString());
        window_->moTimer_Timer();
        settle();
        addStep("search_after_pause", timings, queries, surface, false, -1, before);
    }

    // Sorts by the file name, changing the direction each run; the last run's order is the one
    // the paging then goes through, and the reference reads.
    void sort()
    {
        SimpleReport* list = window_->lstMainFiles();
        const auto column = list->grid()->Columns()->Item(Variant(gtFileCaption));
        if (!column) {
            std::fprintf(stderr, "no column %s\n", qPrintable(gtFileCaption));
            std::exit(1);
        }
        std::vector<Timing> timings;
        for (int i = 0; i < runs_; ++i) {
            const bool ascending = i % 2 == 1;
            gQueries.clear();
            timings.push_back(timeStep(files_, [&] { list->Resort(int16_t(column->Index()), ascending); }));
        }
        if (gQueries.size() != 1) {
            std::fprintf(stderr, "the sort read %d queries\n", int(gQueries.size()));
            std::exit(1);
        }
        sortQuery_ = gQueries.front();
        addStep("sort_by_name", timings, gQueries, surfaceOf(list->grid()));
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
    // (the sort's keys, each page's rows read by key and painted): each End follows its own
    // paging, as a user's End follows the pages before it. (Timed after the reference's
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
        // The reference's keys are read after the window's high-water mark is taken.
        peak_ = peakResidentMb();
        const Surface surface = surfaceOf(list->grid());
        RawResult sorted;
        if (!raw_.read(sortQuery_.sql, sortQuery_.parameters, kKeyedRowsDefault, sorted)) failed(raw_, sortQuery_.sql);
        // A page down moves by the rows that fit whole.
        const int page = std::max(1, list->grid()->ScrollWnd()->ScrollAreaHeight() / surface.rowHeight);

        std::vector<Timing> pages, ends;
        std::vector<double> pagesReference, endsReference;
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
                for (int p = 1; p <= kPageDowns; ++p) paintScreen(raw_, sortQuery_, sorted, surface, p * page);
            }));
            endsReference.push_back(seconds([&] { paintScreen(raw_, sortQuery_, sorted, surface, -1); }));
        }
        if (list->SelectedIndex() != list->ItemCount() - 1) {
            std::fprintf(stderr, "End selected row %d of %d\n", list->SelectedIndex(), list->ItemCount());
            std::exit(1);
        }
        pages_ = medianOf(pages, &Timing::seconds);
        pagesStall_ = medianOf(pages, &Timing::stall);
        end_ = medianOf(ends, &Timing::seconds);
        endStall_ = medianOf(ends, &Timing::stall);
        pagesReference_ = median(pagesReference);
        endReference_ = median(endsReference);
    }

    QString catalogue_, empty_;
    RawReference& raw_;
    int runs_;
    bool whole_;
    std::unique_ptr<frmMain> window_;
    PaintWatch files_, drill_;
    StallWatch stalls_;
    QImage image_;
    std::vector<Step> steps_;
    Query sortQuery_;
    double pages_ = 0, end_ = 0, pagesReference_ = 0, endReference_ = 0, peak_ = 0;
    double pagesStall_ = 0, endStall_ = 0;
};

// The engine's quick check of every page, which a catalogue passes before anything is written
// to it (the window runs it beside the list above the foreground limit): median of three, each
// on a new connection, the key derived before the clock starts.
void printCheckCost(const QString& catalogue)
{
    std::vector<double> times;
    for (int i = 0; i < 3; ++i) {
        DbError e;
        auto db = Database::Open(catalogue, kProgramKey, &e);
        if (!db) {
            std::fprintf(stderr, "cannot open %s: %s\n", qPrintable(catalogue), qPrintable(e.description));
            std::exit(1);
        }
        QElapsedTimer clock;
        clock.start();
        const DbError fault = db->QuickCheck();
        times.push_back(double(clock.nsecsElapsed()) / 1e9);
        db->Close();
        if (fault) {
            std::fprintf(stderr, "quick check: %s\n", qPrintable(fault.description));
            std::exit(1);
        }
    }
    std::sort(times.begin(), times.end());
    std::printf("figure quick_check %.6f\n", times[1]);
}

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
    UseBackgroundReads();
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
        // Five runs at every size: a shared machine's moments of load move a median of three.
        Bench bench(catalogue, empty, raw, 5);
        bench.run();
    }
    CloseDB();
    printCheckCost(catalogue);
    return 0;
}
