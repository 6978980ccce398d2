#pragma once

#include "common/context.h"
#include "mainwin/sitelistaccess.h"
#include "store/records.h"
#include "store/result.h"

#include <QDate>
#include <QMainWindow>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QStatusBar;
class QTableView;
class QTimer;

namespace zorbin::common {
class RecordGrid;
}

namespace zorbin::mainwin {

class MainMenus;
class SiteActions;
class SiteListModel;

// The home window after login: the site list with its search, menus and status area.
class MainWindow : public QMainWindow, public SiteListAccess
{
    Q_OBJECT
public:
    explicit MainWindow(zorbin::common::Context &context, QWidget *parent = nullptr);

    SiteListModel *model() const { return m_model; }
    QTableView *grid() const;

    // SiteListAccess
    int shownCount() const override;
    bool readWholeList() override;
    qint64 selectedId() const override;
    QString selectedTitle() const override;
    QString selectedAddress() const override;
    QString selectedMobile() const override;
    QVector<zorbin::store::SiteListRow> shownRows() const override;
    zorbin::store::Result<void>
    forEachShownRow(const std::function<bool(const zorbin::store::SiteListRow &)> &sink,
                    int first = 0) const override;
    void reloadList() override;
    void focusSearch() override;

protected:
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildWidgets();
    QWidget *buildSearchRow(QWidget *central);
    QWidget *buildGrid(QWidget *central);
    void buildHolders(QWidget *central);
    QWidget *buildInfoRow(QWidget *central);
    void buildStatusBar();
    void buildClock();
    void chooseSearchColumn(int position, bool byUser);
    void runSearch();
    void refreshClicked();
    void showFullList();
    // At login: the first screen of the list at once, the rest and the total after it.
    // `recount`: the total is counted again (at login and on refresh).
    void showFirstScreen(bool recount = true);
    // Reads the next slice of a list or search whose first screen is shown; false when it
    // could not be read.
    bool loadMoreOfList();
    // Starts reading the rest once the grid has painted the first screen.
    void readRestAfterPaint();
    // The rows a search shows before the rest of its result is read.
    void updateHolders();
    void selectFirstRow();
    void openSelectedSite();
    void showPopup(const QPoint &viewportPos, const QPoint &globalPos);
    void updateFoundCount();
    void tick();
    void armClock();
    // Tells the user once when the list (or its count) could not be read.
    void noteListRead(const zorbin::store::Result<void> &read);

    zorbin::common::Context &m_context;
    MainMenus *m_menus = nullptr;
    SiteActions *m_actions = nullptr;
    SiteListModel *m_model = nullptr;

    zorbin::common::RecordGrid *m_grid = nullptr;
    QComboBox *m_combo = nullptr;
    QLineEdit *m_search = nullptr;
    QPushButton *m_refresh = nullptr;
    QLabel *m_nameCall = nullptr;
    QLineEdit *m_addressHolder = nullptr;
    QLineEdit *m_mobileHolder = nullptr;
    QLabel *m_clock = nullptr;
    QLabel *m_date = nullptr;
    QLabel *m_found = nullptr;
    QLabel *m_total = nullptr;
    QStatusBar *m_statusBar = nullptr;
    QTimer *m_clockTimer = nullptr;

    qint64 m_selectedId = 0;
    int m_searchPosition = -1;
    QDate m_shownDate;
    bool m_failureShown = false;
    // What is still being read, a slice at a time, after the first screen was shown.
    enum class Loading { Nothing, RestOfAll, RestOfSearch };
    Loading m_loading = Loading::Nothing;
    bool m_totalOwed = false;      // the full list's reading stopped before it gave the total
    bool m_restAfterPaint = false; // the rest is read once the grid has painted
    QTimer *m_loadTimer = nullptr;
    bool m_listFresh = false;       // the list was read at load; the first activation keeps it
    bool m_backFromMessage = false; // a message box of this window took the activation
};

} // namespace zorbin::mainwin
