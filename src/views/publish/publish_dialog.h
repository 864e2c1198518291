#pragma once

#include "publish/publish_settings.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;

namespace views {

/// "Publish": where readings are published (the [mqtt] settings), with a "Test" that connects
/// to the broker and says what happened. Publishing stays off until the user turns it on. What
/// is wrong in the settings file is shown above the fields; a meter name or topic prefix that
/// cannot be a topic level says why below them and keeps OK off.
class PublishDialog : public QDialog {
    Q_OBJECT
  public:
    PublishDialog(const publish::SettingsReading &reading, QWidget *parent = nullptr);

    /// The settings as the dialog shows them.
    publish::PublishSettings settings() const;

  private:
    void test();
    /// Says what is wrong with the meter name and the prefix, and lets OK be pressed when nothing.
    void checkNames();

    publish::PublishSettings m_original;
    QCheckBox *m_enabled;
    QLineEdit *m_host;
    QSpinBox *m_port;
    QCheckBox *m_tls;
    QLineEdit *m_caFile;
    QLineEdit *m_username;
    QLineEdit *m_password;
    QLineEdit *m_prefix;
    QLineEdit *m_meter;
    QCheckBox *m_discovery;
    QSpinBox *m_interval;
    QComboBox *m_temperatureUnit;
    QPushButton *m_test;
    QPushButton *m_ok;
    QLabel *m_nameFault;
    QLabel *m_result;
};

} // namespace views
