// What a user waits for in the main window, on a generated catalogue (100,000 files with 500
// categories and 20,000 starts in the history; another number of files as the argument), in the
// real main window shown offscreen at 1280 x 1024: opening the catalogue to the first painted
// list; switching to each view, the category and history views with their first node opened;
// a search by file name and one by path once typing pauses; every selection of the filter
// pane (the shipped ones and one the user stored); a sort by every column of the file list;
// 100 page-downs and End.
//
// Each step beside its reference, which does the same work the plainest way, through the
// engine's C interface (its own copy, with the same Jet functions) and QPainter:
// - open: opens the catalogue file with its key (a new connection each run), then reads the
//   step's queries as below;
// - every step: runs the SQL texts the window's lists read in that step. A large result whose
//   first column is its table's key is read as its keys in the shown order, any other whole
//   (as the window decides, with the window's own check for repeated keys; a list the engine
//   would sort after reading its table in order as its keys and sort column, sorted apart,
//   as the window reads it); then the rows of
//   the first screen of the largest result are read by key (the query narrowed to those keys)
//   and painted with QPainter in the columns the list shows, where it shows them. What the
//   window read while a step was set up (the whole list before a search or a selection) the
//   reference reads before it too, untimed;
// - page-downs and End: from the keys of the sort's query, each page's rows read by key and
//   painted, then the last screen's.
// Every run of a step is followed at once by its reference's, so that the load of a shared
// machine falls on both alike; the views run in turn, each from the one before, and so do
// their references, so that each finds the caches as the view before it left them.
// With MAINWINDOW_BENCH_WHOLE set, each step also gets the former reference, which reads every
// row of every query into arrays and paints the first screen from them ("_whole_reference"):
// it shows what reading keys first gains, not how close the window comes to the machine.
//
// The window reads as the program does: large reads run on its second connection while the
// window goes on painting. While each step runs, a timer of 2 ms records the longest time the
// window's event loop did not run (the longest stall), and a thread hands the window system a
// key event every 5 ms and notes the longest any waited until it was handled (input held):
// the window holds the user's input while it waits for a read, which the timer does not see.
// Both run from the start of the step until its list painted and the events it left were
// handled. Every step runs once before the runs are timed, the window alone; the peak
// resident memory is taken then, before any reference runs.
// The catalogue is built once and kept beside the benchmark (mainwindow_bench_<files>.MDB), or
// in the folder MAINWINDOW_BENCH_DATA names.
// Output lines (medians over five runs):
//   figure <step> <seconds>    figure <step>_reference <seconds>    ratio <step> <window / reference>
//   figure <step>_longest_stall <seconds>    figure <step>_input_held <seconds>
//   figure peak_resident_mb <MB>

#include "benchcatalogue.h"
#include "rawreference.h"

#include "catalogue/core/moddatabase.h"
#include "catalogue/core/modglobals.h"
#include "catalogue/core/modmain.h"
#include "catalogue/mainwindow/clsfilter.h"
#include "catalogue/mainwindow/frmmain.h"
#include "catalogue/mainwindow/searchpane.h"
#include "catalogue/mainwindow/sidepane.h"
#include "catalogue/mainwindow/viewsql.h"
#include "catalogue/reports/reportview.h"
#include "catalogue/reports/simplereport.h"
#include "catalogue/tree/ctreeitem.h"
#include "catalogue/tree/usertree.h"
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
#include <QInputDevice>
#include <QKeyEvent>
#include <QPainter>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimer>
#include <QWindow>
#include <qpa/qwindowsysteminterface.h>

#include <sys/resource.h>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <optional>
#include <string>
#include <thread>

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

// The longest time an input event waited between its arrival and its handling: a thread hands
// the window system a key event for a window of its own every few milliseconds, as a user's
// keys arrive, and the window notes how long each waited. Input the main window holds back
// during a read waits with it; so does input that arrives while the thread is busy.
class InputWatch : public QWindow {
public:
    InputWatch()
    {
        resize(1, 1);
        create();
        // The keyboard device is made at its first use, as a child of the application: here,
        // not in the thread.
        QInputDevice::primaryKeyboard();
        clock_.start();
    }
    ~InputWatch() override { stopThread(); }
    void start()
    {
        longest_ = 0;
        sent_ = handled_ = 0;
        running_ = true;
        thread_ = std::thread([this] {
            while (running_) {
                ++sent_;
                QWindowSystemInterface::handleKeyEvent<QWindowSystemInterface::AsynchronousDelivery>(
                    this, ulong(clock_.elapsed()), QEvent::KeyRelease, Qt::Key_F35, Qt::NoModifier);
                std::this_thread::sleep_for(std::chrono::milliseconds(kEveryMs));
            }
        });
    }
    // Stops sending and handles what is still on its way.
    double stop()
    {
        stopThread();
        QElapsedTimer t;
        t.start();
        while (handled_ < sent_ && t.elapsed() < 10000) QApplication::processEvents();
        return longest_;
    }

protected:
    bool event(QEvent* e) override
    {
        if (e->type() != QEvent::KeyRelease) return QWindow::event(e);
        const auto* key = static_cast<QKeyEvent*>(e);
        longest_ = std::max(longest_, double(clock_.elapsed() - qint64(key->timestamp())) / 1000.0);
        ++handled_;
        return true;
    }

private:
    static constexpr int kEveryMs = 5;
    void stopThread()
    {
        running_ = false;
        if (thread_.joinable()) thread_.join();
    }
    QElapsedTimer clock_;
    std::thread thread_;
    std::atomic<bool> running_{false};
    std::atomic<int> sent_{0};
    int handled_ = 0;
    double longest_ = 0;
};

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

    // Every step once, the window alone, so that the peak resident memory is the window's
    // and no run is the first; then the runs, each step of the window followed at once by
    // its reference, so that both see the machine in the same state.
    void run()
    {
        const std::vector<Group> groups = plan();
        for (const Group& g : groups) {
            for (const Step& step : g.steps) {
                step.prepare(0);
                timeStep(*step.watch, [&] { step.act(0); });
                if (step.check) step.check();
            }
            if (g.after) g.after();
        }
        const QRegularExpression only(qEnvironmentVariable("MAINWINDOW_BENCH_STEPS"));
        const bool pages = only.pattern().isEmpty() || only.match(QStringLiteral("page_down_100 end")).hasMatch();
        if (pages) paging(true);
        peak_ = peakResidentMb();
        for (const Group& g : groups) runGroup(g);
        if (pages) paging(false);
        std::printf("figure files_shown %d\n", window_->lstMainFiles()->ItemCount());
        std::printf("figure peak_resident_mb %.0f\n", peak_);
    }

private:
    struct Timing {
        double seconds, stall, held;
    };
    // A step: `prepare` sets the window up, untimed (the reference reads what the window read
    // then, untimed as well, so that both find their caches alike); `act` is what the user
    // does, timed until the list in `watch` painted. Both get the run's number.
    struct Step {
        std::string name;
        PaintWatch* watch;
        std::function<void(int)> prepare;
        std::function<void(int)> act;
        std::function<vantile::ListView*()> grid;  // the list the step paints
        bool opens = false;                        // the step opens the catalogue
        std::function<void()> check;               // after the first run: did the step do its work?
    };
    // Steps taken one after the other in each run (the views each start from the one before).
    struct Group {
        std::vector<Step> steps;
        std::function<void()> after;  // after the group's runs: back to the plain file list
    };

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

    [[noreturn]] static void fail(const std::string& what)
    {
        std::fprintf(stderr, "%s\n", what.c_str());
        std::exit(1);
    }

    // Runs one step and waits until the watched list painted after it; the stall and input
    // watches run on until the events the step left are handled.
    Timing timeStep(PaintWatch& watch, const std::function<void()>& step)
    {
        const int mark = watch.paints;
        input_.start();
        stalls_.start();
        QElapsedTimer t;
        t.start();
        step();
        while (watch.paints == mark && t.elapsed() < 10000) QApplication::processEvents();
        const double seconds = double(t.nsecsElapsed()) / 1e9;
        settle();
        const double stall = stalls_.stop();
        return {seconds, stall, input_.stop()};
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

    // The reference of one run of a step: what the window read while it was set up (untimed),
    // then, timed, the catalogue opened when the step opens it, the step's queries read as
    // the window reads them (keys first where it does), and the first screen of the largest
    // result read by key and painted.
    double referenceOnce(const std::vector<Query>& before, const std::vector<Query>& queries, const Surface& surface,
                         bool opens)
    {
        for (const Query& q : before) {
            RawResult result;
            if (!raw_.read(q.sql, q.parameters, kKeyedRowsDefault, result)) failed(raw_, q.sql);
        }
        QElapsedTimer t;
        t.start();
        std::unique_ptr<RawReference> opened;
        RawReference* raw = &raw_;
        if (opens) {
            opened = std::make_unique<RawReference>();
            if (!opened->open(catalogue_, kProgramKey)) failed(*opened, catalogue_);
            raw = opened.get();
        }
        std::vector<RawResult> results(queries.size());
        size_t largest = 0;
        for (size_t q = 0; q < queries.size(); ++q) {
            if (!raw->read(queries[q].sql, queries[q].parameters, kKeyedRowsDefault, results[q]))
                failed(*raw, queries[q].sql);
            if (results[q].rows() > results[largest].rows()) largest = q;
        }
        if (!results.empty()) paintScreen(*raw, queries[largest], results[largest], surface, 0);
        return double(t.nsecsElapsed()) / 1e9;
    }

    // The former reference: every row of every query into plain arrays, the first screen of the
    // largest painted from them.
    double wholeReference(const std::vector<Query>& queries, const Surface& surface)
    {
        QElapsedTimer t;
        t.start();
        std::vector<RawTable> tables(queries.size());
        size_t largest = 0;
        for (size_t q = 0; q < queries.size(); ++q) {
            if (!raw_.run(queries[q].sql, queries[q].parameters, tables[q])) failed(raw_, queries[q].sql);
            if (tables[q].rows() > tables[largest].rows()) largest = q;
        }
        if (!tables.empty()) paintRows(tables[largest], surface, 0);
        return double(t.nsecsElapsed()) / 1e9;
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

    // The runs of a group: in each, every step of the window and at once its reference.
    void runGroup(const Group& g)
    {
        std::vector<std::vector<Timing>> timings(g.steps.size());
        std::vector<std::vector<double>> references(g.steps.size()), wholes(g.steps.size());
        for (int i = 0; i < runs_; ++i)
            for (size_t s = 0; s < g.steps.size(); ++s) {
                const Step& step = g.steps[s];
                gQueries.clear();
                step.prepare(i);
                settle();
                const std::vector<Query> before = gQueries;
                gQueries.clear();
                timings[s].push_back(timeStep(*step.watch, [&] { step.act(i); }));
                const std::vector<Query> queries = gQueries;
                const Surface surface = surfaceOf(step.grid());
                references[s].push_back(referenceOnce(before, queries, surface, step.opens));
                if (whole_) wholes[s].push_back(wholeReference(queries, surface));
            }
        if (g.after) g.after();
        for (size_t s = 0; s < g.steps.size(); ++s) {
            const char* name = g.steps[s].name.c_str();
            report(name, medianOf(timings[s], &Timing::seconds), median(references[s]));
            if (whole_) report(name, medianOf(timings[s], &Timing::seconds), median(wholes[s]), "whole_reference");
            std::printf("figure %s_longest_stall %.6f\n", name, medianOf(timings[s], &Timing::stall));
            std::printf("figure %s_input_held %.6f\n", name, medianOf(timings[s], &Timing::held));
        }
        std::fflush(stdout);
    }

    vantile::ListView* filesGrid() const { return window_->lstMainFiles()->grid(); }
    vantile::ListView* drillGrid() const { return window_->lstMain()->grid(); }

    static void nothing(int) {}

    std::vector<Group> plan()
    {
        std::vector<Group> groups;
        groups.push_back({{openStep()}, nullptr});
        groups.push_back({viewSteps(), [this] { window_->BuildView(kViewFiles); settle(); }});
        groups.push_back({searchSteps(), [this] { clearSearch(); }});
        groups.push_back({filterSteps(), [this] { chooseFilter(0); }});
        groups.push_back({sortSteps(), nullptr});
        // MAINWINDOW_BENCH_STEPS (a pattern) times only the groups with a step it finds, after
        // the opening, which every later step needs: a quicker run while working on one of them.
        const QRegularExpression only(qEnvironmentVariable("MAINWINDOW_BENCH_STEPS"));
        if (only.pattern().isEmpty() || !only.isValid()) return groups;
        std::vector<Group> chosen{groups.front()};
        for (size_t g = 1; g < groups.size(); ++g)
            if (std::any_of(groups[g].steps.begin(), groups[g].steps.end(),
                            [&only](const Step& s) { return only.match(QString::fromStdString(s.name)).hasMatch(); }))
                chosen.push_back(groups[g]);
        return chosen;
    }

    Step openStep()
    {
        Step s{"open_to_painted_list", &files_,
               [this](int) {
                   window_->OpenDatabaseFile(empty_);
                   settle();
               },
               [this](int) { window_->OpenDatabaseFile(catalogue_); },
               [this] { return filesGrid(); }, true, nullptr};
        s.check = [this] {
            if (window_->lstMainFiles()->ItemCount() == 0) fail("the catalogue opened with no files shown");
        };
        return s;
    }

    // The views in turn, each from the one before; the tree views with their first node
    // opened (a key down from the root the view selects).
    std::vector<Step> viewSteps()
    {
        std::vector<Step> steps;
        auto view = [&](const char* name, int mode) {
            const bool files = mode == kViewFiles || mode == kViewNewFiles;
            steps.push_back({name, files ? &files_ : &drill_, nothing, [this, mode](int) { window_->BuildView(mode); },
                             [this, files] { return files ? filesGrid() : drillGrid(); }, false, nullptr});
        };
        auto firstNode = [&](const char* name) {
            steps.push_back({name, &drill_, nothing, [this](int) { press(treeTarget(), Qt::Key_Down); },
                             [this] { return drillGrid(); }, false, [this, name] {
                                 const auto item = window_->treeMain()->SelectedItem();
                                 if (!item || item->Level != 2) fail(std::string(name) + ": no first node opened");
                             }});
        };
        view("view_new_files", kViewNewFiles);
        view("view_categories", kViewCategories);
        firstNode("categories_first_node");
        view("view_history", kViewHistory);
        firstNode("history_first_node");
        view("view_files", kViewFiles);
        return steps;
    }

    // A search as the pause after typing starts it, by file name and by path; each run begins
    // from the whole list again (untimed).
    std::vector<Step> searchSteps()
    {
        std::vector<Step> steps;
        auto search = [&](const char* name, int box, const QString& text) {
            steps.push_back({name, &files_,
                             [this](int) { clearSearch(); },
                             [this, box, text](int) {
                                 window_->searchPane()->cboSearch(box)->setEditText(text);
                                 window_->moTimer_Timer();
                             },
                             [this] { return filesGrid(); }, false, [this, name] {
                                 std::printf("figure %s_rows %d\n", name, window_->lstMainFiles()->ItemCount());
                             }});
        };
        search("search_after_pause", 1, QStringLiteral("dash"));
        search("search_path_after_pause", 2, QStringLiteral("/Q/"));
        return steps;
    }

    // Back to the whole list.
    void clearSearch()
    {
        for (int b = 1; b <= 2; ++b) window_->searchPane()->cboSearch(b)->setEditText(QString());
        window_->moTimer_Timer();
        settle();
    }

    // A row of the filter pane chosen, as a click on it chooses it.
    void chooseFilter(int row)
    {
        SidePane* pane = window_->lvFilter();
        pane->SetCurrentRow(row);
        pane->RowChosen.raise(pane->Key(row));
        settle();
    }

    // Every selection of the filter pane, the shipped ones and one the user stored, each from
    // the whole list.
    std::vector<Step> filterSteps()
    {
        // A stored selection: names holding "Raid" of more than 100,000 bytes.
        constexpr qint32 kStoredId = 99;
        if (FilterPtr stored = AddSelection(window_->filters(), QStringLiteral("Große Raids"), kStoredId)) {
            stored->Add(QStringLiteral("tFile"), QStringLiteral("( )"), QStringLiteral("Raid"), QString());
            stored->Add(QStringLiteral("lSize"), QStringLiteral(">"), QStringLiteral("100000"), QString());
            window_->lvFilter()->AddRow(stored->Name, kStoredId);
        }
        std::vector<Step> steps;
        SidePane* pane = window_->lvFilter();
        for (int row = 1; row < pane->RowCount(); ++row) {
            const FilterPtr* selection = window_->filters().item(QString::number(pane->Key(row)));
            if (!selection) continue;
            const qint32 key = pane->Key(row);
            std::string name = "filter_" + asciiName((*selection)->Name);
            steps.push_back({name, &files_, [this](int) { chooseFilter(0); },
                             [this, row](int) {
                                 SidePane* p = window_->lvFilter();
                                 p->SetCurrentRow(row);
                                 p->RowChosen.raise(p->Key(row));
                             },
                             [this] { return filesGrid(); }, false, [this, name, key] {
                                 if (window_->lvFilter()->Key(window_->lvFilter()->CurrentRow()) != key)
                                     fail(name + ": not chosen");
                                 std::printf("figure %s_rows %d\n", name.c_str(), window_->lstMainFiles()->ItemCount());
                             }});
        }
        if (steps.size() < 2) fail("the filter pane has no selections");
        return steps;
    }

    // A name for a figure: lower-case letters, digits and "_".
    static std::string asciiName(const QString& text)
    {
        std::string name;
        for (const QChar c : text.toLower()) {
            if (c == u'ä') name += "ae";
            else if (c == u'ö') name += "oe";
            else if (c == u'ü') name += "ue";
            else if (c == u'ß') name += "ss";
            else if ((c >= u'a' && c <= u'z') || (c >= u'0' && c <= u'9')) name += char(c.unicode());
            else if (!name.empty() && name.back() != '_') name += '_';
        }
        while (!name.empty() && name.back() == '_') name.pop_back();
        return name;
    }

    // Sorts by every column the file list shows, changing the direction each run; the file
    // name last, whose order the paging then goes through.
    std::vector<Step> sortSteps()
    {
        static const char* const names[] = {"type", "name", "size", "path", "model", "os", "basic", "video",
                                            "memo", "archive_path", "created", "count", "category", "started"};
        const QStringList keys = ViewColumnKeys();
        SimpleReport* list = window_->lstMainFiles();
        std::vector<Step> steps;
        std::optional<Step> byName;
        for (const auto& column : list->grid()->Columns()->Items()) {
            if (column->Width() <= 0) continue;
            const QString key = column->Key();
            const qsizetype at = keys.indexOf(key);
            const std::string name =
                "sort_by_" + (at >= 0 && at < qsizetype(std::size(names)) ? std::string(names[at]) : asciiName(key));
            Step step{name, &files_, nothing,
                      [this, key](int run) {
                          SimpleReport* l = window_->lstMainFiles();
                          const auto c = l->grid()->Columns()->Item(Variant(key));
                          l->Resort(int16_t(c->Index()), run % 2 == 1);
                      },
                      [this] { return filesGrid(); }, false, nullptr};
            if (key == gtFileCaption) byName = step;
            else steps.push_back(step);
        }
        if (!byName) fail("no column " + gtFileCaption.toStdString());
        steps.push_back(*byName);
        return steps;
    }

    // Keys go to the list's surface, as a user's would.
    static QWidget* focusTarget(QWidget* control)
    {
        for (QWidget* w : control->findChildren<QWidget*>())
            if (w->focusPolicy() & Qt::StrongFocus) return w;
        return control;
    }
    QWidget* keyTarget() const { return focusTarget(window_->lstMainFiles()->grid()); }
    QWidget* treeTarget() const { return focusTarget(window_->treeMain()); }

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
    // paging, as a user's End follows the pages before it. `once`: the window alone, one run.
    void paging(bool once)
    {
        SimpleReport* list = window_->lstMainFiles();
        QWidget* target = keyTarget();
        target->setFocus();
        list->setSelectedIndex(0);
        press(target, Qt::Key_Home);
        settle();
        const Surface surface = surfaceOf(list->grid());
        // The sort's query, as the list reads it now.
        gQueries.clear();
        list->Requery();
        settle();
        if (gQueries.size() != 1) fail("the sorted list read " + std::to_string(gQueries.size()) + " queries");
        const Query sortQuery = gQueries.front();
        RawResult sorted;
        if (!once && !raw_.read(sortQuery.sql, sortQuery.parameters, kKeyedRowsDefault, sorted)) failed(raw_, sortQuery.sql);
        // A page down moves by the rows that fit whole.
        const int page = std::max(1, list->grid()->ScrollWnd()->ScrollAreaHeight() / surface.rowHeight);

        std::vector<Timing> pages, ends;
        std::vector<double> pagesReference, endsReference;
        for (int i = 0; i < (once ? 1 : runs_); ++i) {
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
            if (once) return;
            pagesReference.push_back(seconds([&] {
                for (int p = 1; p <= kPageDowns; ++p) paintScreen(raw_, sortQuery, sorted, surface, p * page);
            }));
            endsReference.push_back(seconds([&] { paintScreen(raw_, sortQuery, sorted, surface, -1); }));
        }
        if (list->SelectedIndex() != list->ItemCount() - 1)
            fail("End selected row " + std::to_string(list->SelectedIndex()) + " of " + std::to_string(list->ItemCount()));
        report("page_down_100", medianOf(pages, &Timing::seconds), median(pagesReference));
        std::printf("figure page_down_100_longest_stall %.6f\n", medianOf(pages, &Timing::stall));
        std::printf("figure page_down_100_input_held %.6f\n", medianOf(pages, &Timing::held));
        report("end", medianOf(ends, &Timing::seconds), median(endsReference));
        std::printf("figure end_longest_stall %.6f\n", medianOf(ends, &Timing::stall));
        std::printf("figure end_input_held %.6f\n", medianOf(ends, &Timing::held));
    }

    QString catalogue_, empty_;
    RawReference& raw_;
    int runs_;
    bool whole_;
    std::unique_ptr<frmMain> window_;
    PaintWatch files_, drill_;
    StallWatch stalls_;
    InputWatch input_;
    QImage image_;
    double peak_ = 0;
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
    const QString folder = qEnvironmentVariableIsSet("MAINWINDOW_BENCH_DATA")
                               ? qEnvironmentVariable("MAINWINDOW_BENCH_DATA")
                               : QCoreApplication::applicationDirPath();
    const QString catalogue = folder + QStringLiteral("/mainwindow_bench_%1.MDB").arg(files);

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
