#include "sites/subjectswindow.h"

#include "common/appearance.h"
#include "common/dialogs.h"
#include "common/textboxes.h"
#include "store/messages.h"
#include "store/store.h"
#include "store/text.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTableView>
#include <QVBoxLayout>

namespace zorbin::sites {

using zorbin::common::Dialogs;

namespace {

const QString kCaption = QStringLiteral("موضوعات");
const QString kTitleLabel = QStringLiteral(":عنوان");
const QString kAdd = QStringLiteral("اضافه");
const QString kSave = QStringLiteral("ذخيره");
const QString kEdit = QStringLiteral("ويرايش");
const QString kDelete = QStringLiteral("حذف");
const QString kWarning = QStringLiteral(".لطفاً از ويرايش يا حذف موضوعات استفاده شده خودداري کنيد");
const QString kEmptyTitle = QStringLiteral(" لطفاً عنوان موضوع را وارد کنيد");
const QString kDuplicate = QStringLiteral("اين موضوع قبلاً ثبت شده است");
const QString kNothingToDelete = QStringLiteral("موردي براي حذف وجود ندارد");
const QString kConfirmDelete = QStringLiteral("آيا مي خواهيد اين موضوع را حذف کنيد ؟ ");

const QString kAddFailed = QStringLiteral("موضوع ثبت نشد؛ پایگاه داده آن را نپذیرفت.");
const QString kRenameFailed = QStringLiteral("عنوان موضوع تغییر نکرد؛ پایگاه داده آن را نپذیرفت.");
const QString kDeleteFailed = QStringLiteral("موضوع حذف نشد؛ پایگاه داده آن را نپذیرفت.");
const QString kListFailed = QStringLiteral("فهرست موضوعات از پایگاه داده خوانده نشد.");
const QString kNotFound = QStringLiteral("این موضوع در پایگاه داده پیدا نشد.");

// Labels whose text starts with its closing punctuation read correctly only in a
// left-to-right paragraph, pushed to the right edge.
void setPunctuatedText(QLabel *label, const QString &text)
{
    label->setText(text);
    zorbin::common::keepVisualOrder(label);
}

} // namespace

SubjectsWindow::SubjectsWindow(zorbin::common::Context &context, QWidget *parent)
    : QDialog(parent), m_context(context)
{
    setObjectName(QStringLiteral("Category"));
    setWindowTitle(kCaption);
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setFont(zorbin::common::windowFont());

    auto *frame = new QGroupBox(this);
    frame->setObjectName(QStringLiteral("Frame1"));

    makeEntry(frame);
    makeGrid(frame);
    makeButtons(frame);
    layOut(frame);
    setTabOrder(m_text1, m_save);
    setTabOrder(m_save, m_grid);
    setTabOrder(m_grid, m_edit);
    setTabOrder(m_edit, m_delete);

    connectControls();

    zorbin::common::liftLengthLimits(this);
    resize(400, 440);
    reload();
    m_text1->setFocus();
}

// --- controls ---------------------------------------------------------------------------

void SubjectsWindow::makeEntry(QWidget *frame)
{
    m_label6 = new QLabel(frame);
    m_label6->setObjectName(QStringLiteral("Label6"));
    setPunctuatedText(m_label6, kTitleLabel);

    m_text1 = new QLineEdit(frame);
    m_text1->setObjectName(QStringLiteral("Text1"));
    m_text1->setAlignment(Qt::AlignRight | Qt::AlignAbsolute | Qt::AlignVCenter);
    m_text1->setAccessibleName(kTitleLabel);
    m_label6->setBuddy(m_text1);

    m_save = new QPushButton(kAdd, frame);
    m_save->setObjectName(QStringLiteral("Button_Save"));
}

void SubjectsWindow::makeGrid(QWidget *frame)
{
    m_model = new QStandardItemModel(0, 2, this);
    // The columns ID and Category, headed in the window's language.
    m_model->setHorizontalHeaderLabels({QStringLiteral("شناسه"), QStringLiteral("عنوان موضوع")});

    m_grid = new QTableView(frame);
    m_grid->setObjectName(QStringLiteral("VSG"));
    m_grid->setModel(m_model);
    m_grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_grid->setSelectionMode(QAbstractItemView::SingleSelection);
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->setTabKeyNavigation(false);
    m_grid->setAlternatingRowColors(true);
    m_grid->verticalHeader()->hide();
    m_grid->verticalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_grid->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Fixed);
    m_grid->horizontalHeader()->setSectionResizeMode(1, QHeaderView::Stretch);
    m_grid->setColumnWidth(0, 60);
    m_grid->setAccessibleName(kCaption);
}

void SubjectsWindow::makeButtons(QWidget *frame)
{
    m_edit = new QPushButton(kEdit, frame);
    m_edit->setObjectName(QStringLiteral("Button_Edit"));
    m_delete = new QPushButton(kDelete, frame);
    m_delete->setObjectName(QStringLiteral("Button_Delete"));

    m_label1 = new QLabel(frame);
    m_label1->setObjectName(QStringLiteral("Label1"));
    setPunctuatedText(m_label1, kWarning);
    m_label1->setWordWrap(true);
    m_label1->setStyleSheet(QStringLiteral("color: #a00000;"));

    // Enter belongs to the title box alone; no button reacts to it on its own.
    for (QPushButton *b : {m_save, m_edit, m_delete}) {
        b->setAutoDefault(false);
        b->setDefault(false);
        b->setMinimumWidth(80);
    }
}

// --- layout -----------------------------------------------------------------------------

void SubjectsWindow::layOut(QWidget *frame)
{
    auto *entry = new QHBoxLayout;
    entry->addWidget(m_label6);
    entry->addWidget(m_text1, 1);
    entry->addWidget(m_save);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_edit);
    buttons->addWidget(m_delete);
    buttons->addStretch(1);

    auto *inner = new QVBoxLayout(frame);
    inner->addLayout(entry);
    inner->addWidget(m_grid, 1);
    inner->addLayout(buttons);
    inner->addWidget(m_label1);

    auto *outer = new QVBoxLayout(this);
    outer->addWidget(frame);
}

void SubjectsWindow::connectControls()
{
    connect(m_save, &QPushButton::clicked, this, &SubjectsWindow::save);
    connect(m_text1, &QLineEdit::returnPressed, this, &SubjectsWindow::save);
    connect(m_edit, &QPushButton::clicked, this, &SubjectsWindow::edit);
    connect(m_delete, &QPushButton::clicked, this, &SubjectsWindow::remove);
}

void SubjectsWindow::addRow(qint64 id, const QString &title)
{
    auto *idItem = new QStandardItem;
    idItem->setData(QVariant::fromValue<qlonglong>(id), Qt::DisplayRole);
    idItem->setTextAlignment(Qt::AlignCenter);
    auto *titleItem = new QStandardItem(title);
    for (QStandardItem *item : {idItem, titleItem})
        item->setEditable(false);
    m_model->appendRow({idItem, titleItem});
}

void SubjectsWindow::reload()
{
    m_model->removeRows(0, m_model->rowCount());
    const auto list = m_context.store.categories();
    if (!list)
        storeFailed(kListFailed, list.error());
    for (const auto &subject : list.value_or(QVector<zorbin::store::CategoryRecord>()))
        addRow(subject.id, subject.title);
    if (m_model->rowCount() > 0)
        m_grid->setCurrentIndex(m_model->index(0, 0));
}

void SubjectsWindow::showOnly(qint64 id, const QString &title)
{
    m_model->removeRows(0, m_model->rowCount());
    addRow(id, title);
    m_grid->setCurrentIndex(m_model->index(0, 0));
}

std::optional<qint64> SubjectsWindow::currentId() const
{
    if (m_model->rowCount() < 1)
        return std::nullopt;
    const QModelIndex current = m_grid->currentIndex();
    const int row = current.isValid() ? current.row() : 0;
    return m_model->index(row, 0).data().toLongLong();
}

void SubjectsWindow::focusText(bool selectAll)
{
    m_text1->setFocus();
    if (selectAll)
        m_text1->selectAll();
}

void SubjectsWindow::storeFailed(const QString &message, const zorbin::store::StoreError &error)
{
    Dialogs::error(this, zorbin::store::userMessage(message, error));
}

void SubjectsWindow::finishSave()
{
    m_editing = false;
    m_text1->clear();
    reload();
    focusText(false);
    m_save->setText(kAdd);
    m_edit->setEnabled(true);
    m_delete->setEnabled(true);
}

void SubjectsWindow::save()
{
    const QString text = m_text1->text();
    if (text.isEmpty()) {
        Dialogs::warn(this, kEmptyTitle);
        return;
    }
    const QString title = zorbin::store::trimBlanks(text);
    if (m_editing) {
        if (const auto renamed = m_context.store.renameCategory(m_editedId, title); !renamed) {
            storeFailed(kRenameFailed, renamed.error());
            focusText(false);
            return;
        }
        finishSave();
        return;
    }
    // A duplicate check that could not be made adds nothing.
    const auto exists = m_context.store.categoryExists(title);
    if (!exists.has_value()) {
        storeFailed(kAddFailed, exists.error());
        focusText(false);
        return;
    }
    if (*exists) {
        Dialogs::warn(this, kDuplicate);
        focusText(true);
        return;
    }
    if (const auto added = m_context.store.addCategory(title); !added) {
        storeFailed(kAddFailed, added.error());
        focusText(false);
        return;
    }
    finishSave();
}

void SubjectsWindow::edit()
{
    const std::optional<qint64> id = currentId();
    if (!id)
        return;
    const auto subject = m_context.store.category(*id);
    if (!subject) {
        storeFailed(kNotFound, subject.error());
        reload();
        return;
    }
    m_editing = true;
    m_editedId = subject->id;
    m_save->setText(kSave);
    m_delete->setEnabled(false);
    m_edit->setEnabled(false);
    showOnly(subject->id, subject->title);
    m_text1->setText(subject->title);
    focusText(true);
}

void SubjectsWindow::remove()
{
    const std::optional<qint64> id = currentId();
    if (!id) {
        Dialogs::warn(this, kNothingToDelete);
        return;
    }
    if (Dialogs::confirm(this, kConfirmDelete)) {
        if (const auto deleted = m_context.store.deleteCategory(*id); !deleted)
            storeFailed(kDeleteFailed, deleted.error());
    }
    reload();
}

} // namespace zorbin::sites
