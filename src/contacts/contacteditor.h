#pragma once

#include "common/recordwindow.h"
#include "store/contactrecords.h"

#include <QImage>
#include <array>

class QLabel;
class QLineEdit;
class QPushButton;

namespace zorbin::common {
class NotesEdit;
}

namespace zorbin::contacts {

// The contact editor: a new contact, or the contact `id` to edit or to show read-only. The picture
// on display is written under the contact's mobile number when the contact is saved.
class ContactEditor : public zorbin::common::RecordWindow
{
    Q_OBJECT
public:
    ContactEditor(zorbin::common::Context &context, Mode mode, qint64 id = 0,
                  QWidget *parent = nullptr);
    ~ContactEditor() override;

    // The boxes as one contact, as typed (the ID is the selected one; the picture's file
    // name is the one the typed mobile gives), and the other way.
    zorbin::store::ContactRecord record() const;
    void setRecord(const zorbin::store::ContactRecord &record);

    // The picture on display.
    QImage picture() const { return m_picture; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildWindow();
    void makeBoxes();
    QWidget *makeFields();
    QWidget *makePictureColumn();
    void setBoxTabOrder();
    void activate() override;
    void loadRecord();
    void setPicture(const QImage &image);
    void choosePicture();
    void save() override;
    void showHelp(int number) override;
    void clearBoxes();

    QString boxText(int number) const;
    void setBoxText(int number, const QString &text);

    // Text1 to Text8 by number; Text9, the address, is a multi-line box.
    std::array<QLineEdit *, 9> m_line{};
    zorbin::common::NotesEdit *m_address = nullptr;
    // The mobile number as stored when the record was loaded: its picture file.
    QString m_loadedMobile;
    // The ID a new contact was stored under.
    qint64 m_savedId = 0;
    QLabel *m_image = nullptr;
    QImage m_picture;
    // Whether the user chose the picture on display in this window: only then is it
    // written, so a stored picture is never re-encoded or replaced by the default.
    bool m_pictureChosen = false;
    QPushButton *m_choose = nullptr;
};

} // namespace zorbin::contacts
