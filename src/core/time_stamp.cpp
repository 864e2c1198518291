#include "core/time_stamp.h"

namespace core {

namespace {

// Built by hand rather than with QDateTime::toString, so that no locale (digits, calendar)
// can ever change the texts stored in the log.
void appendPadded(QString &text, int number, int width) {
    text += QString::number(number).rightJustified(width, u'0');
}

QString timeText(QTime time) {
    QString text;
    text.reserve(8);
    appendPadded(text, time.hour(), 2);
    text += u':';
    appendPadded(text, time.minute(), 2);
    text += u':';
    appendPadded(text, time.second(), 2);
    return text;
}

QString dateText(QDate date) {
    QString text;
    text.reserve(10);
    appendPadded(text, date.month(), 2);
    text += u'-';
    appendPadded(text, date.day(), 2);
    text += u'-';
    appendPadded(text, date.year(), 4);
    return text;
}

} // namespace

QString timeStamp(const QDateTime &localTime) {
    return timeText(localTime.time()) + u'/' + dateText(localTime.date());
}

QString clockText(const QDateTime &localTime) {
    return dateText(localTime.date()) + u' ' + timeText(localTime.time());
}

} // namespace core
