#pragma once

#include <QString>

namespace core {

/// Modal message boxes: a text with an OK button under the program's title, shown until the
/// user closes it; or a question with Yes and No under a title of its own.
class MessageBoxes {
  public:
    virtual ~MessageBoxes() = default;
    virtual void showMessage(const QString &text) = 0;
    /// True for Yes.
    virtual bool askYesNo(const QString &text, const QString &title) = 0;
};

} // namespace core
