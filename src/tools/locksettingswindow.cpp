#include "tools/locksettingswindow.h"

#include "common/appearance.h"
#include "common/dialogs.h"
#include "common/icons.h"
#include "store/locksetting.h"
#include "store/settings.h"

#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

using zorbin::store::LockSetting;

namespace zorbin::tools {

LockSettingsWindow::LockSettingsWindow(zorbin::common::Context &context, QWidget *parent)
    : QDialog(parent), m_context(context)
{
    setObjectName(QStringLiteral("LockSettings"));
    setWindowTitle(QStringLiteral("قفل خودكار"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setFont(zorbin::common::windowFont(10));

    auto *picture = new QLabel(this);
    picture->setPixmap(zorbin::common::icon(u"shield-lock").pixmap(40, 40));
    picture->setAlignment(Qt::AlignCenter);

    auto *caption = new QLabel(QStringLiteral("قفل برنامه پس از چند دقيقه بيكاري:"), this);
    caption->setObjectName(QStringLiteral("Label1"));
    m_minutes = new QSpinBox(this);
    m_minutes->setObjectName(QStringLiteral("Minutes"));
    m_minutes->setRange(0, LockSetting::kMaxMinutes);
    m_minutes->setValue(LockSetting::minutes(context.settings));
    m_minutes->setSpecialValueText(QStringLiteral("هرگز"));
    m_minutes->setLayoutDirection(Qt::LeftToRight);
    m_minutes->setAccessibleName(caption->text());
    caption->setBuddy(m_minutes);

    auto *hint = new QLabel(
        QStringLiteral(
            "با صفر، برنامه هرگز خودبه‌خود قفل نمي‌شود."),
        this);
    hint->setObjectName(QStringLiteral("Label2"));
    hint->setEnabled(false);

    m_save = new QPushButton(QStringLiteral("ذخيره"), this);
    m_save->setObjectName(QStringLiteral("Button_Save"));
    m_save->setDefault(true);
    m_cancel = new QPushButton(QStringLiteral("انصراف"), this);
    m_cancel->setObjectName(QStringLiteral("Button_Cancel"));
    connect(m_save, &QPushButton::clicked, this, &LockSettingsWindow::save);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto *row = new QHBoxLayout;
    row->addWidget(caption);
    row->addWidget(m_minutes);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_save);
    buttons->addWidget(m_cancel);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(18, 14, 18, 12);
    layout->setSpacing(10);
    layout->addWidget(picture);
    layout->addLayout(row);
    layout->addWidget(hint);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    m_minutes->setFocus();
}

void LockSettingsWindow::save()
{
    if (!LockSetting::setMinutes(m_context.settings, m_minutes->value())) {
        zorbin::common::Dialogs::error(this, QStringLiteral("تنظيمات ذخيره نشد؛ "
                                                            "پوشه تنظيمات قابل نوشتن نيست:\r\n") +
                                                 m_context.settings.folder());
        return;
    }
    accept();
}

} // namespace zorbin::tools
