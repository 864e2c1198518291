#include "core/alarm_rules.h"

#include "core/number_text.h"
#include "core/reading_texts.h"
#include "core/settings_file.h"

#include <QDir>

#include <map>
#include <utility>

namespace core {

const std::vector<AlarmQuantity> kAlarmQuantities{{"sound", &kFunctionSound},
                                                  {"humidity", &kFunctionHumidity},
                                                  {"temperature", &kFunctionTemp},
                                                  {"light", &kFunctionLight}};

namespace {

/// A key's value with where it was written.
struct Written {
    QString value;
    QString file;
    int line = 0;
    QString where() const {
        return QStringLiteral("%1:%2").arg(QDir::toNativeSeparators(file)).arg(line);
    }
};

/// The keys of [alarm] a file sets, each over what earlier files set; mistakes of the file's
/// own lines added.
void readSection(const QString &file, std::map<QString, Written> &keys, QStringList &mistakes) {
    std::map<QString, int> seen;
    for (const SettingsEntry &entry : sectionEntries(file, kAlarmSection, mistakes)) {
        const Written written{entry.value, file, entry.line};
        if (const auto [first, isNew] = seen.emplace(entry.key, entry.line); !isNew)
            mistakes.append(QStringLiteral("%1: %2 is set again (first on line %3)")
                                .arg(written.where(), entry.key)
                                .arg(first->second));
        else
            keys[entry.key] = written;
    }
}

/// A temperature limit: in C unless written with F ("46.4F", "8 °C").
std::optional<std::pair<double, QString>> readTemperature(QString text) {
    QString unit = kUnitCelsius;
    text = text.trimmed();
    for (const QString &u : {kUnitCelsius, kUnitFahrenheit})
        if (text.endsWith(u, Qt::CaseInsensitive)) {
            unit = u;
            text.chop(1);
            if (text.endsWith(u'°'))
                text.chop(1);
        }
    const std::optional<double> number = strictNumber(text.trimmed());
    return number ? std::optional(std::pair(*number, unit)) : std::nullopt;
}

} // namespace

QStringList commandWords(QStringView command) {
    QStringList words;
    QString word;
    bool inWord = false;
    for (qsizetype i = 0; i < command.size(); ++i) {
        const QChar c = command[i];
        if (c.isSpace()) {
            if (inWord)
                words.append(std::exchange(word, {}));
            inWord = false;
            continue;
        }
        inWord = true;
        if (c == u'\\' && i + 1 < command.size()) {
            word += command[++i];
        } else if (c == u'\'') {
            const qsizetype end = command.indexOf(u'\'', i + 1);
            if (end < 0)
                return {};
            word += command.mid(i + 1, end - i - 1);
            i = end;
        } else if (c == u'"') {
            for (++i; i < command.size() && command[i] != u'"'; ++i) {
                // In double quotes a backslash escapes only what the shell lets it.
                if (command[i] == u'\\' && i + 1 < command.size() &&
                    QStringView(u"\"\\$`").contains(command[i + 1]))
                    ++i;
                word += command[i];
            }
            if (i >= command.size())
                return {};
        } else {
            word += c;
        }
    }
    if (inWord)
        words.append(word);
    return words;
}

std::optional<double> readDuration(QStringView text) {
    const QString trimmed = text.trimmed().toString();
    const std::pair<QChar, double> units[] = {{u's', 1}, {u'm', 60}, {u'h', 3600}};
    double scale = 1;
    QStringView number = trimmed;
    for (const auto &[letter, seconds] : units)
        if (trimmed.endsWith(letter, Qt::CaseInsensitive)) {
            scale = seconds;
            number = number.chopped(1);
        }
    const std::optional<double> read = strictNumber(number.trimmed());
    if (!read || *read < 0)
        return std::nullopt;
    return *read * scale;
}

AlarmSettings readAlarmSettings(const QString &file, const QString &meterFile) {
    AlarmSettings settings;
    std::map<QString, Written> keys;
    readSection(file, keys, settings.mistakes);
    readSection(meterFile, keys, settings.mistakes);
    const auto wrong = [&settings](const Written &w, const QString &key, const QString &what) {
        settings.mistakes.append(
            QStringLiteral("%1: %2=%3: %4").arg(w.where(), key, w.value, what) +
            commentHint(w.value));
    };
    const QString durationHint =
        QStringLiteral("write seconds, or a number with s, m or h (90, 15m, 1h)");
    std::map<QString, bool> used;
    for (const AlarmQuantity &q : kAlarmQuantities) {
        const QString name = QLatin1String(q.key);
        const bool temperature = *q.function == kFunctionTemp;
        double forSeconds = 0;
        double hysteresis = 0;
        const auto option = [&](const QString &key) -> const Written * {
            const auto at = keys.find(key);
            used[key] = true;
            return at == keys.end() ? nullptr : &at->second;
        };
        if (const Written *w = option(name + QStringLiteral("_for"))) {
            if (const std::optional<double> d = readDuration(w->value))
                forSeconds = *d;
            else
                wrong(*w, name + QStringLiteral("_for"), durationHint);
        }
        if (const Written *w = option(name + QStringLiteral("_hysteresis"))) {
            const std::optional<double> h = strictNumber(w->value.trimmed());
            if (h && *h >= 0)
                hysteresis = *h;
            else
                wrong(*w, name + QStringLiteral("_hysteresis"),
                      QStringLiteral("write a number, 0 or more, in the limit's unit"));
        }
        bool anyLimit = false;
        for (const bool above : {true, false}) {
            const QString key =
                name + (above ? QStringLiteral("_above") : QStringLiteral("_below"));
            const Written *w = option(key);
            if (!w)
                continue;
            anyLimit = true;
            AlarmRule rule{key, name, *q.function, above, 0, {}, forSeconds, hysteresis};
            if (temperature) {
                const auto read = readTemperature(w->value);
                if (!read) {
                    wrong(*w, key,
                          QStringLiteral("write a temperature, in C or with F after it "
                                         "(8, 46.4F)"));
                    continue;
                }
                std::tie(rule.limit, rule.unit) = *read;
            } else if (const std::optional<double> limit = strictNumber(w->value.trimmed())) {
                rule.limit = *limit;
            } else {
                wrong(*w, key, QStringLiteral("write a number in the quantity's unit"));
                continue;
            }
            settings.rules.push_back(rule);
        }
        for (const char *suffix : {"_for", "_hysteresis"}) {
            const QString key = name + QLatin1String(suffix);
            if (!anyLimit && keys.count(key))
                settings.mistakes.append(
                    QStringLiteral("%1: %2= without %3_above= or %3_below= to go with it")
                        .arg(keys[key].where(), key, name));
        }
    }
    if (const auto at = keys.find(QStringLiteral("silent_for")); at != keys.end()) {
        used[at->first] = true;
        const QString value = at->second.value.trimmed();
        const std::optional<double> d = readDuration(value);
        if (value.isEmpty() || value.compare(u"off", Qt::CaseInsensitive) == 0)
            settings.silentSeconds.reset();
        else if (d && *d > 0)
            settings.silentSeconds = d;
        else
            wrong(at->second, at->first, durationHint + QStringLiteral(", or off"));
    }
    if (const auto at = keys.find(QStringLiteral("command")); at != keys.end()) {
        used[at->first] = true;
        settings.command = at->second.value;
        if (commandWords(settings.command).isEmpty() && !settings.command.trimmed().isEmpty())
            wrong(at->second, at->first,
                  QStringLiteral("a quote is left open (words are split as a shell splits them)"));
    }
    for (const auto &[key, written] : keys)
        if (!used.count(key))
            settings.mistakes.append(
                QStringLiteral("%1: unknown key \"%2\" (the keys of [%3] are QUANTITY_above, "
                               "QUANTITY_below, QUANTITY_for and QUANTITY_hysteresis for sound, "
                               "humidity, temperature and light, silent_for and command)")
                    .arg(written.where(), key, kAlarmSection));
    return settings;
}

} // namespace core
