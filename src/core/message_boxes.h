#pragma once

#include <QString>
#include <QStringList>

namespace core {

/// Modal message boxes: a text with an OK button under the program's title, shown until the
/// user closes it.
class MessageBoxes {
  public:
    virtual ~MessageBoxes() = default;
    virtual void showMessage(const QString &text) = 0;
};

/// Keeps every message instead of showing it, for tests.
class RecordingMessageBoxes final : public MessageBoxes {
  public:
    void showMessage(const QString &text) override { m_shown.append(text); }
    const QStringList &shown() const { return m_shown; }
    void clear() { m_shown.clear(); }

  private:
    QStringList m_shown;
};

} // namespace core
