#pragma once

#include <QDialog>

class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QRadioButton;

namespace window {
class SaveLoadModel;
}

namespace views {

/// The log save/load dialog as the user sees it: every control at its designed place,
/// mirroring the dialog's state and turning the user's actions into its handlers.
class SaveLoadDialog : public QDialog {
    Q_OBJECT
  public:
    explicit SaveLoadDialog(window::SaveLoadModel &state, QWidget *parent = nullptr);

  private:
    void followSelection(QListWidget *list);
    void showState();
    void showDrives();
    void showDirectories();
    void showFiles();

    window::SaveLoadModel &m_state;
    QComboBox *m_driveList = nullptr;
    QListWidget *m_folderList = nullptr;
    QListWidget *m_fileList = nullptr;
    QLabel *m_nameCaption = nullptr;
    QLineEdit *m_nameBox = nullptr;
    QRadioButton *m_saveChoice = nullptr;
    QRadioButton *m_loadChoice = nullptr;
};

} // namespace views
