#pragma once

#include "common/recordwindow.h"
#include "store/records.h"

#include <array>

class QCheckBox;
class QComboBox;
class QGridLayout;
class QLineEdit;
class QPushButton;

namespace zorbin::common {
class NotesEdit;
class StrengthBar;
} // namespace zorbin::common

namespace zorbin::sites {

// The site editor: a new site, or the site `id` to edit or to show read-only. The record
// is loaded each time the window becomes active (when it is shown and when the subject
// window it opened closes). In view mode the address boxes are links.
class SiteEditor : public zorbin::common::RecordWindow
{
    Q_OBJECT
public:
    SiteEditor(zorbin::common::Context &context, Mode mode, qint64 id = 0,
               QWidget *parent = nullptr);
    ~SiteEditor() override;

    void setVisible(bool visible) override;

    // The boxes as one site, as typed (the ID is the selected one), and the other way.
    zorbin::store::SiteRecord record() const;
    // A NULL field leaves its box as it was.
    void setRecord(const zorbin::store::SiteRecord &record);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildWindow();
    void makeBoxes();
    void makeAids();
    void placeBoxes(QGridLayout *grid);
    void setInitialTexts();
    void setBoxTabOrder();
    // Box n, the one named "Textn".
    QWidget *box(int number) const;
    void activate() override;
    void rebuildSubjects();
    void loadRecord();
    void setViewLook(bool view);
    void save() override;
    void addSubject();
    void showHelp(int number) override;
    void passwordCheckClicked();
    void setPasswordMasked(bool masked);
    bool openLinkBox(QObject *box);
    bool link(const QString &address);
    void clearBoxes();

    QString boxText(int number) const;
    void setBoxText(int number, const QString &text);

    // Text1 to Text17 by number; 3 (the subject list) and 11 (the notes) are not lines.
    std::array<QLineEdit *, 18> m_line{};
    QComboBox *m_subject = nullptr;
    zorbin::common::NotesEdit *m_notes = nullptr;
    QCheckBox *m_check = nullptr;
    QPushButton *m_addSubject = nullptr;
    zorbin::common::StrengthBar *m_strength = nullptr;
};

} // namespace zorbin::sites
