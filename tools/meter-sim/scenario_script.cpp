#include "scenario_script.h"

#include "display_text.h"

#include <QRegularExpression>

#include <optional>
#include <variant>

namespace metersim {

namespace {

constexpr int kMaxRepeat = 1'000'000;

bool setFlag(Display &display, QStringView token) {
    const struct {
        const char16_t *name;
        bool Display::*flag;
    } flags[] = {
        {u"DB", &Display::sound},         {u"%RH", &Display::humidity},
        {u"C", &Display::celsius},        {u"F", &Display::fahrenheit},
        {u"LUX", &Display::lux},          {u"RS232", &Display::rs232},
        {u"HOLD", &Display::hold},        {u"X10", &Display::x10},
        {u"LOBAT", &Display::lowBattery},
    };
    for (const auto &[name, flag] : flags) {
        if (token.compare(QStringView(name), Qt::CaseInsensitive) == 0) {
            display.*flag = true;
            return true;
        }
    }
    return false;
}

/// One line's step, or an error text.
std::variant<ScriptStep, QString> parseLine(const QList<QStringView> &tokens) {
    ScriptStep step;
    if (tokens.first() == u"raw") {
        for (const QStringView token : tokens.mid(1)) {
            bool ok = false;
            const uint byte = token.toUInt(&ok, 16);
            if (!ok || token.size() > 2)
                return QStringLiteral("'%1' is not a byte in hexadecimal").arg(token.toString());
            step.bytes.append(static_cast<char>(byte));
        }
        if (step.bytes.isEmpty())
            return QStringLiteral("raw needs at least one byte");
        return step;
    }

    QString error;
    std::optional<Display> display = parseDisplayText(tokens.first(), &error);
    if (!display)
        return error;
    for (const QStringView token : tokens.mid(1)) {
        if (token.startsWith(u'*')) {
            bool ok = false;
            step.repeat = token.mid(1).toInt(&ok);
            if (!ok || step.repeat < 1 || step.repeat > kMaxRepeat)
                return QStringLiteral("'%1' is not a repeat count (*1 to *%2)")
                    .arg(token.toString())
                    .arg(kMaxRepeat);
        } else if (!setFlag(*display, token)) {
            return QStringLiteral("'%1' is not a function or annunciator").arg(token.toString());
        }
    }
    // One reading of the program: the frame twice, as the meter sends each display, the 28
    // bytes of one receive event.
    const meter::MeterFrame frame = encodeDisplay(*display);
    step.bytes = QByteArray(reinterpret_cast<const char *>(frame.bytes.data()), frame.bytes.size())
                     .repeated(kFramesPerReading);
    return step;
}

} // namespace

Script parseScript(QStringView text) {
    Script script;
    const QList<QStringView> lines = text.split(u'\n');
    for (qsizetype i = 0; i < lines.size(); ++i) {
        QStringView line = lines[i];
        if (const qsizetype hash = line.indexOf(u'#'); hash >= 0)
            line = line.left(hash);
        const QList<QStringView> tokens =
            line.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
        if (tokens.isEmpty())
            continue;
        auto step = parseLine(tokens);
        if (const QString *error = std::get_if<QString>(&step)) {
            return Script{{}, QStringLiteral("line %1: %2").arg(i + 1).arg(*error)};
        }
        script.steps.push_back(std::get<ScriptStep>(std::move(step)));
    }
    return script;
}

} // namespace metersim
