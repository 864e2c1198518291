#include "core/settings_file.h"

#include <optional>
#include <variant>

namespace core {

namespace {

bool isBlank(QChar c) { return c == u' ' || c == u'\t'; }
bool isComment(QStringView line) { return line.startsWith(u';') || line.startsWith(u'#'); }

struct Section {
    QString name;
};
struct Entry {
    QString key;
    QString value;
};
struct Nothing {};
/// What one line says: a section, a setting, nothing (blank or comment), or what is wrong.
using Line = std::variant<Nothing, Section, Entry, QString>;

/// The value after the `=`, or what is wrong with it.
std::variant<QString, QString> readValue(QStringView text) {
    text = text.trimmed();
    QString value;
    if (text.startsWith(u'"')) {
        qsizetype i = 1;
        for (; i < text.size() && text[i] != u'"'; ++i) {
            if (text[i] == u'\\' && i + 1 < text.size() &&
                (text[i + 1] == u'"' || text[i + 1] == u'\\'))
                ++i;
            value += text[i];
        }
        if (i == text.size())
            return std::variant<QString, QString>(std::in_place_index<1>,
                                                  QStringLiteral("the value's closing quote "
                                                                 "is missing"));
        const QStringView rest = text.mid(i + 1).trimmed();
        if (!rest.isEmpty() && !rest.startsWith(u';'))
            return std::variant<QString, QString>(
                std::in_place_index<1>,
                QStringLiteral("\"%1\" follows the quoted value").arg(rest.toString()));
        return std::variant<QString, QString>(std::in_place_index<0>, value);
    }
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u';' && i > 0 && isBlank(text[i - 1]))
            break;
        if (text[i] == u'\\' && i + 1 < text.size() &&
            (text[i + 1] == u'"' || text[i + 1] == u'\\'))
            ++i;
        value += text[i];
    }
    return std::variant<QString, QString>(std::in_place_index<0>, value.trimmed());
}

Line readLine(QStringView line) {
    line = line.trimmed();
    if (line.isEmpty() || isComment(line))
        return Nothing{};
    if (line.startsWith(u'[')) {
        const qsizetype close = line.indexOf(u']');
        const QStringView rest = close < 0 ? QStringView() : line.mid(close + 1).trimmed();
        if (close < 0 || (!rest.isEmpty() && !rest.startsWith(u';')))
            return QStringLiteral("a section is written [name], not %1").arg(line.toString());
        const QString name = line.mid(1, close - 1).trimmed().toString();
        if (name.isEmpty())
            return QStringLiteral("the section has no name");
        return Section{name};
    }
    const qsizetype equals = line.indexOf(u'=');
    if (equals < 0)
        return QStringLiteral("\"%1\" is no setting: write key=value").arg(line.toString());
    const QString key = line.left(equals).trimmed().toString();
    if (key.isEmpty())
        return QStringLiteral("no key before the =");
    auto value = readValue(line.mid(equals + 1));
    if (value.index() == 1)
        return QStringLiteral("%1: %2").arg(key, std::get<1>(value));
    return Entry{key, std::get<0>(value)};
}

/// The value as `readValue` reads it back.
QString writtenValue(const QString &value) {
    const bool plain = value.trimmed() == value && !value.contains(u';') &&
                       !value.startsWith(u'"') && !value.contains(u'\\');
    if (plain)
        return value;
    QString escaped = value;
    escaped.replace(u'\\', QStringLiteral("\\\\")).replace(u'"', QStringLiteral("\\\""));
    return u'"' + escaped + u'"';
}

} // namespace

SettingsText parseSettings(QStringView text) {
    SettingsText result;
    QString section;
    int number = 0;
    for (const QStringView line : text.split(u'\n')) {
        ++number;
        const Line read = readLine(line);
        if (const auto *s = std::get_if<Section>(&read)) {
            section = s->name;
            result.sections.push_back({section, number});
        } else if (const auto *e = std::get_if<Entry>(&read))
            result.entries.push_back({section, e->key, e->value, number});
        else if (const auto *wrong = std::get_if<QString>(&read))
            result.mistakes.push_back({number, *wrong});
    }
    return result;
}

QString withSettings(QStringView text, const QString &section,
                     const std::vector<std::pair<QString, QString>> &values) {
    QStringList lines;
    for (const QStringView line : text.split(u'\n'))
        lines.append(line.toString());
    if (!lines.isEmpty() && lines.constLast().isEmpty())
        lines.removeLast();
    std::vector<bool> written(values.size(), false);
    std::optional<qsizetype> endOfSection; // the section's last setting: missing keys follow it
    bool inSection = false;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const Line read = readLine(lines[i]);
        if (const auto *s = std::get_if<Section>(&read)) {
            inSection = s->name.compare(section, Qt::CaseInsensitive) == 0;
            if (inSection) {
                lines[i] = u'[' + section + u']';
                if (!endOfSection)
                    endOfSection = i;
            }
            continue;
        }
        if (!inSection || std::holds_alternative<Nothing>(read))
            continue;
        const auto *e = std::get_if<Entry>(&read);
        qsizetype k = 0;
        while (e && k < qsizetype(values.size()) && values[std::size_t(k)].first != e->key)
            ++k;
        if (e && k < qsizetype(values.size()) && !written[std::size_t(k)]) {
            written[std::size_t(k)] = true;
            lines[i] =
                values[std::size_t(k)].first + u'=' + writtenValue(values[std::size_t(k)].second);
        } else {
            lines[i] = QStringLiteral("; ") + lines[i].trimmed();
        }
        endOfSection = i;
    }
    QStringList missing;
    for (std::size_t k = 0; k < values.size(); ++k)
        if (!written[k])
            missing.append(values[k].first + u'=' + writtenValue(values[k].second));
    if (!endOfSection) {
        if (!lines.isEmpty() && !lines.constLast().trimmed().isEmpty())
            lines.append(QString());
        lines.append(u'[' + section + u']');
        lines += missing;
    } else {
        for (qsizetype m = 0; m < missing.size(); ++m)
            lines.insert(*endOfSection + 1 + m, missing[m]);
    }
    return lines.join(u'\n') + u'\n';
}

} // namespace core
