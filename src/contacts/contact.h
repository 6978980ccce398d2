#pragma once

#include "common/recordwindow.h"
#include "store/contact_records.h"

#include <QImage>
#include <array>

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

// The contact editor: new, edit and view mode, chosen by the shared selection state when
// the window is shown. The picture on display is written under the contact's mobile number
// when the contact is saved.
class Contact : public zorbin::ui::RecordWindow
{
    Q_OBJECT
public:
    explicit Contact(zorbin::ui::Context &context, QWidget *parent = nullptr);
    ~Contact() override;

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
    QPlainTextEdit *m_address = nullptr;
    // The address as loaded: kept exactly when its box is left as it was.
    QString m_loadedAddress;
    QLabel *m_image = nullptr;
    QImage m_picture;
    QPushButton *m_choose = nullptr;
};

// The text of a multi-line box to store: its lines joined by CR LF, the way stored texts
// break their lines; `loaded` comes back unchanged when the box still shows it.
QString storedLines(const QString &boxText, const QString &loaded);
