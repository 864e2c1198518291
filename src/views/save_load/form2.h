#pragma once

#include <QDialog>

class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QRadioButton;

namespace window {
class SaveLoadDialog;
}

namespace views {

/// The log save/load dialog as the user sees it: every control at its designed place,
/// mirroring the dialog's state and turning the user's actions into its handlers.
class Form2 : public QDialog {
    Q_OBJECT
  public:
    explicit Form2(window::SaveLoadDialog &state, QWidget *parent = nullptr);

  private:
    void followSelection(QListWidget *list);
    void showState();
    void showDrives();
    void showDirectories();
    void showFiles();

    window::SaveLoadDialog &m_state;
    QComboBox *m_drive1 = nullptr;
    QListWidget *m_dir1 = nullptr;
    QListWidget *m_file1 = nullptr;
    QLabel *m_label2 = nullptr;
    QLineEdit *m_text1 = nullptr;
    QRadioButton *m_option1 = nullptr;
    QRadioButton *m_option2 = nullptr;
};

} // namespace views
