#include "converter/converterguide.h"

#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QVBoxLayout>

namespace zorbin::converter {

namespace {

QGroupBox *step(const QString &title, const QStringList &lines, QWidget *parent)
{
    auto *box = new QGroupBox(title, parent);
    auto *layout = new QVBoxLayout(box);
    for (const QString &line : lines) {
        auto *label = new QLabel(line, box);
        label->setWordWrap(true);
        label->setTextFormat(Qt::PlainText);
        layout->addWidget(label);
    }
    return box;
}

} // namespace

ConverterGuide::ConverterGuide(QWidget *owner) : QDialog(owner)
{
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("Guide"));
    setLayoutDirection(Qt::LeftToRight);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(step(QStringLiteral("Step 1  (Open Backup)"),
                           {QStringLiteral("1. Click the \"Browse...\" button and give the "
                                           "address of the backup file (version 1.0)."),
                            QStringLiteral("2. Click the \"Analysis Database\" button.")},
                           this));
    layout->addWidget(step(QStringLiteral("Step 2  (Convert Database)"),
                           {QStringLiteral("Click the \"Start Convert Database\" button.")}, this));
    layout->addWidget(step(QStringLiteral("Step 3  (Save Backup)"),
                           {QStringLiteral("1. Click the \"Browse...\" button and give the "
                                           "address for the backup file (version 2.0)."),
                            QStringLiteral("2. Click the \"Save Database\" button.")},
                           this));
    resize(420, sizeHint().height());
}

void ConverterGuide::keyPressEvent(QKeyEvent *event)
{
    // Escape closes the guide whatever has the focus.
    if (event->key() == Qt::Key_Escape) {
        reject();
        return;
    }
    QDialog::keyPressEvent(event);
}

} // namespace zorbin::converter
