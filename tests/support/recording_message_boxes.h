#pragma once

#include "core/message_boxes.h"

#include <QStringList>

#include <deque>

namespace core {

/// Keeps every message and question instead of showing it, for tests; questions get the
/// answers given beforehand, in order, and No once they run out.
class RecordingMessageBoxes final : public MessageBoxes {
  public:
    void showMessage(const QString &text) override { m_shown.append(text); }
    bool askYesNo(const QString &text, const QString &title) override {
        m_asked.append(title + QStringLiteral(": ") + text);
        if (m_answers.empty())
            return false;
        const bool yes = m_answers.front();
        m_answers.pop_front();
        return yes;
    }
    const QStringList &shown() const { return m_shown; }
    /// Each question as "title: text".
    const QStringList &asked() const { return m_asked; }
    void answer(std::initializer_list<bool> answers) { m_answers.insert(m_answers.end(), answers); }
    void clear() {
        m_shown.clear();
        m_asked.clear();
        m_answers.clear();
    }

  private:
    QStringList m_shown;
    QStringList m_asked;
    std::deque<bool> m_answers;
};

} // namespace core
