#pragma once

#include "converter/conversion.h"

#include <QMainWindow>
#include <array>
#include <optional>

class QAction;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;

namespace zorbin::converter {

// The converter's window: three steps, each enabling the next. Choose and analyse a
// version 1.0 backup, convert it into ZBDB.mdb of `dataFolder`, save a backup of the
// result; the program ends after the save.
class ConverterWindow : public QMainWindow
{
    Q_OBJECT
public:
    enum class State { ChoosingSource, Analysed, Converted, Ended };

    explicit ConverterWindow(const QString &dataFolder, QWidget *parent = nullptr);
    ~ConverterWindow() override;

    State state() const { return m_state; }
    // The seven lines of the about box.
    static QString aboutText();

    // The handlers of the buttons and menu items.
    void browseOpen();
    void analyseDatabase();
    void convertDatabase();
    void browseSave();
    void saveDatabase();
    void showGuide();
    void showAbout();
    void openWebsite();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void makeControls();
    void layOut();
    void connectControls();
    void setState(State state);

    QString m_dataFolder;
    State m_state = State::ChoosingSource;
    std::optional<zorbin::converter::Analysis> m_analysis;

    QMenu *m_menu = nullptr;                  // mnu1
    std::array<QAction *, 4> m_menuActions{}; // M_Guide, M_About, M_Site, M_Exit
    QWidget *m_central = nullptr;
    QLabel *m_logo = nullptr;   // Image1
    QLabel *m_credit = nullptr; // Label2
    QGroupBox *m_step1 = nullptr;
    QGroupBox *m_step2 = nullptr;
    QGroupBox *m_step3 = nullptr;
    QLineEdit *m_sourcePath = nullptr; // Text1
    QPushButton *m_browseOpen = nullptr;
    QPushButton *m_analyse = nullptr;
    QLabel *m_analysisStatus = nullptr; // Label3
    QPushButton *m_convert = nullptr;
    QLineEdit *m_backupPath = nullptr; // Text2
    QPushButton *m_browseSave = nullptr;
    QPushButton *m_save = nullptr;
    QLabel *m_saveStatus = nullptr; // Label1
};

} // namespace zorbin::converter
