#pragma once

#include <QString>
#include <QStringList>

#include <utility>
#include <vector>

namespace core {

/// One `key=value` line of a settings file.
struct SettingsEntry {
    QString section; ///< as written between the brackets; empty before the first section
    QString key;
    QString value; ///< unquoted, its escapes read
    int line = 0;  ///< from 1
};

/// A `[section]` line.
struct SettingsSection {
    QString name;
    int line = 0;
};

/// A line that says nothing a program can follow, and why.
struct SettingsMistake {
    int line = 0;
    QString what;
};

/// What a settings file says, and the lines that say nothing a program can follow.
struct SettingsText {
    std::vector<SettingsSection> sections;
    std::vector<SettingsEntry> entries;
    std::vector<SettingsMistake> mistakes;
};

/// A settings file's text as the user wrote it.
struct SettingsFile {
    bool found = false; ///< something is there by that name
    QString text;
    QString failure; ///< why it cannot be read, naming it; empty when it was read
};

/// Reads the settings file at `path`. Something that is no regular file (a folder, a pipe, a
/// device) is refused without being opened: opening a pipe waits for a writer.
SettingsFile loadSettingsFile(const QString &path);

/// The `key=value` lines of one section of the settings file at `path` (none given, none), in
/// the file's order; none where there is no file, and why it cannot be read added to `mistakes`.
std::vector<SettingsEntry> sectionEntries(const QString &path, QStringView section,
                                          QStringList &mistakes);

/// The program's settings: $XDG_CONFIG_HOME/envmeter/envmeter.conf
/// (~/.config/envmeter/envmeter.conf); a meter's own beside it (meterSettingsFile).
QString settingsFile();

/// Reads a settings file of `[section]` and `key=value` lines as a user writes it by hand.
/// A line beginning with `;` or `#` is a comment, and so is what follows a `;` that follows a
/// blank (the blanks after the `=` count: a value of blanks and a comment is empty). A value is
/// taken as it stands, blanks at its ends trimmed, any other `;` and every
/// `#` kept; in double quotes it is taken exactly, blanks and `;` included. In either, `\"` is
/// a quote and `\\` a backslash.
SettingsText parseSettings(QStringView text);

/// What to add to a mistake in `value` when it holds a `#` after a blank, which a user may have
/// meant as a comment: " (a comment ... begins with ;...)"; empty otherwise.
QString commentHint(const QString &value);

/// `text` with the keys of `section` set to `values`, in their order: a key's line is replaced
/// where it stands, repeats of it and lines of other keys of the section are turned into
/// comments, missing keys are added at the end of the section (a new one at the end of the
/// file), a section header written in another letter case is written as `section`. Comments,
/// those at the end of a replaced line too, blank lines and other sections are kept as they are.
QString withSettings(QStringView text, const QString &section,
                     const std::vector<std::pair<QString, QString>> &values);

} // namespace core
