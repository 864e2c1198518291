#pragma once

#include "core/colour_table.h"

#include <QString>

#include <functional>

namespace chart {

/// Where a box sits in its container and how wide its border is, as the layout gives it.
struct BoxGeometry {
    double left = 0;   ///< twips
    double top = 0;    ///< twips
    double width = 0;  ///< twips, outer
    double height = 0; ///< twips, outer
    int borderPixels = 0;
};

/// Twips per logical pixel: the one scale of the window's geometry, its picture boxes included.
inline constexpr int kTwipsPerPixel = 15;

/// A picture box to draw on, in twips from the top left of its inner area. It keeps the
/// drawing state (colours, pen width, current position, font size) and leaves the pixels to
/// an implementation.
class Surface {
  public:
    explicit Surface(BoxGeometry geometry) : m_geometry(geometry) {}
    virtual ~Surface() = default;
    Surface(const Surface &) = delete;
    Surface &operator=(const Surface &) = delete;

    /// Setting the background colour clears the whole box to it.
    void setBackColour(core::Rgb colour);
    core::Rgb backColour() const { return m_backColour; }
    /// The pen colour of every line, box and text.
    void setForeColour(core::Rgb colour) { m_foreColour = colour; }
    core::Rgb foreColour() const { return m_foreColour; }
    void setFillColour(core::Rgb colour) { m_fillColour = colour; }
    core::Rgb fillColour() const { return m_fillColour; }
    /// Pen width in pixels.
    void setDrawWidth(int pixels) { m_drawWidth = pixels < 1 ? 1 : pixels; }
    int drawWidth() const { return m_drawWidth; }

    /// A line in the pen colour and width; ends may lie outside the box, which clips them.
    void line(double x1, double y1, double x2, double y2);
    /// The rectangle between two corners, filled with the pen colour.
    void box(double x1, double y1, double x2, double y2);

    void setCurrentX(double x) { m_currentX = x; }
    void setCurrentY(double y) { m_currentY = y; }
    double currentX() const { return m_currentX; }
    double currentY() const { return m_currentY; }
    /// Font size in points of the next text.
    void setFontSize(double points) { m_fontSize = points; }
    double fontSize() const { return m_fontSize; }
    /// A text whose top-left corner lies at the current position, in the pen colour.
    void print(const QString &text);

    /// The outer box in twips, in its container.
    double left() const { return m_geometry.left; }
    double top() const { return m_geometry.top; }
    double width() const { return m_geometry.width; }
    double height() const { return m_geometry.height; }
    /// The inner drawing area in twips: the outer size less the border.
    double scaleWidth() const;
    double scaleHeight() const;

    /// Called when the box has to be drawn again: first shown, or its image rebuilt.
    void setRepaintHandler(std::function<void()> handler) { m_repaint = std::move(handler); }
    void requestRepaint() const;

  protected:
    struct Pen {
        core::Rgb colour;
        int widthPixels;
    };
    virtual void clear(core::Rgb colour) = 0;
    virtual void drawLine(double x1, double y1, double x2, double y2, Pen pen) = 0;
    virtual void drawBox(double x1, double y1, double x2, double y2, core::Rgb colour) = 0;
    virtual void drawText(double x, double y, double points, const QString &text,
                          core::Rgb colour) = 0;

  private:
    BoxGeometry m_geometry;
    core::Rgb m_backColour{255, 255, 255};
    core::Rgb m_foreColour{0, 0, 0};
    core::Rgb m_fillColour{0, 0, 0};
    int m_drawWidth = 1;
    double m_currentX = 0;
    double m_currentY = 0;
    double m_fontSize = 8.25;
    std::function<void()> m_repaint;
};

} // namespace chart
