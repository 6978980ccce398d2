#pragma once

#include "common/context.h"

#include <QDialog>
#include <array>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace zorbin::store {
struct SiteRecord;
}

// The site editor: new, edit and view mode, chosen by the shared selection state when
// the window becomes active (when it is shown and when the subject window it opened
// closes). In view mode the address boxes are links.
class Site : public QDialog
{
    Q_OBJECT
public:
    explicit Site(zorbin::ui::Context &context, QWidget *parent = nullptr);
    ~Site() override;

    void done(int result) override;

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    enum class Mode { New, Edit, View };

    void buildWindow();
    void activate();
    void rebuildSubjects();
    void loadRecord();
    void setViewLook(bool view);
    void save();
    void addSubject();
    void showHint(int number);
    void passwordCheckClicked();
    void setPasswordMasked(bool masked);
    bool openLinkBox(QObject *box);
    bool link(const QString &address);
    void clearBoxes();

    QString boxText(int number) const;
    void setBoxText(int number, const QString &text);
    zorbin::store::SiteRecord recordFromBoxes() const;

    zorbin::ui::Context &m_context;
    Mode m_mode = Mode::New;

    // Text1 to Text17 by number; 3 (the subject list) and 11 (the notes) are not lines.
    std::array<QLineEdit *, 18> m_line{};
    QComboBox *m_subject = nullptr;
    QPlainTextEdit *m_notes = nullptr;
    QCheckBox *m_check = nullptr;
    QPushButton *m_save = nullptr;
    QPushButton *m_cancel = nullptr;
    QPushButton *m_addSubject = nullptr;
};
