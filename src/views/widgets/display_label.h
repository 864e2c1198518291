#pragma once

#include <QHash>
#include <QImage>
#include <QLabel>

namespace views {

/// A label for the large displays, whose text changes with every reading. Qt renders letters
/// above 64 pixels anew from their outlines each time they are drawn, which costs more than all
/// the rest of a reading; this label renders each letter once and places the rendered letters.
/// Its frame, colours and text are a QLabel's, for style sheets and assistive technology alike.
class DisplayLabel : public QLabel {
    Q_OBJECT
  public:
    /// Paints its background itself, so that what lies beneath is not painted with it.
    explicit DisplayLabel(QWidget *parent = nullptr);

  protected:
    void paintEvent(QPaintEvent *event) override;
    void changeEvent(QEvent *event) override;

  private:
    const QImage &letter(QChar c);

    QHash<QChar, QImage> m_letters; ///< in the current font, colour and pixel density
};

} // namespace views
