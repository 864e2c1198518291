#include "views/publish/publish_dialog.h"

#include "publish/broker_connection.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QSpinBox>
#include <QSysInfo>
#include <QVBoxLayout>

#include <thread>

namespace views {

namespace {

constexpr int kTestTimeoutMs = 5000;

/// A control named for assistive technology as its label says.
template <typename Control> Control *named(Control *control, const QString &name) {
    control->setObjectName(name);
    control->setAccessibleName(name);
    return control;
}

} // namespace

PublishDialog::PublishDialog(const publish::SettingsReading &reading, QWidget *parent)
    : QDialog(parent), m_original(reading.settings) {
    const publish::PublishSettings &s = reading.settings;
    setObjectName(QStringLiteral("Publish"));
    setWindowTitle(QStringLiteral("Publish"));
    // Each mistake an item of its own, under what it means for publishing.
    QString fileFaults;
    if (!reading.mistakes.isEmpty()) {
        fileFaults = QStringLiteral("<b>%1</b> OK writes the settings as shown here.<ul>")
                         .arg(reading.summary().toHtmlEscaped());
        for (const QString &mistake : reading.mistakes)
            fileFaults += QStringLiteral("<li>%1</li>").arg(mistake.toHtmlEscaped());
        fileFaults += QStringLiteral("</ul>");
    }
    if (!reading.exposed.isEmpty())
        fileFaults += QStringLiteral("<p>%1</p>").arg(reading.exposed.toHtmlEscaped());
    auto *form = new QFormLayout;
    m_enabled = named(new QCheckBox(QStringLiteral("&Publish readings to an MQTT broker")),
                      QStringLiteral("Publish readings"));
    m_enabled->setChecked(s.enabled);
    form->addRow(m_enabled);
    m_host = named(new QLineEdit(s.host), QStringLiteral("Broker"));
    m_host->setPlaceholderText(QStringLiteral("broker.example"));
    form->addRow(QStringLiteral("&Broker:"), m_host);
    m_port = named(new QSpinBox, QStringLiteral("Port"));
    m_port->setRange(0, 65535);
    m_port->setSpecialValueText(QStringLiteral("default (1883, 8883 with TLS)"));
    m_port->setValue(s.port);
    form->addRow(QStringLiteral("P&ort:"), m_port);
    m_tls = named(new QCheckBox(QStringLiteral("&TLS")), QStringLiteral("TLS"));
    m_tls->setChecked(s.tls);
    form->addRow(m_tls);
    m_caFile = named(new QLineEdit(s.caFile), QStringLiteral("CA file"));
    m_caFile->setPlaceholderText(QStringLiteral("the system's certificates"));
    form->addRow(QStringLiteral("&CA file:"), m_caFile);
    m_username = named(new QLineEdit(s.username), QStringLiteral("User name"));
    form->addRow(QStringLiteral("&User name:"), m_username);
    m_password = named(new QLineEdit(s.password), QStringLiteral("Password"));
    m_password->setEchoMode(QLineEdit::Password);
    form->addRow(QStringLiteral("Pass&word:"), m_password);
    m_prefix = named(new QLineEdit(s.prefix), QStringLiteral("Topic prefix"));
    form->addRow(QStringLiteral("Topic p&refix:"), m_prefix);
    m_meter = named(new QLineEdit(s.meter), QStringLiteral("Meter name"));
    m_meter->setPlaceholderText(QSysInfo::machineHostName());
    form->addRow(QStringLiteral("&Meter name:"), m_meter);
    m_discovery = named(new QCheckBox(QStringLiteral("Home Assistant &discovery")),
                        QStringLiteral("Home Assistant discovery"));
    m_discovery->setChecked(s.discovery);
    form->addRow(m_discovery);
    m_interval = named(new QSpinBox, QStringLiteral("State interval"));
    m_interval->setRange(publish::PublishSettings::kShortestInterval,
                         publish::PublishSettings::kLongestInterval);
    m_interval->setSuffix(QStringLiteral(" s"));
    m_interval->setValue(s.interval);
    m_interval->setAccessibleDescription(
        QStringLiteral("Seconds of the clock over which each quantity's state is published"));
    form->addRow(QStringLiteral("State &interval:"), m_interval);
    m_temperatureUnit = named(new QComboBox, QStringLiteral("Temperature unit"));
    m_temperatureUnit->addItem(QStringLiteral("°C"), core::kUnitCelsius);
    m_temperatureUnit->addItem(QStringLiteral("°F"), core::kUnitFahrenheit);
    m_temperatureUnit->setCurrentIndex(m_temperatureUnit->findData(s.temperatureUnit));
    form->addRow(QStringLiteral("Temperature u&nit:"), m_temperatureUnit);

    m_nameFault = named(new QLabel, QStringLiteral("Name check"));
    m_nameFault->setWordWrap(true);

    m_result = named(new QLabel, QStringLiteral("Test result"));
    m_result->setWordWrap(true);
    m_result->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    m_test = named(buttons->addButton(QStringLiteral("T&est"), QDialogButtonBox::ActionRole),
                   QStringLiteral("Test"));
    for (QAbstractButton *button : buttons->buttons())
        if (auto *push = qobject_cast<QPushButton *>(button))
            push->setAutoDefault(false);
    m_ok = buttons->button(QDialogButtonBox::Ok);
    connect(m_test, &QPushButton::clicked, this, &PublishDialog::test);
    connect(m_meter, &QLineEdit::textChanged, this, &PublishDialog::checkNames);
    connect(m_prefix, &QLineEdit::textChanged, this, &PublishDialog::checkNames);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    // Wide enough for a broker's answer on a line or two.
    setMinimumWidth(fontMetrics().averageCharWidth() * 60);
    auto *layout = new QVBoxLayout(this);
    if (!fileFaults.isEmpty()) {
        auto *faults = named(new QLabel(fileFaults), QStringLiteral("Settings file"));
        faults->setWordWrap(true);
        faults->setTextFormat(Qt::RichText);
        // Read out as the words it shows.
        QStringList words = reading.mistakes;
        if (!words.isEmpty())
            words.prepend(reading.summary());
        if (!reading.exposed.isEmpty())
            words.append(reading.exposed);
        faults->setAccessibleDescription(words.join(u'\n'));
        faults->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
        layout->addWidget(faults);
    }
    layout->addLayout(form);
    layout->addWidget(m_nameFault);
    layout->addWidget(m_result);
    layout->addWidget(buttons);
    checkNames();
}

void PublishDialog::checkNames() {
    QStringList faults;
    for (QLineEdit *field : {m_meter, m_prefix}) {
        const QString name = field->text().trimmed();
        const QString fault = field == m_prefix && name.isEmpty()
                                  ? QStringLiteral("the topic prefix is empty")
                                  : publish::topicLevelFault(name);
        field->setAccessibleDescription(fault);
        field->setToolTip(fault);
        if (!fault.isEmpty())
            faults.append(QStringLiteral("%1: %2.").arg(field->accessibleName(), fault));
    }
    m_nameFault->setText(faults.join(u'\n'));
    m_nameFault->setVisible(!faults.isEmpty());
    m_ok->setEnabled(faults.isEmpty());
}

publish::PublishSettings PublishDialog::settings() const {
    publish::PublishSettings s = m_original;
    s.enabled = m_enabled->isChecked();
    s.host = m_host->text().trimmed();
    s.port = m_port->value();
    s.tls = m_tls->isChecked();
    s.caFile = m_caFile->text().trimmed();
    s.username = m_username->text().trimmed();
    s.password = m_password->text();
    s.prefix = m_prefix->text().trimmed();
    s.meter = m_meter->text().trimmed();
    s.discovery = m_discovery->isChecked();
    s.interval = m_interval->value();
    s.temperatureUnit = m_temperatureUnit->currentData().toString();
    return s;
}

void PublishDialog::test() {
    // The window goes on taking readings while the broker is tried.
    m_test->setEnabled(false);
    m_result->setText(QStringLiteral("Connecting to %1...").arg(settings().broker()));
    QPointer<PublishDialog> dialog(this);
    std::thread([dialog, s = settings()] {
        const QString result = publish::tryBroker(s, kTestTimeoutMs);
        QMetaObject::invokeMethod(
            qApp,
            [dialog, result] {
                if (!dialog)
                    return;
                dialog->m_result->setText(result);
                dialog->m_test->setEnabled(true);
            },
            Qt::QueuedConnection);
    }).detach();
}

} // namespace views
