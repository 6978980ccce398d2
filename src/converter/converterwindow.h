#pragma once

#include "converter/conversion.h"

#include <QMainWindow>
#include <optional>

class QAction;
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
    void setState(State state);

    QString m_dataFolder;
    State m_state = State::ChoosingSource;
    std::optional<zorbin::converter::Analysis> m_analysis;

    QMenu *m_menu = nullptr;
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
