#include "tools/statisticswindow.h"

#include "common/appearance.h"
#include "common/dialogs.h"
#include "common/icons.h"
#include "store/messages.h"
#include "store/store.h"

#include <QGridLayout>
#include <QIcon>
#include <QLabel>
#include <QVBoxLayout>
#include <array>
#include <iterator>

namespace zorbin::tools {

namespace {

const QString kCaption = QStringLiteral("آمارگيري");
const QString kHeading = QStringLiteral("نرم افزار زوربين");
const QString kSites = QStringLiteral("سايت ها");
const QString kCategories = QStringLiteral("موضوعات");
const QString kContacts = QStringLiteral("مخاطبين");
const QString kNoCount = QStringLiteral("#");
const QString kCountFailed = QStringLiteral("آمار از پایگاه داده خوانده نشد.");

// A count and what a screen reader says for it: its caption with the number, since the
// number alone means nothing and the caption alone hides it.
void showCount(QLabel *count, const QString &caption, const QString &number)
{
    count->setText(number);
    count->setAccessibleName(caption + QStringLiteral(": ") + number);
}

} // namespace

StatisticsWindow::StatisticsWindow(zorbin::common::Context &context, QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("Stat"));
    setWindowTitle(kCaption);
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setFont(zorbin::common::windowFont());
    makeControls();
    layOut();
    // Nothing here reacts to the user, so the third step is the reading of the counts.
    readCounts(context);
}

void StatisticsWindow::makeControls()
{
    m_heading = new QLabel(kHeading, this);
    m_heading->setObjectName(QStringLiteral("Label1"));
    m_heading->setFont(zorbin::common::windowFont(12));
    m_heading->setAlignment(Qt::AlignCenter);

    m_picture = new QLabel(this);
    m_picture->setPixmap(zorbin::common::icon(u"bar-chart").pixmap(40, 40));
    m_picture->setAlignment(Qt::AlignCenter);

    const struct
    {
        const char *captionName;
        const QString &caption;
        const char *countName;
        QLabel *&count;
    } rows[] = {
        {"Label2", kSites, "Label6", m_sites},
        {"Label3", kCategories, "Label7", m_categories},
        {"Label4", kContacts, "Label8", m_contacts},
    };
    for (size_t i = 0; i < std::size(rows); ++i) {
        const auto &r = rows[i];
        m_captions[i] = new QLabel(r.caption, this);
        m_captions[i]->setObjectName(QLatin1String(r.captionName));
        r.count = new QLabel(this);
        r.count->setObjectName(QLatin1String(r.countName));
        showCount(r.count, r.caption, kNoCount);
        r.count->setTextInteractionFlags(Qt::TextSelectableByMouse);
        r.count->setAlignment(Qt::AlignCenter);
    }
}

void StatisticsWindow::layOut()
{
    auto *grid = new QGridLayout;
    grid->setHorizontalSpacing(24);
    grid->setColumnStretch(1, 1);
    const std::array<QLabel *, 3> counts{m_sites, m_categories, m_contacts};
    for (int row = 0; row < int(counts.size()); ++row) {
        grid->addWidget(m_captions[size_t(row)], row, 0);
        grid->addWidget(counts[size_t(row)], row, 1);
    }

    auto *outer = new QVBoxLayout(this);
    outer->addWidget(m_picture);
    outer->addWidget(m_heading);
    outer->addSpacing(8);
    outer->addLayout(grid);
    outer->addStretch(1);
    setMinimumWidth(260);
}

void StatisticsWindow::readCounts(zorbin::common::Context &context)
{
    // A count that cannot be read keeps "#", and the user is told why (over the window
    // that opened this one: this one is not shown yet).
    const auto counts = context.store.recordCounts();
    if (!counts) {
        zorbin::common::Dialogs::error(parentWidget(),
                                       zorbin::store::userMessage(kCountFailed, counts.error()));
        return;
    }
    showCount(m_sites, kSites, QString::number(counts->sites));
    showCount(m_categories, kCategories, QString::number(counts->categories));
    showCount(m_contacts, kContacts, QString::number(counts->contacts));
}

} // namespace zorbin::tools
