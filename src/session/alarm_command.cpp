#include "session/alarm_command.h"

#include "core/number_text.h"

#include <QProcess>
#include <QTimer>

namespace session {

AlarmCommand::AlarmCommand(QString command, QString meterName,
                           std::function<void(const QString &)> failed)
    : m_command(std::move(command)), m_meterName(std::move(meterName)),
      m_failed(std::move(failed)) {}

AlarmCommand::~AlarmCommand() {
    for (QProcess *run : m_runs.findChildren<QProcess *>()) {
        run->disconnect();
        run->kill();
        run->waitForFinished(1000);
    }
}

void AlarmCommand::run(const core::AlarmEvent &event, const core::ZoneClock &zone) {
    QStringList words = core::commandWords(m_command);
    if (words.isEmpty())
        return;
    auto *run = new QProcess(&m_runs);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    const auto number = [](std::optional<double> v) {
        return v ? core::doubleText(*v) : QString();
    };
    const bool silent = event.quantity.isEmpty();
    environment.insert(QStringLiteral("ENVMETER_METER"), m_meterName);
    environment.insert(QStringLiteral("ENVMETER_EVENT"),
                       event.change == core::AlarmEvent::Change::Raised
                           ? QStringLiteral("raised")
                           : QStringLiteral("cleared"));
    environment.insert(QStringLiteral("ENVMETER_ALARM"), event.name);
    environment.insert(QStringLiteral("ENVMETER_LIMIT"), silent ? QString() : number(event.limit));
    environment.insert(QStringLiteral("ENVMETER_VALUE"), number(event.value));
    environment.insert(QStringLiteral("ENVMETER_PEAK"), silent ? QString() : number(event.peak));
    environment.insert(QStringLiteral("ENVMETER_UNIT"), event.unit);
    environment.insert(QStringLiteral("ENVMETER_SINCE"),
                       core::isoTimeWithOffset(zone.at(event.since)));
    run->setProcessEnvironment(environment);
    run->setProgram(words.takeFirst());
    run->setArguments(words);
    run->setStandardInputFile(QProcess::nullDevice());
    QObject::connect(run, &QProcess::errorOccurred, run, [this, run](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart) {
            ranWith(QStringLiteral("it cannot be started (%1)").arg(run->errorString()));
            run->deleteLater();
        }
    });
    QObject::connect(
        run, &QProcess::finished, run, [this, run](int code, QProcess::ExitStatus status) {
            ranWith(status == QProcess::CrashExit ? QStringLiteral("it ended abnormally")
                    : code != 0                   ? QStringLiteral("it exited with %1").arg(code)
                                                  : QString());
            run->deleteLater();
        });
    QTimer::singleShot(kLimitMs, run, [this, run] {
        run->disconnect();
        run->kill();
        ranWith(
            QStringLiteral("it was still running after %1 s and was ended").arg(kLimitMs / 1000));
        QObject::connect(run, &QProcess::finished, run, &QObject::deleteLater);
    });
    run->start();
}

void AlarmCommand::ranWith(const QString &failure) {
    if (failure.isEmpty()) {
        m_toldFailure = false;
        return;
    }
    if (m_toldFailure)
        return;
    m_toldFailure = true;
    if (m_failed)
        m_failed(QStringLiteral("The alarm command \"%1\" failed: %2. Alarms are told as ever "
                                "otherwise; this is said again only after it has worked.")
                     .arg(m_command, failure));
}

} // namespace session
