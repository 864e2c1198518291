#pragma once

#include "publish/publish_settings.h"

#include <QString>
#include <QStringList>

namespace publish {

/// What clearing a meter's retained messages did.
struct ClearedMeter {
    QStringList topics; ///< the retained messages cleared, in the order found
    QStringList others; ///< other meters whose retained status the broker keeps under the prefix
    QString failure;    ///< why it could not be done, in words for the user; empty when done
};

/// Clears from the broker what the meter the settings name (settings.meterName()) left there
/// for good: its retained status and states under PREFIX/METER/ and its Home Assistant
/// configurations under homeassistant/+/envmeter_METER/, as a meter that is gone or renamed
/// leaves them. Asks the broker what it keeps first, so that only what exists is cleared and
/// said. Sets no last will of its own. Waits up to `timeoutMs` for each step.
ClearedMeter clearRetained(const PublishSettings &settings, int timeoutMs);

} // namespace publish
