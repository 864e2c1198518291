#pragma once

#include "publish/publish_settings.h"

#include <QDialog>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;

namespace views {

/// "Publish": where readings are published (the [mqtt] settings), with a "Test" that connects
/// to the broker and says what happened. Publishing stays off until the user turns it on.
class PublishDialog : public QDialog {
    Q_OBJECT
  public:
    PublishDialog(const publish::PublishSettings &settings, QWidget *parent = nullptr);

    /// The settings as the dialog shows them.
    publish::PublishSettings settings() const;

  private:
    void test();

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
    QPushButton *m_test;
    QLabel *m_result;
};

} // namespace views
