#pragma once

#include <QString>

namespace logbook {

/// Copies a file byte for byte over another, which is replaced only once the copy is complete
/// and on disk. Returns an empty text on success, otherwise the reason for the failure.
QString copyFileOver(const QString &from, const QString &to);

} // namespace logbook
