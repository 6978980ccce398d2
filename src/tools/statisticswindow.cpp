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

    auto *heading = new QLabel(kHeading, this);
    heading->setObjectName(QStringLiteral("Label1"));
    heading->setFont(zorbin::common::windowFont(12));
    heading->setAlignment(Qt::AlignCenter);

    auto *picture = new QLabel(this);
    picture->setPixmap(zorbin::common::icon(u"bar-chart").pixmap(40, 40));
    picture->setAlignment(Qt::AlignCenter);

    auto *grid = new QGridLayout;
    grid->setHorizontalSpacing(24);
    grid->setColumnStretch(1, 1);
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
    int row = 0;
    for (const auto &r : rows) {
        auto *caption = new QLabel(r.caption, this);
        caption->setObjectName(QLatin1String(r.captionName));
        r.count = new QLabel(this);
        r.count->setObjectName(QLatin1String(r.countName));
        showCount(r.count, r.caption, kNoCount);
        r.count->setTextInteractionFlags(Qt::TextSelectableByMouse);
        r.count->setAlignment(Qt::AlignCenter);
        grid->addWidget(caption, row, 0);
        grid->addWidget(r.count, row, 1);
        ++row;
    }

    auto *outer = new QVBoxLayout(this);
    outer->addWidget(picture);
    outer->addWidget(heading);
    outer->addSpacing(8);
    outer->addLayout(grid);
    outer->addStretch(1);
    setMinimumWidth(260);

    // A count that cannot be read keeps "#", and the user is told why.
    const auto counts = context.store.recordCounts();
    if (!counts) {
        zorbin::common::Dialogs::error(parent,
                                       zorbin::store::userMessage(kCountFailed, counts.error()));
        return;
    }
    showCount(m_sites, kSites, QString::number(counts->sites));
    showCount(m_categories, kCategories, QString::number(counts->categories));
    showCount(m_contacts, kContacts, QString::number(counts->contacts));
}

} // namespace zorbin::tools
