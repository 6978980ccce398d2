// The site list's grid paint, its model's block reads and the list report fed row by row.
#include "common/appearance.h"
#include "common/dialogs.h"
#include "common/recordgrid.h"
#include "helpers/testenv.h"
#include "mainwin/mainwindow.h"
#include "mainwin/siteactions.h"
#include "mainwin/sitelistdelegate.h"
#include "mainwin/sitelistmodel.h"
#include "mainwin/sitelistreport.h"

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QHeaderView>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPrinter>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QStandardItemModel>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QtTest>

using zorbin::mainwin::MainWindow;
using zorbin::mainwin::SiteCellDelegate;
using zorbin::mainwin::SiteListDelegate;
using zorbin::mainwin::SiteListModel;
using zorbin::mainwin::SiteListReport;

using zorbin::store::SearchColumn;
using zorbin::store::SiteListRow;

namespace {

bool fillSites(TestEnv &env, int n)
{
    return env.sql(QByteArray("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n "
                              "WHERE i < " +
                              QByteArray::number(n) +
                              ") INSERT INTO Table_Site(ID,Onvan,Address,Mozoo) "
                              "SELECT i, 'site ' || i, 'http://' || i || '.ir', "
                              "'موضوع ' || i FROM n")
                       .constData());
}

// Counts the paints of a widget.
class PaintCount : public QObject
{
public:
    explicit PaintCount(QWidget *widget) { widget->installEventFilter(this); }
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        count += event->type() == QEvent::Paint ? 1 : 0;
        return QObject::eventFilter(watched, event);
    }
    int count = 0;
};

QImage grab(QTableView &view)
{
    view.viewport()->repaint();
    return view.viewport()->grab().toImage();
}

} // namespace

class TestSiteListView : public QObject
{
    Q_OBJECT
private:
    std::unique_ptr<TestEnv> m_env;

private Q_SLOTS:
    void initTestCase() { zorbin::common::setupApplication(*qApp); }
    void init()
    {
        m_env = std::make_unique<TestEnv>();
        QVERIFY(m_env->ok());
    }
    void cleanup() { m_env.reset(); }

    void delegatePaintsAsTheDefaultOne();
    void delegateKeepsLaidOutTextsBounded();
    void blocksAcrossBoundariesWithGoneRows();
    void sameListIsNotReset();
    void rowsStreamAsTheGridHasThem();
    void reportStreamsMoreRowsThanOneBlock();
    void longListShowsItsFirstScreenFirst();
    void searchDuringTheRestStopsIt();
    void longSearchShowsItsFirstScreenFirst();
    void sitesChangedWhileASearchIsRead();
    void restBelowTheScreenIsNotRepainted();
    void printAndExportTakeTheWholeSearch();
    void firstScreenFillsATallWindow();
};

void TestSiteListView::delegatePaintsAsTheDefaultOne()
{
    TestEnv &env = *m_env;
    // Persian and Latin, short and too long for the cell, NULL and empty.
    env.addSite(QStringLiteral("کتابخانه ملی"), QStringLiteral("http://www.nlai.ir"),
                QStringLiteral("فرهنگ"), QStringLiteral("Ali"), QStringLiteral("0912"));
    env.addSite(
        QStringLiteral("Google Search"),
        QStringLiteral("https://www.a-very-long-address-that-does-not-fit.example.com/x"),
        QStringLiteral("news"),
        QStringLiteral("مدیر با نامی بسیار بلند که جا نمی‌شود"));
    env.addSite(QStringLiteral(""), QStringLiteral("http://x.ir"), QString());
    MainWindow page(*env.context);
    page.show();
    QVERIFY(QTest::qWaitForWindowExposed(&page));
    QTableView *grid = page.grid();
    QVERIFY(qobject_cast<SiteListDelegate *>(grid->itemDelegate()));
    grid->setCurrentIndex(grid->model()->index(1, 0)); // a selected row too

    const QImage ours = grab(*grid);
    // The reference: the same cell preparation (each text in its own direction, cut at its
    // end), painted by Qt's own delegate code without kept texts.
    SiteCellDelegate plain;
    grid->setItemDelegate(&plain);
    const QImage theirs = grab(*grid);
    grid->setItemDelegate(new SiteListDelegate(grid));
    QCOMPARE(ours.size(), theirs.size());
    // Glyphs placed by another path may differ in antialiasing of a pixel or two; the text
    // must stand where it stood.
    int differing = 0;
    for (int y = 0; y < ours.height(); ++y)
        for (int x = 0; x < ours.width(); ++x)
            differing += ours.pixel(x, y) != theirs.pixel(x, y) ? 1 : 0;
    if (differing > ours.width() * ours.height() / 2000) {
        ours.save(QDir::temp().filePath("sitelist-ours.png"));
        theirs.save(QDir::temp().filePath("sitelist-default.png"));
    }
    QVERIFY2(differing <= ours.width() * ours.height() / 2000,
             qPrintable(QStringLiteral("%1 pixels differ").arg(differing)));
}

void TestSiteListView::delegateKeepsLaidOutTextsBounded()
{
    TestEnv &env = *m_env;
    QVERIFY(fillSites(env, 3000));
    MainWindow page(*env.context);
    page.show();
    QVERIFY(QTest::qWaitForWindowExposed(&page));
    auto *delegate = qobject_cast<SiteListDelegate *>(page.grid()->itemDelegate());
    QVERIFY(delegate);
    grab(*page.grid());
    QVERIFY(delegate->cachedTexts() > 0);
    // Scrolling through the list lays out new texts; the kept ones stay bounded.
    for (int row = 0; row < 3000; row += 40) {
        page.grid()->scrollTo(page.grid()->model()->index(row, 1),
                              QAbstractItemView::PositionAtTop);
        page.grid()->viewport()->repaint();
        QVERIFY(delegate->cachedTexts() <= SiteListDelegate::MaxCachedTexts);
    }
}

void TestSiteListView::blocksAcrossBoundariesWithGoneRows()
{
    TestEnv &env = *m_env;
    constexpr int kBlock = SiteListModel::BlockSize;
    QVERIFY(fillSites(env, 4 * kBlock));
    SiteListModel model(*env.store);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    // A search result whose rows are scattered over the table: every 3rd site.
    QVector<qint64> ids;
    for (qint64 id = 1; id <= 4 * kBlock; id += 3)
        ids << id;
    model.setIds(ids);
    // Gone before its block is read: the row keeps its ID only.
    const int goneRow = kBlock + 1; // the second row of the second block
    QVERIFY(
        env.sql(QByteArray("DELETE FROM Table_Site WHERE ID = " + QByteArray::number(ids[goneRow]))
                    .constData()));
    for (int row = kBlock - 2; row <= kBlock + 2; ++row) {
        QCOMPARE(model.index(row, 0).data().toLongLong(), ids[row]);
        QCOMPARE(model.index(row, 1).data().toString(),
                 row == goneRow ? QString() : QStringLiteral("site %1").arg(ids[row]));
    }
    // Gone while its block is held: the grid keeps what it read until the list is read
    // again, and the report prints what the grid shows.
    const int heldRow = kBlock - 1;
    QVERIFY(
        env.sql(QByteArray("DELETE FROM Table_Site WHERE ID = " + QByteArray::number(ids[heldRow]))
                    .constData()));
    QCOMPARE(model.index(heldRow, 1).data().toString(),
             QStringLiteral("site %1").arg(ids[heldRow]));
    QCOMPARE(model.allRows().at(heldRow).texts[0], QStringLiteral("site %1").arg(ids[heldRow]));
    model.setIds(ids);
    QCOMPARE(model.index(heldRow, 1).data().toString(), QString());
    QCOMPARE(model.index(model.rowCount() - 1, 1).data().toString(),
             QStringLiteral("site %1").arg(ids.last()));
}

void TestSiteListView::sameListIsNotReset()
{
    TestEnv &env = *m_env;
    QVERIFY(fillSites(env, 10));
    SiteListModel model(*env.store);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    QVERIFY(model.showAll());
    QCOMPARE(model.index(2, 1).data().toString(), QStringLiteral("site 3"));
    QSignalSpy resets(&model, &QAbstractItemModel::modelReset);
    QSignalSpy changes(&model, &QAbstractItemModel::dataChanged);
    QSignalSpy replaced(&model, &SiteListModel::listReplaced);
    // Edited elsewhere; the same list read again shows the new text without a reset.
    QVERIFY(env.sql("UPDATE Table_Site SET Onvan = 'renamed' WHERE ID = 3"));
    QVERIFY(model.showAll());
    QCOMPARE(resets.size(), 0);
    QCOMPARE(changes.size(), 1);
    QCOMPARE(replaced.size(), 1);
    QCOMPARE(model.index(2, 1).data().toString(), QStringLiteral("renamed"));
    // Another list resets.
    QVERIFY(model.showSearch(zorbin::store::SearchColumn::Onvan, QStringLiteral("site 1")));
    QCOMPARE(resets.size(), 1);
    QCOMPARE(replaced.size(), 2);
    QCOMPARE(model.rowCount(), 2);
}

void TestSiteListView::rowsStreamAsTheGridHasThem()
{
    TestEnv &env = *m_env;
    constexpr int kRows = 3 * SiteListModel::BlockSize + 7;
    QVERIFY(fillSites(env, kRows));
    SiteListModel model(*env.store);
    QVERIFY(model.showAll());
    // One block held by the grid, then a row in it and one outside it go.
    QCOMPARE(model.index(SiteListModel::BlockSize + 3, 1).data().toString(),
             QStringLiteral("site %1").arg(SiteListModel::BlockSize + 4));
    QVERIFY(env.sql(QByteArray("DELETE FROM Table_Site WHERE ID IN (5, " +
                               QByteArray::number(SiteListModel::BlockSize + 4) + ")")
                        .constData()));
    QVector<SiteListRow> streamed;
    QVERIFY(model.forEachRow([&](const SiteListRow &row) {
        streamed << row;
        return true;
    }));
    const QVector<SiteListRow> all = model.allRows();
    QCOMPARE(streamed.size(), kRows);
    QCOMPARE(all.size(), kRows);
    for (int r = 0; r < kRows; ++r) {
        QCOMPARE(streamed[r].id, all[r].id);
        QCOMPARE(streamed[r].texts, all[r].texts);
    }
    QVERIFY(streamed[4].texts[0].isNull()); // gone, not held: its ID only
    QCOMPARE(streamed[SiteListModel::BlockSize + 3].texts[0],
             QStringLiteral("site %1").arg(SiteListModel::BlockSize + 4)); // held
    // A search result streams only its rows; the sink may stop.
    QVERIFY(model.showSearch(zorbin::store::SearchColumn::Onvan, QStringLiteral("site 1")));
    int handed = 0;
    QVERIFY(model.forEachRow([&](const SiteListRow &row) {
        return row.texts[0].startsWith(QStringLiteral("site 1")) && ++handed < 5;
    }));
    QCOMPARE(handed, 5);
    // A list set in another order after an ordered one streams in its own order, from any
    // first row.
    model.setIds({9, 3, 7, 1});
    QVector<qint64> order;
    QVERIFY(model.forEachRow(
        [&](const SiteListRow &row) {
            order << row.id;
            return true;
        },
        1));
    QCOMPARE(order, (QVector<qint64>{3, 7, 1}));
}

void TestSiteListView::reportStreamsMoreRowsThanOneBlock()
{
    TestEnv &env = *m_env;
    constexpr int kRows = 2 * SiteListModel::BlockSize + 30;
    QVERIFY(fillSites(env, kRows));
    SiteListModel model(*env.store);
    QVERIFY(model.showAll());
    int reads = 0;
    int handedAtOnce = 0;
    const SiteListReport streamed(
        [&](int first, const SiteListReport::RowSink &sink) {
            ++reads;
            return model.forEachRow(
                [&](const SiteListRow &row) {
                    ++handedAtOnce;
                    return sink(row);
                },
                first);
        },
        model.rowCount());
    QCOMPARE(streamed.records(), kRows);
    const SiteListReport held(model.allRows());
    QCOMPARE(held.records(), kRows);

    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    zorbin::common::report::preparePrinter(printer, QPageLayout::Landscape, QStringLiteral("test"));
    // The same pages as from the rows held, each row read once to count the pages and once
    // to lay them out.
    const QStringList texts = streamed.pageTexts(&printer);
    QCOMPARE(texts, held.pageTexts(&printer));
    QCOMPARE(handedAtOnce, 2 * kRows);
    QVERIFY(texts.size() > 1);
    QVERIFY(texts.last().contains(QStringLiteral("site %1").arg(kRows)));
    QVERIFY(texts.first().contains(QStringLiteral("صفحه 1 از %1").arg(texts.size())));

    // Painted page by page: counted once, painted once.
    QTemporaryDir dir;
    reads = 0;
    QVERIFY(streamed.savePdf(dir.filePath("list.pdf")));
    QCOMPARE(reads, 2);
    QVERIFY(QFileInfo(dir.filePath("list.pdf")).size() > 1000);

    // A read that fails part way is no success.
    const SiteListReport failing(
        [&](int, const SiteListReport::RowSink &sink) -> zorbin::store::Result<void> {
            sink(model.rowAt(0));
            return zorbin::store::failure(zorbin::store::StoreError::Kind::Engine,
                                          QStringLiteral("gone"));
        },
        kRows);
    QVERIFY(!failing.savePdf(dir.filePath("failed.pdf")));
}

void TestSiteListView::longListShowsItsFirstScreenFirst()
{
    TestEnv &env = *m_env;
    QVERIFY(fillSites(env, 70000));
    QVERIFY(env.sql("DELETE FROM Table_Site WHERE ID IN (2, 256, 257, 40000)"));
    MainWindow page(*env.context);
    auto *total = page.findChild<QLabel *>(QStringLiteral("Label4"));
    auto *found = page.findChild<QLabel *>(QStringLiteral("Label7"));
    // The first screen at once, the first row current; no total yet rather than a wrong one.
    const int first = page.model()->rowCount();
    QVERIFY(first > 0 && first < 1000);
    QCOMPARE(page.grid()->currentIndex().row(), 0);
    QCOMPARE(total->text(), QString());
    QCOMPARE(page.model()->index(1, 1).data().toString(), QStringLiteral("site 3"));
    // The user moves meanwhile; the rest arrives as new rows below.
    page.grid()->setCurrentIndex(page.model()->index(5, 0));
    QTRY_COMPARE(total->text(), QStringLiteral("69996"));
    QCOMPARE(page.model()->rowCount(), 69996);
    QCOMPARE(found->text(), QStringLiteral("69996"));
    QCOMPARE(page.grid()->currentIndex().row(), 5);
    QCOMPARE(page.model()->ids(), env.store->siteIds().value());
}

void TestSiteListView::searchDuringTheRestStopsIt()
{
    TestEnv &env = *m_env;
    QVERIFY(fillSites(env, 70000));
    MainWindow page(*env.context);
    auto *total = page.findChild<QLabel *>(QStringLiteral("Label4"));
    auto *search = page.findChild<QLineEdit *>(QStringLiteral("Text1"));
    QVERIFY(page.model()->rowCount() < 1000);
    search->setText(QStringLiteral("site 6999"));
    QCOMPARE(page.model()->rowCount(), 11);
    QTest::qWait(50);
    QCOMPARE(page.model()->rowCount(), 11); // no rows of the full list added to the result
    // The total the stopped reading would have given is counted all the same.
    QTRY_COMPARE(total->text(), QStringLiteral("70000"));
    // The refresh button lists every site again, the first screen first, then its total.
    page.findChild<QPushButton *>(QStringLiteral("Button_Refresh"))->click();
    QVERIFY(page.model()->rowCount() < 1000);
    QCOMPARE(total->text(), QString());
    QCOMPARE(search->text(), QString());
    QTRY_COMPARE(total->text(), QStringLiteral("70000"));
    QCOMPARE(page.model()->rowCount(), 70000);
}

void TestSiteListView::longSearchShowsItsFirstScreenFirst()
{
    TestEnv &env = *m_env;
    QVERIFY(fillSites(env, 70000));
    MainWindow page(*env.context);
    auto *found = page.findChild<QLabel *>(QStringLiteral("Label7"));
    auto *search = page.findChild<QLineEdit *>(QStringLiteral("Text1"));
    const QVector<qint64> whole =
        env.store->searchSites(SearchColumn::Onvan, QStringLiteral("site 1")).value();
    QCOMPARE(whole.size(), 11111);

    search->setText(QStringLiteral("site 1"));
    // The first screen at once, without a count that would be wrong.
    const int first = page.model()->rowCount();
    QVERIFY(first >= 32 && first < 1000);
    QCOMPARE(page.model()->ids(), whole.mid(0, first));
    QCOMPARE(found->text(), QString());
    QCOMPARE(page.grid()->currentIndex().row(), 0);
    // The user moves meanwhile; the rest arrives below without moving the current row.
    page.grid()->setCurrentIndex(page.model()->index(5, 0));
    QTRY_COMPARE(found->text(), QStringLiteral("11111"));
    QCOMPARE(page.model()->ids(), whole);
    QCOMPARE(page.grid()->currentIndex().row(), 5);
    // The rows after the first screen, in the block the first screen's rows were read in,
    // are the result's rows.
    for (int row = first; row < first + SiteListModel::BlockSize; ++row)
        QCOMPARE(page.model()->rowAt(row).id, whole[row]);

    // A letter typed before the rest is read starts over with the new prefix.
    search->setText(QStringLiteral("site 2"));
    QVERIFY(page.model()->rowCount() < 1000);
    search->setText(QStringLiteral("site 29"));
    QTRY_COMPARE(found->text(), QStringLiteral("1111"));
    QCOMPARE(page.model()->ids(),
             env.store->searchSites(SearchColumn::Onvan, QStringLiteral("site 29")).value());
    // Few matches: the whole result and its count at once.
    search->setText(QStringLiteral("site 2999"));
    QCOMPARE(found->text(), QStringLiteral("11"));
    // Back to an empty box: every site, the total left as it is.
    auto *total = page.findChild<QLabel *>(QStringLiteral("Label4"));
    QTRY_COMPARE(total->text(), QStringLiteral("70000"));
    search->clear();
    QCOMPARE(total->text(), QStringLiteral("70000"));
    QTRY_COMPARE(found->text(), QStringLiteral("70000"));
}

void TestSiteListView::sitesChangedWhileASearchIsRead()
{
    TestEnv &env = *m_env;
    QVERIFY(fillSites(env, 70000));
    MainWindow page(*env.context);
    auto *found = page.findChild<QLabel *>(QStringLiteral("Label7"));
    auto *search = page.findChild<QLineEdit *>(QStringLiteral("Text1"));
    // A site of the first screen goes (the list is replaced when the rest is read), or one
    // after it (the rest follows the first screen without it).
    for (const qint64 gone : {qint64(10), qint64(15000)}) {
        search->clear();
        QTRY_COMPARE(found->text(), QString::number(page.model()->rowCount()));
        search->setText(QStringLiteral("site 1"));
        QCOMPARE(found->text(), QString());
        QCOMPARE(page.model()->ids().contains(gone), gone == 10);
        QVERIFY(env.sql(QByteArray("DELETE FROM Table_Site WHERE ID = " + QByteArray::number(gone))
                            .constData()));
        QTRY_VERIFY(!found->text().isEmpty());
        const QVector<qint64> whole =
            env.store->searchSites(SearchColumn::Onvan, QStringLiteral("site 1")).value();
        QVERIFY(!whole.contains(gone));
        QCOMPARE(page.model()->ids(), whole);
        QCOMPARE(found->text(), QString::number(whole.size()));
    }
}

void TestSiteListView::restBelowTheScreenIsNotRepainted()
{
    TestEnv &env = *m_env;
    QVERIFY(fillSites(env, 20000));
    MainWindow page(*env.context);
    page.show();
    QVERIFY(QTest::qWaitForWindowExposed(&page));
    auto *found = page.findChild<QLabel *>(QStringLiteral("Label7"));
    QTRY_VERIFY(!found->text().isEmpty());
    QTableView *grid = page.grid();
    PaintCount paints(grid->viewport());
    page.findChild<QLineEdit *>(QStringLiteral("Text1"))->setText(QStringLiteral("site 1"));
    QTRY_VERIFY(paints.count > 0);
    const int firstScreen = page.model()->rowCount();
    const int range = grid->verticalScrollBar()->maximum();
    // The rest of the result arrives below the screen: the scroll range grows, the rows
    // shown are not painted again.
    paints.count = 0;
    QTRY_COMPARE(found->text(), QStringLiteral("11111"));
    QTest::qWait(50);
    QCOMPARE(paints.count, 0);
    QVERIFY(page.model()->rowCount() > firstScreen);
    QVERIFY(grid->verticalScrollBar()->maximum() > range);
    // Scrolled to them, they are painted.
    grid->scrollToBottom();
    QTRY_VERIFY(paints.count > 0);
    QVERIFY(grab(*grid) != QImage());

    // Rows appended where the screen has room are painted at once.
    zorbin::common::RecordGrid shortList(2, [](int) { return 80; });
    QStandardItemModel rows(1, 2);
    shortList.setModel(&rows);
    shortList.resize(300, 300);
    shortList.show();
    QVERIFY(QTest::qWaitForWindowExposed(&shortList));
    PaintCount shortPaints(shortList.viewport());
    rows.appendRow(
        {new QStandardItem(QStringLiteral("x")), new QStandardItem(QStringLiteral("y"))});
    QTRY_VERIFY(shortPaints.count > 0);
}

QTEST_MAIN(TestSiteListView)
void TestSiteListView::printAndExportTakeTheWholeSearch()
{
    // Printed or saved while the rest of a long search still arrives: every site found,
    // and the count shown after.
    using zorbin::common::Dialogs;
    TestEnv &env = *m_env;
    QVERIFY(fillSites(env, 70000));
    MainWindow page(*env.context);
    zorbin::mainwin::SiteActions actions(*env.context, page, &page);
    auto *found = page.findChild<QLabel *>(QStringLiteral("Label7"));
    auto *search = page.findChild<QLineEdit *>(QStringLiteral("Text1"));
    const QString path = env.dir.path() + QStringLiteral("/sites.csv");
    for (const bool print : {true, false}) {
        search->clear();
        search->setText(QStringLiteral("site 1"));
        QVERIFY(page.model()->rowCount() < 1000);
        Dialogs::Script script;
        if (print) {
            actions.printList();
            const auto previews = script.of(Dialogs::Kind::Preview);
            QCOMPARE(previews.size(), 1);
            QCOMPARE(previews.first().records, 11111);
        } else {
            script.replies = {Dialogs::Reply::Yes, Dialogs::Reply::Yes};
            script.fileNames = {path};
            actions.exportSites();
            QCOMPARE(script.lastText(), QStringLiteral("11111 سايت در فايل ذخيره شد"));
            QCOMPARE(page.model()->rowCount(), 11111);
            QCOMPARE(found->text(), QStringLiteral("11111"));
        }
        QVERIFY(script.of(Dialogs::Kind::Error).isEmpty());
    }
}

void TestSiteListView::firstScreenFillsATallWindow()
{
    // On a tall screen the first screen of a long search reaches the grid's foot at once,
    // before the rest is read.
    TestEnv &env = *m_env;
    QVERIFY(fillSites(env, 30000));
    MainWindow page(*env.context);
    page.resize(900, 2400);
    page.show();
    QVERIFY(QTest::qWaitForWindowExposed(&page));
    QTableView *grid = page.grid();
    QVERIFY(grid->viewport()->height() > 1600);
    auto *found = page.findChild<QLabel *>(QStringLiteral("Label7"));
    QTRY_VERIFY(!found->text().isEmpty());
    page.findChild<QLineEdit *>(QStringLiteral("Text1"))->setText(QStringLiteral("site 1"));
    QCOMPARE(found->text(), QString()); // still reading
    QVERIFY(page.model()->rowCount() < 11111);
    QVERIFY(grid->rowAt(grid->viewport()->height() - 1) >= 0);
    QCOMPARE(grid->verticalScrollBar()->value(), 0);
}

#include "tst_sitelist_view.moc"
