#include "core/settings_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <algorithm>
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
    /// The comment at the line's end with the blanks before it; empty when there is none.
    QString comment;
};
struct Nothing {};
/// What one line says: a section, a setting, nothing (blank or comment), or what is wrong.
using Line = std::variant<Nothing, Section, Entry, QString>;

/// Whether `text[i]` begins an escape, `\"` or `\\`.
bool isEscape(QStringView text, qsizetype i) {
    return text[i] == u'\\' && i + 1 < text.size() && (text[i + 1] == u'"' || text[i + 1] == u'\\');
}

/// The value after the `=` and what follows it, or what is wrong with it.
std::variant<Entry, QString> readValue(QStringView text) {
    Entry entry;
    qsizetype end = text.size(); ///< where the comment begins, blanks before it included
    if (const QStringView trimmed = text.trimmed(); trimmed.startsWith(u'"')) {
        const qsizetype open = text.indexOf(u'"');
        qsizetype i = open + 1;
        for (; i < text.size() && text[i] != u'"'; ++i) {
            if (isEscape(text, i))
                ++i;
            entry.value += text[i];
        }
        if (i == text.size())
            return QStringLiteral("the value's closing quote is missing");
        const QStringView rest = text.mid(i + 1).trimmed();
        if (!rest.isEmpty() && !rest.startsWith(u';'))
            return QStringLiteral("\"%1\" follows the quoted value").arg(rest.toString());
        end = i + 1;
    } else {
        // A `;` after a blank begins a comment; the blanks after the `=` count.
        for (qsizetype i = 0; i < text.size() && end == text.size(); ++i) {
            if (text[i] == u';' && i > 0 && isBlank(text[i - 1]))
                end = i;
            else if (isEscape(text, i))
                entry.value += text[++i];
            else
                entry.value += text[i];
        }
        entry.value = entry.value.trimmed();
        while (end > 0 && isBlank(text[end - 1]))
            --end;
    }
    entry.comment = text.mid(end).trimmed().isEmpty() ? QString() : text.mid(end).toString();
    return entry;
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
    std::variant<Entry, QString> value = readValue(line.mid(equals + 1));
    if (const auto *wrong = std::get_if<QString>(&value))
        return QStringLiteral("%1: %2").arg(key, *wrong);
    Entry entry = std::get<Entry>(std::move(value));
    entry.key = key;
    return entry;
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

/// `setting` followed by the comment that ended the line it replaces, at the comment's column
/// where there is room.
QString withComment(const QString &setting, const QString &replaced, const QString &comment) {
    const QString text = comment.trimmed();
    if (text.isEmpty())
        return setting;
    const qsizetype column = replaced.size() - text.size();
    return setting.leftJustified(std::max(column, setting.size() + 1)) + text;
}

} // namespace

QString commentHint(const QString &value) {
    for (qsizetype i = 1; i < value.size(); ++i)
        if (value[i] == u'#' && isBlank(value[i - 1]))
            return QStringLiteral(" (a comment at the end of a line begins with ; after a blank, "
                                  "not #)");
    return {};
}

QString settingsFile() {
    return QDir(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation))
        .filePath(QStringLiteral("envmeter/envmeter.conf"));
}

std::vector<SettingsEntry> sectionEntries(const QString &path, QStringView section,
                                          QStringList &mistakes) {
    std::vector<SettingsEntry> entries;
    if (path.isEmpty())
        return entries;
    const SettingsFile read = loadSettingsFile(path);
    if (!read.failure.isEmpty())
        mistakes.append(read.failure);
    for (SettingsEntry &entry : parseSettings(read.text).entries)
        if (entry.section == section)
            entries.push_back(std::move(entry));
    return entries;
}

SettingsFile loadSettingsFile(const QString &path) {
    SettingsFile file;
    const QFileInfo info(path);
    file.found = info.exists() || info.isSymLink();
    if (!file.found)
        return file;
    const QString where = QDir::toNativeSeparators(path);
    QFile in(path);
    if (!info.isFile())
        file.failure = QStringLiteral("%1 cannot be read: it is no file but a folder, a pipe or a "
                                      "device")
                           .arg(where);
    else if (!in.open(QIODevice::ReadOnly))
        file.failure = QStringLiteral("%1 cannot be read: %2").arg(where, in.errorString());
    else
        file.text = QString::fromUtf8(in.readAll());
    return file;
}

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
                const QString header = lines[i].trimmed();
                lines[i] = u'[' + section + header.mid(header.indexOf(u']'));
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
            lines[i] = withComment(values[std::size_t(k)].first + u'=' +
                                       writtenValue(values[std::size_t(k)].second),
                                   lines[i].trimmed(), e->comment);
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
